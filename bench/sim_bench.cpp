#include "sim/records.h"
#include "sim/simulation.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace {

// The CPU time of every thread of the process: on a machine busy with other
// work the threads wait for a core, and games per second of CPU time still
// show whether a second thread costs anything beside its games.
double processSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// A whole run of the simulator over five seats of one bot: dealing, the
// bots' moves, the counting and the threads' batches, without records.
// Two threads should play close to twice the games per second of one.
void simulatorRun(benchmark::State& state) {
    SimConfig config;
    config.players = 5;
    const BotEntry* bot = botRegistry()[static_cast<std::size_t>(state.range(1))];
    config.seats.assign(5, BotSettings{bot, config.budget});
    config.seed = 1;
    config.deals = 20000;
    const auto threads = static_cast<std::int32_t>(state.range(0));
    std::int64_t games = 0;
    const double cpuStart = processSeconds();
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
    state.counters["games_per_cpu_second"] =
        static_cast<double>(games) / (processSeconds() - cpuStart);
    state.SetLabel(std::string(bot->name) + " x5");
}
BENCHMARK(simulatorRun)
    ->ArgNames({"threads", "bot"})
    // The registry's first two bots: random and greedy.
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({1, 1})
    ->Args({2, 1})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// The --jsonl writer: 200 recorded five-player games of random bots written
// as lines into a reused string, against copying the same bytes
// (recordBytesCopy), which bounds what any writer could cost.
std::vector<GameRecord> recordedGames() {
    SimConfig config;
    config.players = 5;
    config.seats.assign(5, BotSettings{botEntryNamed("random"), config.budget});
    config.deals = 200;
    std::vector<GameRecord> records(200);
    for (std::int64_t index = 0; index < config.deals; ++index) {
        playGame(config, index, 0, &records[static_cast<std::size_t>(index)]);
    }
    return records;
}

void recordLines(benchmark::State& state) {
    const std::vector<GameRecord> records = recordedGames();
    std::string out;
    for ([[maybe_unused]] auto _ : state) {
        out.clear();
        for (const GameRecord& record : records) {
            appendRecordLine(out, record);
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * out.size()));
}
BENCHMARK(recordLines)->Unit(benchmark::kMicrosecond);

void recordBytesCopy(benchmark::State& state) {
    std::string lines;
    for (const GameRecord& record : recordedGames()) {
        appendRecordLine(lines, record);
    }
    std::string out;
    for ([[maybe_unused]] auto _ : state) {
        out.assign(lines);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * out.size()));
}
BENCHMARK(recordBytesCopy)->Unit(benchmark::kMicrosecond);

} // namespace
