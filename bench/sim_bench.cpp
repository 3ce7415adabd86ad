#include "sim/simulation.h"

#include <benchmark/benchmark.h>
#include <cstdint>

namespace {

// A whole run of the simulator over five seats of one bot: dealing, the
// bots' moves, the counting and the threads' batches, without records.
// Two threads should play close to twice the games per second of one.
void simulatorRun(benchmark::State& state) {
    SimConfig config;
    config.players = 5;
    config.seats.assign(5, static_cast<Strategy>(state.range(1)));
    config.seed = 1;
    config.deals = 20000;
    const auto threads = static_cast<std::int32_t>(state.range(0));
    std::int64_t games = 0;
    for ([[maybe_unused]] auto _ : state) {
        const SimResults results =
            runSimulation(config, {0, config.deals}, threads, nullptr, nullptr);
        games += results.summary.games;
        benchmark::DoNotOptimize(results.summary.spreadSum);
    }
    if (games != static_cast<std::int64_t>(state.iterations()) * config.deals) {
        state.SkipWithError("the run did not play every deal");
    }
    state.SetItemsProcessed(games);
    state.SetLabel(std::string(strategyName(config.seats[0])) + " x5");
}
BENCHMARK(simulatorRun)
    ->ArgNames({"threads", "bot"})
    ->Args({1, static_cast<std::int64_t>(Strategy::Random)})
    ->Args({2, static_cast<std::int64_t>(Strategy::Random)})
    ->Args({1, static_cast<std::int64_t>(Strategy::Greedy)})
    ->Args({2, static_cast<std::int64_t>(Strategy::Greedy)})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
