#pragma once

#include "../engine/card.h"
#include "../engine/game_state.h"
#include "../engine/turn_rules.h"

#include <cstdint>
#include <vector>

namespace pellaro {

// Everything one game shows the players and asks them, on standard output and
// standard input. It judges only the form of an answer; legality is the game's.
//
// When standard input has no answer left for a question, the question returns
// at once without writing anything more, and inputEnded() turns true.
struct ConsoleView {
    // The number of rows and players the displays show.
    std::int32_t playerCount = minPlayers;

    std::int32_t askPlayerCount() const;
    TurnAction askAction(std::int32_t player, bool lastRound) const;
    // The typed row number minus one, not checked against the board.
    std::int32_t askRow(TurnAction action, CardKind drawnCard) const;
    void showInvalidMove() const;

    void showBoard(PlayerList players, RowList rows, bool lastRound) const;

    void showScores(std::vector<std::int32_t> scores) const;
    void showWinners(std::int32_t top, std::vector<std::int32_t> winners) const;
    bool askNewGame() const;

    void offerRules() const;
};

} // namespace pellaro
