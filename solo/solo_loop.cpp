#include "solo_loop.h"

#include "../console/console_input.h"
#include "../console/console_view.h"
#include "../driver/game_results.h"
#include "../driver/person_turn.h"
#include "../engine/game_state.h"
#include "computer_turns.h"
#include "solo_questions.h"
#include "strengths.h"

#include <cstdint>
#include <ctime>
#include <span>
#include <vector>

namespace {

enum class GameEnd : std::uint8_t {
    Finished = 0,
    InputEnded = 1,
};

GameEnd playTurns(const ConsoleView& view, GameState& game, std::int32_t people,
                  std::span<Bot> bots) {
    bool over = false;
    while (!over) {
        if (game.currentPlayer >= people) {
            over = playComputerTurn(game, bots);
            continue;
        }
        // A person's turn is the hot-seat game's own.
        if (!playPersonTurn(view, game, over)) {
            return GameEnd::InputEnded;
        }
    }
    return GameEnd::Finished;
}

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
        if (playTurns(view, game, people, bots) == GameEnd::InputEnded) {
            return 0;
        }
        showResults(view, game);
        if (!view.askNewGame()) {
            return 0;
        }
    }
}
