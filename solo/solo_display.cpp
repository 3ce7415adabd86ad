#include "solo_display.h"

#include "../console/console_input.h"
#include "../engine/results.h"
#include "../engine/turn.h"
#include "history.h"

#include <algorithm>
#include <array>
#include <iostream>
#include <numeric>
#include <utility>

namespace pellaro {

namespace {

std::string label(CardKind card) {
    return std::string(cardLabels[static_cast<std::size_t>(card)]);
}

std::string rowLine(std::int32_t number, const Row& row) {
    std::string line = "Row " + std::to_string(number) + ": ";
    if (row.taken) {
        return line + "taken";
    }
    if (row.slots[0] == noCard) {
        return line + "empty";
    }
    for (const CardKind card : row.slots) {
        if (card != noCard) {
            line += label(card) + ' ';
        }
    }
    if (row.full) {
        return line + "(full)";
    }
    line.pop_back();
    return line;
}

std::string padded(std::string text, std::size_t width) {
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
    return text;
}

// The names of a table's seats fill one column; a bot of --bot, or a
// person's name at a table of pellaro-server, may be longer than a strength.
std::size_t nameColumn(const Seating& seating) {
    std::size_t column = 19;
    for (std::int32_t seat = 0; seat < seating.players; ++seat) {
        column = std::max(column, seatName(seating, seat).size() + 1);
    }
    return column;
}

// "R:2 G:0 ... +2:1 ": cards by kind, in the board's order.
std::string kindCounts(const std::array<std::int32_t, cardKindCount>& counts) {
    std::string text;
    for (int kind = 0; kind < cardKindCount; ++kind) {
        text += label(static_cast<CardKind>(kind)) + ':' + std::to_string(counts[kind]) + ' ';
    }
    return text;
}

std::string pileLine(const GameState& game, const Seating& seating, std::int32_t seat) {
    const PlayerState& player = game.players[static_cast<std::size_t>(seat)];
    std::string line =
        padded(seatName(seating, seat), nameColumn(seating)) + kindCounts(player.counts);
    const std::string score = std::to_string(finalScore(game, seat));
    line += padded(" score", 10 - score.size()) + score;
    return line + (player.outOfRound ? "  took a row" : "");
}

std::string colourPart(const ColourScore& colour) {
    std::string part = label(colour.colour) + ' ' + std::to_string(colour.cards);
    if (colour.wilds > 0) {
        part += '+' + std::to_string(colour.wilds) + 'W';
    }
    return part + " = " + std::to_string(colour.points);
}

} // namespace

std::vector<std::string> tableLines(const GameState& game, const Seating& seating,
                                    std::int32_t round) {
    std::vector<std::string> lines;
    std::string status = "Round " + std::to_string(round) + ", " +
                         std::to_string(deckSize - game.nextCard) + " cards left to draw";
    lines.push_back(status + (isCertainlyLastRound(game) ? ". LAST ROUND!" : "."));
    for (std::int32_t r = 0; r < game.numberOfPlayers; ++r) {
        lines.push_back(rowLine(r + 1, game.rows[static_cast<std::size_t>(r)]));
    }
    for (std::int32_t seat = 0; seat < game.numberOfPlayers; ++seat) {
        lines.push_back(pileLine(game, seating, seat));
    }
    // Every drawn card lies face up, so what is still unseen is known to
    // every seat; the computer players count it, and a person need not.
    const std::array<std::int32_t, cardKindCount> unseen = unseenOnTable(game);
    const std::int32_t count = std::accumulate(unseen.begin(), unseen.end(), 0);
    std::string unseenLine =
        padded("Still unseen: " + std::to_string(count), nameColumn(seating)) + kindCounts(unseen);
    unseenLine.pop_back();
    lines.push_back(std::move(unseenLine));
    return lines;
}

std::vector<std::string> breakdownLines(const std::string& name, const ScoreBreakdown& breakdown) {
    std::vector<std::string> lines = {name + " scored " + std::to_string(breakdown.total) + '.'};
    std::string counted = "  for:     ";
    for (const ColourScore& colour : breakdown.positive) {
        if (colour.cards + colour.wilds > 0) {
            counted += colourPart(colour) + "   ";
        }
    }
    if (breakdown.plusTwoCards > 0) {
        counted += "+2 x" + std::to_string(breakdown.plusTwoCards) + " = " +
                   std::to_string(breakdown.plusTwoPoints);
    }
    std::string against = "  against: ";
    for (const ColourScore& colour : breakdown.negative) {
        if (colour.cards > 0) {
            against += colourPart(colour) + "   ";
        }
    }
    if (breakdown.wildsLost > 0) {
        against += std::to_string(breakdown.wildsLost) + " wild" +
                   (breakdown.wildsLost == 1 ? "" : "s") + " unused";
    }
    for (std::string* line : {&counted, &against}) {
        while (!line->empty() && line->back() == ' ') {
            line->pop_back();
        }
    }
    lines.push_back(counted.size() > 11 ? counted : counted + " nothing");
    lines.push_back(against.size() > 11 ? against : against + " nothing");
    return lines;
}

std::vector<std::string> resultLines(const GameState& game, const Seating& seating) {
    std::vector<std::string> lines = {"", "Scores"};
    for (std::int32_t seat = 0; seat < game.numberOfPlayers; ++seat) {
        const std::vector<std::string> breakdown = breakdownLines(
            seatName(seating, seat), scoreBreakdown(game.players[static_cast<std::size_t>(seat)]));
        lines.insert(lines.end(), breakdown.begin(), breakdown.end());
    }
    const std::vector<std::int32_t> scores = allScores(game);
    const std::int32_t top = topScore(game, scores);
    const std::vector<std::int32_t> best = winners(game, top);
    std::string line = best.size() == 1 ? "The winner is " : "The winners are ";
    for (std::size_t i = 0; i < best.size(); ++i) {
        if (i > 0) {
            line += i + 1 == best.size() ? " and " : ", ";
        }
        line += seatName(seating, best[i] - 1);
    }
    lines.emplace_back();
    // Three or more winners named with their strengths pass the screen's 80
    // columns: the line then breaks between words.
    const std::vector<std::string> winnerLines =
        wrapped(line + " with a score of " + std::to_string(top) + '!', " ", 80);
    lines.insert(lines.end(), winnerLines.begin(), winnerLines.end());
    return lines;
}

void showLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        std::cout << line;
        endLine();
    }
}

std::string rowNumber(std::int32_t row) {
    return std::to_string(std::int64_t{row} + 1);
}

} // namespace pellaro
