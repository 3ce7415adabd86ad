#include "main_loop.h"

#include "../console/console_input.h"
#include "../console/console_view.h"
#include "../engine/game_state.h"
#include "game_results.h"
#include "person_turn.h"

#include <cstdint>

namespace {

enum class GameEnd : std::uint8_t {
    Finished = 0,
    InputEnded = 1,
};

GameEnd playTurns(const ConsoleView& view, GameState& game) {
    bool over = false;
    while (!over) {
        if (!playPersonTurn(view, game, over)) {
            return GameEnd::InputEnded;
        }
    }
    return GameEnd::Finished;
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
