#include "support/whole_games.h"

#include "engine/game_state.h"
#include "engine/turn_rules.h"

namespace pellaro {

std::string wholeGameAnswers(std::int32_t players, std::uint32_t seed) {
    GameState game = newGame(players, seed);
    std::string answers = std::to_string(players) + '\n';
    bool over = false;
    while (!over) {
        const TurnAction action =
            isActionPossible(game, TurnAction::Draw) ? TurnAction::Draw : TurnAction::Take;
        std::int32_t row = 0;
        while (!isRowValid(game, action, row)) {
            ++row;
        }
        answers += action == TurnAction::Draw ? "d\n" : "t\n";
        answers += std::to_string(row + 1) + '\n';
        over = applyMove(game, action, row);
    }
    return answers;
}

} // namespace pellaro
