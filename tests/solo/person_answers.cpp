#include "person_answers.h"

#include "engine/game_state.h"
#include "engine/turn_rules.h"
#include "solo/computer_turns.h"
#include "support/legal_rows.h"

#include <algorithm>
#include <array>
#include <vector>

namespace pellaro {

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

// A row the game refuses for the action, each reason in turn when the
// board has one: a row empty for a Take or full for a Draw, a taken row, no
// such row.
std::int32_t refusedRow(const GameState& game, TurnAction action, std::int32_t turn) {
    std::array<std::int32_t, 3> byReason = {-1, -1, game.numberOfPlayers};
    for (std::int32_t row = 0; row < game.numberOfPlayers; ++row) {
        if (!isRowValid(game, action, row)) {
            byReason[game.rows[row].taken ? 1 : 0] = row;
        }
    }
    for (std::int32_t reason = turn % 3;; reason = (reason + 1) % 3) {
        if (byReason[reason] >= 0) {
            return byReason[reason];
        }
    }
}

// The answers to the Draw-or-Take question, mistakes and hints first.
std::string actionAnswers(const SoloGame& plan, const PlayedMove& move, std::int32_t turn) {
    std::string answers;
    answers += plan.mistakes && turn % 11 == 5 ? "x\n" : "";
    answers += plan.mistakes && turn % 5 == 2 ? "t\nb\n" : "";
    answers += plan.hints && turn % 9 == 1 ? "?\n" : "";
    // A save asked for and declined: the game goes on.
    answers += plan.mistakes && turn % 17 == 7 ? "s\nn\n" : "";
    answers += move.action == TurnAction::Draw ? "d\n" : "t\n";
    return answers;
}

// The answers to the row question, mistakes and hints first.
std::string rowAnswers(const SoloGame& plan, const GameState& game, const PlayedMove& move,
                       std::int32_t turn, bool actionAsked) {
    std::string answers;
    if (plan.mistakes && turn % 3 == 0) {
        answers += std::to_string(refusedRow(game, move.action, turn / 3) + 1) + '\n';
    }
    answers += plan.mistakes && turn % 13 == 4 ? "row\n" : "";
    answers += plan.hints && turn % 9 == 4 ? "?\n" : "";
    if (plan.mistakes && turn % 19 == 9) {
        // After a declined save a Take's turn starts again at its first
        // question; a Draw's goes on at the row, its card seen.
        answers += move.action == TurnAction::Take && actionAsked ? "s\nn\nt\n" : "s\nn\n";
    }
    answers += std::to_string(move.row + 1) + '\n';
    return answers;
}

// What a person types at one turn, answering only the questions asked.
std::string turnAnswers(const SoloGame& plan, const GameState& game, const PlayedMove& move,
                        std::int32_t turn) {
    const bool canDraw = isActionPossible(game, TurnAction::Draw);
    const bool canTake = isActionPossible(game, TurnAction::Take);
    const std::vector<std::int32_t> rows = rowsAllowing(game, move.action);
    // Questions with one possible answer are not asked.
    const bool actionAsked = canDraw && canTake;
    const bool rowAsked =
        move.action == TurnAction::Draw ? rows.size() > 1 : canDraw || rows.size() > 1;
    return (actionAsked ? actionAnswers(plan, move, turn) : "") +
           (rowAsked ? rowAnswers(plan, game, move, turn, actionAsked) : "");
}

} // namespace

std::vector<std::string> personTurnAnswerList(const SoloGame& plan, std::uint32_t seed) {
    GameState game = newGame(plan.players, seed);
    std::vector<Bot> bots = computerPlayers(plan.strength, seed, game.numberOfPlayers);
    std::vector<std::string> answers;
    bool over = false;
    for (std::int32_t turn = 0; !over;) {
        if (game.currentPlayer >= plan.people) {
            const ChosenMove move = decideComputerMove(game, bots[game.currentPlayer]);
            over = applyMove(game, move.action, move.row);
            continue;
        }
        const PlayedMove move = personMove(game);
        answers.push_back(turnAnswers(plan, game, move, turn));
        over = applyMove(game, move.action, move.row);
        ++turn;
    }
    return answers;
}

std::string personTurnAnswers(const SoloGame& plan, std::uint32_t seed) {
    std::string answers;
    for (const std::string& turn : personTurnAnswerList(plan, seed)) {
        answers += turn;
    }
    return answers;
}

} // namespace pellaro
