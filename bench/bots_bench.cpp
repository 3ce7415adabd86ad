#include "bots/bot.h"
#include "bots/bot_game.h"
#include "bots/playout.h"
#include "bots/playout_state.h"
#include "bots/seat_view.h"
#include "engine/game_state.h"
#include "engine/seeded_random.h"
#include "engine/turn_rules.h"

#include <algorithm>
#include <array>
#include <benchmark/benchmark.h>
#include <cstdint>

namespace {

GameState seededDeal(std::int32_t players, std::uint64_t seed) {
    SeededRandom random = seededRandom(seed);
    ShuffleDraws draws{};
    std::generate(draws.begin(), draws.end(), [&random] { return nextDraw(random); });
    return dealGame(players, draws);
}

// A game draws between 75 - 3n and 74 cards and ends in its last round.
bool isCompleteGame(const GameState& game) {
    return game.nextCard >= 75 - 3 * game.numberOfPlayers && game.nextCard <= 74 &&
           isLastRound(game);
}

// Whole five-player games between bots of one strategy, the deal included:
// what a simulation of many games costs per game.
void botGames(benchmark::State& state, Strategy strategy) {
    std::uint64_t seed = 1;
    std::int64_t moves = 0;
    for ([[maybe_unused]] auto _ : state) {
        GameState game = seededDeal(maxPlayers, seed);
        std::array<Bot, maxPlayers> bots{};
        for (std::int32_t seat = 0; seat < maxPlayers; ++seat) {
            bots[seat] = newBot(BotSettings{strategy}, seed, seat);
        }
        bool over = false;
        while (!over) {
            PlayedMove played;
            over = playBotTurn(game, bots, played);
            ++moves;
        }
        if (!isCompleteGame(game)) {
            state.SkipWithError("the game ended before its last round");
            break;
        }
        benchmark::DoNotOptimize(game.players.data());
        ++seed;
    }
    state.counters["games/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["movesPerGame"] =
        benchmark::Counter(static_cast<double>(moves), benchmark::Counter::kAvgIterations);
}

void randomBotGame(benchmark::State& state) {
    botGames(state, Strategy::Random);
}
BENCHMARK(randomBotGame);

void greedyBotGame(benchmark::State& state) {
    botGames(state, Strategy::Greedy);
}
BENCHMARK(greedyBotGame);

// The searches' inner loop from the opening of a five-player game, as seat 0
// sees it: a fresh deal of the unseen cards and a playout to the end.
void playouts(benchmark::State& state, PlayoutPolicy policy) {
    const GameState game = seededDeal(maxPlayers, 7);
    const SeatView view = seatView(game);
    const PlayoutState root = playoutState(view);
    const UnseenCards unseen = unseenCards(view.unseen);
    SeededRandom random = seededRandom(11);
    std::int64_t bad = 0;
    for ([[maybe_unused]] auto _ : state) {
        PlayoutState playout = root;
        deal(playout, unseen, playout.nextCard, random);
        playOut(playout, policy, random);
        bad += isLastRound(playout) && playout.nextCard <= 74 ? 0 : 1;
        benchmark::DoNotOptimize(playout.piles.data());
    }
    if (bad != 0) {
        state.SkipWithError("a playout ended before its last round");
    }
    state.counters["playouts/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void randomPlayout(benchmark::State& state) {
    playouts(state, PlayoutPolicy::Random);
}
BENCHMARK(randomPlayout);

void patientPlayout(benchmark::State& state) {
    playouts(state, PlayoutPolicy::Patient);
}
BENCHMARK(patientPlayout);

// One decision early in a five-player game, the most expensive kind: seat 0
// has drawn onto row 0, and seat 1 chooses between drawing and taking it.
void openingDecision(benchmark::State& state, Strategy strategy) {
    GameState game = seededDeal(maxPlayers, 7);
    applyMove(game, TurnAction::Draw, 0);
    const SeatView view = seatView(game);
    Bot bot = newBot(BotSettings{strategy, static_cast<std::int32_t>(state.range(0))}, 7, 1);
    bool legal = true;
    for ([[maybe_unused]] auto _ : state) {
        legal = legal && isActionPossible(game, chooseAction(bot, view));
    }
    if (!legal) {
        state.SkipWithError("the search chose an action the game refuses");
    }
    state.counters["playouts/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * state.range(0)), benchmark::Counter::kIsRate);
}

void montecarloDecision(benchmark::State& state) {
    openingDecision(state, Strategy::MonteCarlo);
}
BENCHMARK(montecarloDecision)
    ->Arg(defaultBudget)
    ->Arg(halfSecondBudget)
    ->Unit(benchmark::kMillisecond);

void ismctsDecision(benchmark::State& state) {
    openingDecision(state, Strategy::Ismcts);
}
BENCHMARK(ismctsDecision)->Arg(defaultBudget)->Arg(halfSecondBudget)->Unit(benchmark::kMillisecond);

} // namespace
