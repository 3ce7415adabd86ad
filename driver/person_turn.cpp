#include "person_turn.h"

#include "../console/console_input.h"
#include "../engine/turn_rules.h"

#include <cstdint>

namespace pellaro {

namespace {

// One turn's action, asked until the game allows it.
bool chooseAction(const ConsoleView& view, const GameState& game, TurnAction& action) {
    action = view.askAction(game.currentPlayer, isLastRound(game));
    while (!inputEnded() && !isActionPossible(game, action)) {
        view.showInvalidMove();
        action = view.askAction(game.currentPlayer, isLastRound(game));
    }
    return !inputEnded();
}

// The row for an accepted action, asked until the game allows it.
bool chooseRow(const ConsoleView& view, const GameState& game, TurnAction action,
               std::int32_t& row) {
    row = view.askRow(action, topCard(game));
    while (!inputEnded() && !isRowValid(game, action, row)) {
        view.showInvalidMove();
        row = view.askRow(action, topCard(game));
    }
    return !inputEnded();
}

} // namespace

std::optional<ChosenMove> askPersonMove(const ConsoleView& view, const GameState& game) {
    view.showBoard(game.players, game.rows, isLastRound(game));
    ChosenMove move;
    if (!chooseAction(view, game, move.action) || !chooseRow(view, game, move.action, move.row)) {
        return std::nullopt;
    }
    return move;
}

} // namespace pellaro
