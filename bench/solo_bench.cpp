#include "engine/game_state.h"
#include "engine/turn_rules.h"
#include "random_play.h"
#include "solo/advice.h"
#include "solo/computer_turns.h"
#include "solo/strengths.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <vector>

namespace pellaro {

namespace {

// Positions of five-player games early, halfway and late, where the computer
// players of pellaro-solo have to decide.
std::vector<GameState> decisionPositions() {
    std::vector<GameState> positions;
    MoveRandom random;
    for (std::uint32_t seed = 1; seed <= 8; ++seed) {
        for (const int moves : {5, 40, 75}) {
            GameState game = newGame(maxPlayers, seed);
            bool over = false;
            for (int move = 0; move < moves && !over; ++move) {
                const Move chosen = randomLegalMove(game, random);
                over = applyMove(game, chosen.action, chosen.row);
            }
            if (!over) {
                positions.push_back(game);
            }
        }
    }
    return positions;
}

// One whole decision of a computer player, the action and its row. Hard's
// must stay under half a second on one core of the build machine.
void computerDecision(benchmark::State& state) {
    const auto strength = static_cast<Strength>(state.range(0));
    const std::vector<GameState> positions = decisionPositions();
    std::vector<Bot> bots = computerPlayers(strength, 1, maxPlayers);
    std::size_t next = 0;
    for ([[maybe_unused]] auto _ : state) {
        const GameState& game = positions[next++ % positions.size()];
        const ChosenMove move = decideComputerMove(game, bots[game.currentPlayer]);
        if (!isRowValid(game, move.action, move.row)) {
            state.SkipWithError("a computer player chose a move the game refuses");
            break;
        }
        benchmark::DoNotOptimize(move);
    }
}
BENCHMARK(computerDecision)
    ->ArgName("strength")
    ->DenseRange(0, static_cast<int>(strengthCount) - 1)
    ->Unit(benchmark::kMicrosecond);

} // namespace

namespace {

// A hint of pellaro-solo at the Draw-or-Take question and at the row
// question after a Draw, in five-player games: what Hard would do and the
// value of every choice. It must come within a second on one core.
void hint(benchmark::State& state) {
    const auto stage = static_cast<DecisionStage>(state.range(0));
    std::vector<GameState> positions = decisionPositions();
    std::erase_if(positions,
                  [](const GameState& game) { return !isActionPossible(game, TurnAction::Draw); });
    std::size_t next = 0;
    for ([[maybe_unused]] auto _ : state) {
        const GameState& game = positions[next % positions.size()];
        const Advice advice = advise(game, stage, TurnAction::Draw, decisionSeed(1, next, stage));
        ++next;
        benchmark::DoNotOptimize(advice);
    }
}
BENCHMARK(hint)->ArgName("rowQuestion")->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

// The review of a whole five-player game: every decision of seat 1, played
// here by Easy, judged against Hard's. It must take a few seconds at most.
void review(benchmark::State& state) {
    GameState game = newGame(maxPlayers, 7);
    std::vector<Bot> bots = computerPlayers(Strength::Easy, 7, maxPlayers);
    std::vector<Decision> decisions;
    std::size_t played = 0;
    for (bool over = false; !over; ++played) {
        const ChosenMove move = decideComputerMove(game, bots[game.currentPlayer]);
        if (game.currentPlayer == 0) {
            const Choice chosen =
                move.action == TurnAction::Draw ? Choice{} : Choice{move.action, move.row};
            decisions.push_back({game, DecisionStage::Action, move.action, chosen,
                                 decisionSeed(7, played, DecisionStage::Action), played});
            if (move.action == TurnAction::Draw) {
                decisions.push_back({game, DecisionStage::Row, move.action,
                                     Choice{move.action, move.row},
                                     decisionSeed(7, played, DecisionStage::Row), played});
            }
        }
        over = applyMove(game, move.action, move.row);
    }
    state.counters["decisions"] = static_cast<double>(decisions.size());
    for ([[maybe_unused]] auto _ : state) {
        benchmark::DoNotOptimize(reviewDecisions(decisions));
    }
}
BENCHMARK(review)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

} // namespace pellaro
