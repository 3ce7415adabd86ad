#include "solo_loop.h"

#include "../console/console_input.h"
#include "../console/console_view.h"
#include "../engine/game_state.h"
#include "../engine/results.h"
#include "../engine/turn_rules.h"
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

// A person's turn is the hot-seat game's own: the board, then the action
// and the row, each asked until the game allows it.
bool choosePersonAction(const ConsoleView& view, const GameState& game, TurnAction& action) {
    action = view.askAction(game.currentPlayer, isLastRound(game));
    while (!inputEnded() && !isActionPossible(game, action)) {
        view.showInvalidMove();
        action = view.askAction(game.currentPlayer, isLastRound(game));
    }
    return !inputEnded();
}

bool choosePersonRow(const ConsoleView& view, const GameState& game, TurnAction action,
                     std::int32_t& row) {
    row = view.askRow(action, topCard(game));
    while (!inputEnded() && !isRowValid(game, action, row)) {
        view.showInvalidMove();
        row = view.askRow(action, topCard(game));
    }
    return !inputEnded();
}

GameEnd playTurns(const ConsoleView& view, GameState& game, std::int32_t people,
                  std::span<Bot> bots) {
    bool over = false;
    while (!over) {
        if (game.currentPlayer >= people) {
            over = playComputerTurn(game, bots);
            continue;
        }
        view.showBoard(game.players, game.rows, isLastRound(game));
        TurnAction action = TurnAction::Draw;
        std::int32_t row = 0;
        if (!choosePersonAction(view, game, action) || !choosePersonRow(view, game, action, row)) {
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
