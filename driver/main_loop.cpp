#include "main_loop.h"

#include "../console/console_input.h"
#include "../console/console_view.h"
#include "../engine/game_state.h"
#include "../engine/results.h"
#include "../engine/turn_rules.h"

#include <cstdint>
#include <vector>

namespace {

enum class GameEnd : std::uint8_t {
    Finished = 0,
    InputEnded = 1,
};

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

GameEnd playTurns(const ConsoleView& view, GameState& game) {
    bool over = false;
    while (!over) {
        view.showBoard(game.players, game.rows, isLastRound(game));
        TurnAction action = TurnAction::Draw;
        std::int32_t row = 0;
        if (!chooseAction(view, game, action) || !chooseRow(view, game, action, row)) {
            return GameEnd::InputEnded;
        }
        over = applyMove(game, action, row);
    }
    return GameEnd::Finished;
}

void showResults(const ConsoleView& view, const GameState& game) {
    const std::vector<std::int32_t> scores = allScores(game);
    const std::int32_t top = topScore(game, scores);
    view.showScores(scores);
    view.showWinners(top, winners(game, top));
}

} // namespace

int MainLoop() {
    for (;;) {
        ConsoleView view{minPlayers};
        view.offerRules();
        if (inputEnded()) {
            return 0;
        }
        const std::int32_t players = view.askPlayerCount();
        if (inputEnded()) {
            return 0;
        }
        GameState game = newGame(players);
        view.playerCount = game.numberOfPlayers;
        if (playTurns(view, game) == GameEnd::InputEnded) {
            return 0;
        }
        showResults(view, game);
        if (!view.askNewGame()) {
            return 0;
        }
    }
}
