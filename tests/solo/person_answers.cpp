#include "person_answers.h"

#include "engine/game_state.h"
#include "engine/turn_rules.h"
#include "solo/computer_turns.h"
#include "support/legal_rows.h"

#include <algorithm>
#include <vector>

namespace {

std::int32_t cardsIn(const Row& row) {
    std::int32_t cards = 0;
    while (cards < rowLength && row.slots[cards] != noCard) {
        ++cards;
    }
    return cards;
}

PlayedMove personMove(const GameState& game) {
    const std::vector<std::int32_t> takes = rowsAllowing(game, TurnAction::Take);
    const std::vector<std::int32_t> draws = rowsAllowing(game, TurnAction::Draw);
    const auto full = std::find_if(takes.begin(), takes.end(),
                                   [&game](std::int32_t row) { return game.rows[row].full; });
    if (full != takes.end()) {
        return PlayedMove{TurnAction::Take, *full, noCard};
    }
    if (draws.empty()) {
        return PlayedMove{TurnAction::Take, takes.front(), noCard};
    }
    const auto emptiest =
        std::min_element(draws.begin(), draws.end(), [&game](std::int32_t a, std::int32_t b) {
            return cardsIn(game.rows[a]) < cardsIn(game.rows[b]);
        });
    return PlayedMove{TurnAction::Draw, *emptiest, topCard(game)};
}

} // namespace

std::string personTurnAnswers(const SoloGame& plan, std::uint32_t pinnedTime) {
    GameState game = newGame(plan.players, pinnedTime);
    std::vector<Bot> bots = computerPlayers(plan.strength, pinnedTime, game.numberOfPlayers);
    std::string answers;
    bool over = false;
    for (std::int32_t turn = 0; !over;) {
        if (game.currentPlayer >= plan.people) {
            const PlayedMove move = decideComputerMove(game, bots[game.currentPlayer]);
            over = applyMove(game, move.action, move.row);
            continue;
        }
        const PlayedMove move = personMove(game);
        if (plan.mistakes && turn % 3 == 0 && !isActionPossible(game, TurnAction::Take)) {
            answers += "t\n";
        } else if (plan.mistakes && turn % 11 == 5) {
            answers += "x\n";
        }
        answers += move.action == TurnAction::Draw ? "d\n" : "t\n";
        if (plan.mistakes && turn % 7 == 3) {
            answers += "0\n";
        }
        answers += std::to_string(move.row + 1) + '\n';
        over = applyMove(game, move.action, move.row);
        ++turn;
    }
    return answers;
}
