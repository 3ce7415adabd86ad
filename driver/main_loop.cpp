#include "main_loop.h"

#include "../console/console_input.h"
#include "../console/console_view.h"
#include "../engine/game_state.h"
#include "game_loop.h"
#include "game_results.h"
#include "person_turn.h"

#include <optional>

namespace pellaro {

namespace {

// Every seat of the hot-seat game is a person's, and the board says all.
struct HotSeats {
    const ConsoleView& view;

    std::optional<ChosenMove> chooseMove(const GameState& game) const {
        return askPersonMove(view, game);
    }
    void played(const GameState& /*before*/, const ChosenMove& /*move*/, const GameState& /*after*/,
                bool /*over*/) const {}
};

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
        HotSeats seats{view};
        if (playGame(game, seats) == GameEnd::InputEnded) {
            return 0;
        }
        showResults(view, game);
        if (!view.askNewGame()) {
            return 0;
        }
    }
}

} // namespace pellaro
