#include "bot_work.h"
#include "bots/bot.h"
#include "bots/seat_view.h"
#include "engine/game_state.h"
#include "engine/turn_rules.h"

#include <benchmark/benchmark.h>
#include <cstdint>

namespace pellaro {

namespace {

// Whole games between bots of one kind, the deal included: what a
// simulation of many games costs per game.
void botGames(benchmark::State& state, std::string_view bot) {
    const BotSettings settings = benchBot(bot);
    const auto players = static_cast<std::int32_t>(state.range(0));
    std::uint64_t seed = 1;
    std::int64_t moves = 0;
    for ([[maybe_unused]] auto _ : state) {
        const std::int32_t played = playBotGameOfSeed(players, settings, seed++);
        if (played == 0) {
            state.SkipWithError("the game ended before its last round");
            break;
        }
        moves += played;
    }
    state.counters["games/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["movesPerGame"] =
        benchmark::Counter(static_cast<double>(moves), benchmark::Counter::kAvgIterations);
}

void randomBotGame(benchmark::State& state) {
    botGames(state, "random");
}
BENCHMARK(randomBotGame)->Arg(2)->Arg(5);

void greedyBotGame(benchmark::State& state) {
    botGames(state, "greedy");
}
BENCHMARK(greedyBotGame)->Arg(5);

void playouts(benchmark::State& state, PlayoutPolicy policy) {
    PlayoutWork work = openingPlayouts(policy);
    std::int64_t bad = 0;
    for ([[maybe_unused]] auto _ : state) {
        bad += playOnePlayout(work, policy) ? 0 : 1;
        benchmark::DoNotOptimize(work.random);
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
void openingDecision(benchmark::State& state, std::string_view name) {
    GameState game = seededDeal(maxPlayers, 7);
    applyMove(game, TurnAction::Draw, 0);
    const SeatView view(game);
    BotSettings settings = benchBot(name);
    settings.budget = static_cast<std::int32_t>(state.range(0));
    Bot bot = newBot(settings, 7, 1);
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
    openingDecision(state, "montecarlo");
}
BENCHMARK(montecarloDecision)
    ->Arg(defaultBudget)
    ->Arg(halfSecondBudget)
    ->Unit(benchmark::kMillisecond);

void ismctsDecision(benchmark::State& state) {
    openingDecision(state, "ismcts");
}
BENCHMARK(ismctsDecision)->Arg(defaultBudget)->Arg(halfSecondBudget)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace pellaro
