#include "review.h"

#include "person_moves.h"
#include "solo_display.h"

#include <algorithm>
#include <cassert>
#include <set>

namespace pellaro {

namespace {

std::string costText(double cost, bool chances) {
    return chances ? tenths(cost * 100.0) + '%' : tenths(cost) + " points";
}

// What Hard would have done, after "Hard would have".
std::string hardWords(const Choice& choice, DecisionStage stage) {
    if (choice.action == TurnAction::Take) {
        return "taken row " + rowNumber(choice.row);
    }
    return stage == DecisionStage::Action ? "drawn" : "placed it on row " + rowNumber(choice.row);
}

// What was played: the turn as it went, so that a wrong Draw is told with
// the card it brought and where it went.
std::string playedWords(const PlayedTurn& played) {
    if (played.move.action == TurnAction::Take) {
        return "took row " + rowNumber(played.move.row);
    }
    return "drew " + std::string(cardLabels[static_cast<std::size_t>(played.drawn)]) +
           " and placed it on row " + rowNumber(played.move.row);
}

std::vector<std::string> entryLines(const Decision& decision, const Regret& regret,
                                    const History& history, const Seating& seating, bool chances) {
    assert(decision.movesPlayed < history.turns.size());
    const PlayedTurn& played = history.turns[decision.movesPlayed];
    const std::int32_t seat = decision.game.currentPlayer;
    const bool alone = seating.people == 1;
    const std::string turn = std::to_string(ownTurn(history, decision.movesPlayed, seat));
    std::vector<std::string> lines = {
        "Round " + std::to_string(played.round) + ", " +
        (alone ? "your turn " + turn : "turn " + turn + " of " + seatName(seating, seat)) +
        " (cost " + costText(regret.cost, chances) + ")"};
    const std::vector<std::string> rows = wrapped(rowsLine(decision.game), " ", 80);
    lines.insert(lines.end(), rows.begin(), rows.end());
    const std::string told = "  " + (alone ? std::string("You") : seatName(seating, seat)) + ' ' +
                             playedWords(played) + "; Hard would have " +
                             hardWords(regret.strongest, decision.stage) + '.';
    const std::vector<std::string> toldLines = wrapped(told, " ", 80);
    lines.insert(lines.end(), toldLines.begin(), toldLines.end());
    return lines;
}

// The closing line for every decision not shown one by one.
std::string closingLine(const std::vector<Regret>& regrets, std::size_t shown,
                        std::size_t decisions, bool chances) {
    const std::size_t others = decisions - shown;
    const std::string count = others == 1 ? std::string("one other decision")
                                          : std::to_string(others) + " other decisions";
    if (regrets.size() == shown) {
        return "At your " + count + " Hard would have chosen as you did.";
    }
    return "Your " + count + " cost less: " + costText(regrets[shown].cost, chances) + " at most.";
}

} // namespace

bool costMatters(double cost, bool chances) {
    return cost >= (chances ? 0.01 : 1.0);
}

std::string rowsLine(const GameState& game) {
    std::string line = "  Rows:";
    for (std::int32_t r = 0; r < game.numberOfPlayers; ++r) {
        const Row& row = game.rows[static_cast<std::size_t>(r)];
        std::vector<CardKind> cards;
        std::copy_if(row.slots.begin(), row.slots.end(), std::back_inserter(cards),
                     [](CardKind card) { return card != noCard; });
        line += (r == 0 ? " " : " | ") + rowNumber(r) + ": ";
        line += row.taken ? "taken" : cards.empty() ? "empty" : cardList(cards);
    }
    return line;
}

std::vector<std::string> reviewLines(const std::vector<Decision>& decisions,
                                     const std::vector<Regret>& regrets, const History& history,
                                     const Seating& seating) {
    if (regrets.empty()) {
        return {"Hard would have chosen as you did at every decision."};
    }
    const bool chances = valuesChances(decisions.front().game.numberOfPlayers);
    // A turn's Draw and placement are one decision of the review.
    std::set<std::size_t> turns;
    for (const Decision& decision : decisions) {
        turns.insert(decision.movesPlayed);
    }
    std::size_t shown = 0;
    while (shown < std::min(regrets.size(), reviewedAtMost) &&
           costMatters(regrets[shown].cost, chances)) {
        ++shown;
    }
    if (shown == 0) {
        return {"Hard would have chosen otherwise at " + std::to_string(regrets.size()) + " of " +
                    std::to_string(turns.size()) + " decisions,",
                std::string("  none costing as much as ") + (chances ? "1%." : "1 point.")};
    }
    std::vector<std::string> lines = {
        std::string("Where Hard would have chosen otherwise, costliest first, in ") +
        (chances ? "chance of winning:" : "expected points:")};
    for (std::size_t i = 0; i < shown; ++i) {
        const std::vector<std::string> entry =
            entryLines(decisions[regrets[i].decision], regrets[i], history, seating, chances);
        lines.insert(lines.end(), entry.begin(), entry.end());
    }
    if (turns.size() > shown) {
        lines.push_back(closingLine(regrets, shown, turns.size(), chances));
    }
    return lines;
}

std::string counterUpdate(ReviewCounter& counter, std::size_t done, std::time_t now) {
    if (!counter.terminal || now - counter.start <= 1) {
        return {};
    }
    counter.shown = true;
    return "\r  " + std::to_string(done) + " of " + std::to_string(counter.total) +
           " decisions reviewed";
}

std::string counterEnd(const ReviewCounter& counter) {
    if (!counter.shown) {
        return {};
    }
    // Blanks over the longest count the line can show.
    return '\r' + std::string(40, ' ') + '\r';
}

} // namespace pellaro
