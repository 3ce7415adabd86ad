#include "history.h"

#include "../engine/turn_rules.h"

#include <algorithm>
#include <cassert>

namespace pellaro {

void recordTurn(History& history, const GameState& before, const ChosenMove& move,
                const GameState& after, bool over) {
    PlayedTurn turn{before.currentPlayer,
                    move,
                    noCard,
                    {},
                    history.round,
                    !isCertainlyLastRound(before) && isCertainlyLastRound(after)};
    if (move.action == TurnAction::Draw) {
        turn.drawn = topCard(before);
    } else {
        for (const CardKind card : before.rows[static_cast<std::size_t>(move.row)].slots) {
            if (card != noCard) {
                turn.taken.push_back(card);
            }
        }
    }
    history.turns.push_back(turn);
    history.over = over;
    if (closedRound(after, move.action, move.row, over) && !over) {
        ++history.round;
    }
}

std::string cardList(const std::vector<CardKind>& cards) {
    std::string text;
    for (const CardKind card : cards) {
        if (!text.empty()) {
            text += ' ';
        }
        text += cardLabels[static_cast<std::size_t>(card)];
    }
    return text;
}

std::int32_t ownTurn(const History& history, std::size_t movesPlayed, std::int32_t seat) {
    assert(movesPlayed <= history.turns.size());
    const auto end = history.turns.begin() + static_cast<std::ptrdiff_t>(movesPlayed);
    return 1 + static_cast<std::int32_t>(
                   std::count_if(history.turns.begin(), end,
                                 [seat](const PlayedTurn& turn) { return turn.seat == seat; }));
}

std::string turnLine(const Seating& seating, const PlayedTurn& turn) {
    const std::string row = std::to_string(turn.move.row + 1);
    if (turn.move.action == TurnAction::Draw) {
        return seatName(seating, turn.seat) + " draws " +
               std::string(cardLabels[static_cast<std::size_t>(turn.drawn)]) +
               " and places it on row " + row + '.';
    }
    return seatName(seating, turn.seat) + " takes row " + row + ": " + cardList(turn.taken) + '.';
}

std::string roundSummary(const Seating& seating, const History& history, std::int32_t round) {
    std::string text = "Round " + std::to_string(round) + " is over. Taken:";
    const char* separator = " ";
    for (const PlayedTurn& turn : history.turns) {
        if (turn.round == round && turn.move.action == TurnAction::Take) {
            const std::string who = isPerson(seating, turn.seat)
                                        ? shortSeatName(seating, turn.seat)
                                        : '#' + std::to_string(turn.seat + 1);
            text += separator + who + ' ' + cardList(turn.taken);
            separator = "; ";
        }
    }
    return text + '.';
}

std::vector<std::string> wrapped(const std::string& text, const std::string& separator,
                                 std::size_t width) {
    std::vector<std::string> lines;
    std::string rest = text;
    while (rest.size() > width) {
        const std::size_t cut = rest.rfind(separator, width - separator.size() + 1);
        if (cut == std::string::npos || cut <= 2) {
            break;
        }
        lines.push_back(rest.substr(0, cut + separator.size() - 1));
        rest = "  " + rest.substr(cut + separator.size());
    }
    lines.push_back(rest);
    return lines;
}

namespace {

bool roundIsOver(const History& history, std::int32_t round) {
    return round < history.round || (history.over && round == history.round);
}

// The seat that played the round's first move, or `opener` before any.
std::int32_t openerOf(const History& history, std::int32_t round, std::int32_t opener) {
    const auto first =
        std::find_if(history.turns.begin(), history.turns.end(),
                     [round](const PlayedTurn& turn) { return turn.round == round; });
    return first != history.turns.end() ? first->seat : opener;
}

// Whether the Take that closed the round before made this one the last.
bool lastFromItsStart(const History& history, std::int32_t round) {
    return std::any_of(history.turns.begin(), history.turns.end(), [round](const PlayedTurn& turn) {
        return turn.round == round - 1 && turn.madeLastRound;
    });
}

} // namespace

std::vector<std::string> newsLines(History& history, const Seating& seating, std::int32_t viewer,
                                   std::int32_t opener) {
    assert(history.shown <= history.turns.size());
    std::vector<std::string> lines;
    const std::int32_t from =
        history.shown < history.turns.size() ? history.turns[history.shown].round : history.round;
    for (std::int32_t round = from; round <= history.round; ++round) {
        if (roundIsOver(history, round)) {
            const std::vector<std::string> summary =
                wrapped(roundSummary(seating, history, round), "; ", 80);
            lines.insert(lines.end(), summary.begin(), summary.end());
            continue;
        }
        if (round > history.headed) {
            history.headed = round;
            lines.push_back("Round " + std::to_string(round) + ", opened by " +
                            seatName(seating, openerOf(history, round, opener)) + '.');
            if (lastFromItsStart(history, round)) {
                lines.emplace_back("This is the last round: too few cards remain for another.");
            }
        }
        for (std::size_t t = history.shown; t < history.turns.size(); ++t) {
            const PlayedTurn& turn = history.turns[t];
            if (turn.round != round) {
                continue;
            }
            if (turn.seat != viewer) {
                lines.push_back(turnLine(seating, turn));
            }
            // The viewer's own draw is told too: it was typed at this
            // screen, but what it made of the round was not.
            if (turn.madeLastRound) {
                lines.push_back(std::string(turn.seat == viewer ? "Your" : "That") +
                                " draw makes this the last round: too few cards remain for "
                                "another.");
            }
        }
    }
    history.shown = history.turns.size();
    return lines;
}

} // namespace pellaro
