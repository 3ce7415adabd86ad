#include "protocol/request_seeds.h"
#include "sim/records.h"
#include "sim/simulation.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <ctime>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace pellaro {

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

double childSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// Five-player games on one simulator thread with greedy served over the
// pellaro-bot protocol by pellaro-sim bot in the first `external` seats and
// built-in greedy in the others: what the protocol costs. The games in
// flight send their requests in batches, so a round trip through the pipes
// is shared by hundreds of decisions; the goal is 5000 games a second. The
// counters split the CPU time between the simulator and the served bot
// (whose process ends with the run), per game, since on a busy machine the
// two processes wait for cores.
void servedGreedy(benchmark::State& state) {
    SimConfig config;
    config.players = 5;
    const auto external = static_cast<std::int32_t>(state.range(0));
    const auto served = botNamed(std::string("exec:") + PELLARO_SIM_PROGRAM + " bot greedy", 1);
    config.seats.assign(5, BotSettings{botEntryNamed("greedy"), config.budget});
    std::fill_n(config.seats.begin(), external, *served);
    config.seed = 1;
    config.deals = 20000;
    // Any fixed key: the requests' seeds only need to be the same each time.
    config.botKey = RequestKey{};
    std::int64_t games = 0;
    const double cpuStart = processSeconds();
    const double botStart = childSeconds();
    for ([[maybe_unused]] auto _ : state) {
        const SimResults results = runSimulation(config, {0, config.deals}, 1, nullptr, nullptr);
        if (!results.botFailure.empty()) {
            state.SkipWithError(results.botFailure.c_str());
            break;
        }
        games += results.summary.games;
        benchmark::DoNotOptimize(results.summary.spreadSum);
    }
    state.SetItemsProcessed(games);
    const double perGame = 1e6 / static_cast<double>(std::max<std::int64_t>(games, 1));
    state.counters["sim_cpu_us_per_game"] = (processSeconds() - cpuStart) * perGame;
    state.counters["bot_cpu_us_per_game"] = (childSeconds() - botStart) * perGame;
    state.SetLabel(std::to_string(external) + " of 5 seats served");
}
BENCHMARK(servedGreedy)
    ->ArgName("external")
    ->Arg(1)
    ->Arg(5)
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
    Lineup lineup = lineupOf(config, 0);
    for (std::int64_t index = 0; index < config.deals; ++index) {
        playDeal(config, lineup, index, &records[static_cast<std::size_t>(index)]);
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

} // namespace pellaro
