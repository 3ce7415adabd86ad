#include "engine/game_state.h"
#include "engine/scoring.h"
#include "random_play.h"

#include <algorithm>
#include <array>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <vector>

namespace pellaro {

namespace {

// A game draws between 75 - 3n and 74 cards; a result outside that range
// means the benchmark timed something other than a whole game.
bool isCompleteGame(const GameState& game) {
    return game.nextCard >= 75 - 3 * game.numberOfPlayers && game.nextCard <= 74 &&
           isLastRound(game);
}

// The shuffle only moves cards: nine of each colour, three wilds, ten +2 cards.
bool holdsWholeDeck(const GameState& game) {
    std::array<int, cardKindCount> kinds{};
    for (const CardKind card : game.deck) {
        if (card < 0 || card >= cardKindCount) {
            return false;
        }
        ++kinds[card];
    }
    return kinds == std::array<int, cardKindCount>{9, 9, 9, 9, 9, 9, 9, 3, 10};
}

void setUp(benchmark::State& state) {
    std::uint32_t seed = 1;
    GameState game;
    for ([[maybe_unused]] auto _ : state) {
        game = newGame(maxPlayers, seed++);
        benchmark::DoNotOptimize(game.deck.data());
        benchmark::ClobberMemory();
    }
    if (!holdsWholeDeck(game)) {
        state.SkipWithError("the shuffled deck lost or gained cards");
    }
}
BENCHMARK(setUp);

void randomGame(benchmark::State& state) {
    const auto players = static_cast<std::int32_t>(state.range(0));
    std::uint32_t seed = 1;
    MoveRandom random;
    std::int64_t moves = 0;
    for ([[maybe_unused]] auto _ : state) {
        GameState game = newGame(players, seed++);
        moves += playRandomGame(game, random);
        if (!isCompleteGame(game)) {
            state.SkipWithError("the game ended before its last round");
            break;
        }
        benchmark::DoNotOptimize(game.players.data());
    }
    state.counters["movesPerGame"] =
        benchmark::Counter(static_cast<double>(moves), benchmark::Counter::kAvgIterations);
}
BENCHMARK(randomGame)->DenseRange(minPlayers, maxPlayers);

// Piles from finished five-player games, so that the scores cover what play
// really produces: wilds, +2 cards and colours of every size.
std::vector<GameState> finishedGames(std::int32_t count) {
    std::vector<GameState> games;
    MoveRandom random;
    for (std::int32_t i = 0; i < count; ++i) {
        GameState game = newGame(maxPlayers, static_cast<std::uint32_t>(i) + 1);
        playRandomGame(game, random);
        games.push_back(game);
    }
    return games;
}

void scoring(benchmark::State& state) {
    const std::vector<GameState> games = finishedGames(64);
    std::size_t game = 0;
    std::int32_t seat = 0;
    std::int32_t lowest = 0;
    std::int32_t highest = 0;
    for ([[maybe_unused]] auto _ : state) {
        const std::int32_t score = finalScore(games[game], seat);
        lowest = std::min(lowest, score);
        highest = std::max(highest, score);
        if (++seat == maxPlayers) {
            seat = 0;
            game = (game + 1) % games.size();
        }
    }
    // Four colours at -21 at worst; three at 21 and ten +2 cards at best.
    if (lowest < -4 * 21 || highest > 3 * 21 + 2 * 10 || lowest == highest) {
        state.SkipWithError("the scores left their possible range");
    }
}
BENCHMARK(scoring);

} // namespace

} // namespace pellaro
