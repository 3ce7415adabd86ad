#include "solo_loop.h"

#include "../console/console_input.h"
#include "../console/console_view.h"
#include "../driver/game_loop.h"
#include "../driver/game_results.h"
#include "../driver/person_turn.h"
#include "../engine/game_state.h"
#include "computer_turns.h"
#include "solo_questions.h"
#include "strengths.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <vector>

namespace {

// People in the first seats, computer players in the others.
struct SoloSeats {
    const ConsoleView& view;
    std::int32_t people = 1;
    std::span<Bot> bots;

    std::optional<Move> chooseMove(const GameState& game) const {
        if (game.currentPlayer < people) {
            // A person's turn is the hot-seat game's own.
            return askPersonMove(view, game);
        }
        const PlayedMove move =
            decideComputerMove(game, bots[static_cast<std::size_t>(game.currentPlayer)]);
        showComputerMove(game.currentPlayer, move);
        return Move{move.action, move.row};
    }
    void played(const GameState& /*before*/, const Move& /*move*/, const GameState& /*after*/,
                bool /*over*/) const {}
};

} // namespace

int SoloLoop() {
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
        const std::int32_t people = askPeopleCount(players);
        if (inputEnded()) {
            return 0;
        }
        const Strength strength = askStrength();
        if (inputEnded()) {
            return 0;
        }
        // The clock seeds the deal as in the hot-seat game, and the computer
        // players from the same value, so a pinned clock replays everything.
        const auto seed = static_cast<std::uint32_t>(std::time(nullptr));
        GameState game = newGame(players, seed);
        view.playerCount = game.numberOfPlayers;
        std::vector<Bot> bots = computerPlayers(strength, seed, game.numberOfPlayers);
        SoloSeats seats{view, people, bots};
        if (playGame(game, seats) == GameEnd::InputEnded) {
            return 0;
        }
        showResults(view, game);
        if (!view.askNewGame()) {
            return 0;
        }
    }
}
