#include "engine/game_state.h"
#include "engine/turn_rules.h"
#include "random_play.h"
#include "solo/computer_turns.h"
#include "solo/strengths.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <vector>

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
        const PlayedMove move = decideComputerMove(game, bots[game.currentPlayer]);
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
