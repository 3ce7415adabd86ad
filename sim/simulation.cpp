#include "simulation.h"

#include "game_play.h"
#include "game_records.h"
#include "interrupt.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

// The games of one batch of consecutive deals, as one thread played them.
struct BatchResult {
    std::int64_t batch = 0;
    Summary summary;
    // False when Ctrl-C stopped the batch: its summary counts a prefix of it.
    bool complete = true;
    std::string records;
};

// What the threads share. The games' loop touches none of it: a thread takes
// the next batch from the counter, and counts the batch's games and adds its
// results under the lock once the batch is played.
struct Shared {
    const SimConfig* config = nullptr;
    DealRange range;
    std::int64_t batchDeals = 1;
    std::int64_t batchCount = 0;
    RecordsOut* records = nullptr;
    std::atomic<std::int64_t> nextBatch{0};
    std::atomic<std::int64_t> gamesDone{0};

    std::mutex lock;
    std::condition_variable finishedOne;
    std::int32_t finishedThreads = 0;
    // Batches are added in batch order; those that arrive early wait here.
    std::map<std::int64_t, BatchResult> waiting;
    std::int64_t nextToAdd = 0;
    // Set once a stopped batch has been added: nothing after it counts.
    bool prefixEnded = false;
    Summary total;
};

// Batches long enough that taking one costs nothing beside its games, and
// short enough that the threads finish together; searching bots take a deal
// at a time, as one of their games lasts long.
std::int64_t batchDealsFor(const SimConfig& config, DealRange range, std::int32_t threads) {
    if (std::any_of(config.seats.begin(), config.seats.end(), searches)) {
        return 1;
    }
    return std::clamp<std::int64_t>((range.end - range.first) / (std::int64_t{threads} * 32), 1,
                                    256);
}

void addInOrder(Shared& shared, BatchResult&& result) {
    const std::lock_guard<std::mutex> guard(shared.lock);
    if (shared.prefixEnded) {
        return;
    }
    shared.waiting.emplace(result.batch, std::move(result));
    for (auto next = shared.waiting.find(shared.nextToAdd);
         next != shared.waiting.end() && !shared.prefixEnded;
         next = shared.waiting.find(shared.nextToAdd)) {
        const BatchResult& batch = next->second;
        addSummary(shared.total, batch.summary);
        RecordsOut* records = shared.records;
        if (records != nullptr && !records->failed && !batch.records.empty()) {
            records->failed = std::fwrite(batch.records.data(), 1, batch.records.size(),
                                          records->file) != batch.records.size();
            records->reason = records->failed ? errno : 0;
        }
        shared.prefixEnded = !batch.complete;
        shared.waiting.erase(next);
        ++shared.nextToAdd;
    }
}

void playBatches(Shared& shared) {
    const SimConfig& config = *shared.config;
    const std::int32_t rotations = gamesPerDeal(config);
    const bool recording = shared.records != nullptr;
    GameRecord record;
    while (!stopRequested()) {
        const std::int64_t batch = shared.nextBatch.fetch_add(1, std::memory_order_relaxed);
        if (batch >= shared.batchCount) {
            break;
        }
        BatchResult result;
        result.batch = batch;
        const std::int64_t first = shared.range.first + batch * shared.batchDeals;
        const std::int64_t end = std::min(first + shared.batchDeals, shared.range.end);
        for (std::int64_t dealIndex = first; dealIndex < end; ++dealIndex) {
            if (stopRequested()) {
                result.complete = false;
                break;
            }
            DealTotals totals;
            for (std::int32_t rotation = 0; rotation < rotations; ++rotation) {
                addGame(result.summary,
                        playGame(config, dealIndex, rotation, recording ? &record : nullptr),
                        totals);
                if (recording) {
                    appendRecordLine(result.records, config, record);
                }
            }
            closeDeal(result.summary, totals);
        }
        shared.gamesDone.fetch_add(result.summary.games, std::memory_order_relaxed);
        addInOrder(shared, std::move(result));
    }
    const std::lock_guard<std::mutex> guard(shared.lock);
    ++shared.finishedThreads;
    shared.finishedOne.notify_all();
}

} // namespace

SimResults runSimulation(const SimConfig& config, DealRange range, std::int32_t threads,
                         RecordsOut* records, ProgressBar* progress) {
    const auto start = std::chrono::steady_clock::now();
    Shared shared;
    shared.config = &config;
    shared.range = range;
    shared.batchDeals = batchDealsFor(config, range, threads);
    shared.batchCount = (range.end - range.first + shared.batchDeals - 1) / shared.batchDeals;
    shared.records = records;

    std::vector<std::thread> workers;
    workers.reserve(static_cast<std::size_t>(threads));
    for (std::int32_t i = 0; i < threads; ++i) {
        workers.emplace_back(playBatches, std::ref(shared));
    }
    {
        std::unique_lock<std::mutex> guard(shared.lock);
        while (shared.finishedThreads < threads) {
            shared.finishedOne.wait_for(guard, std::chrono::milliseconds(200));
            if (progress != nullptr) {
                updateProgress(*progress, shared.gamesDone.load(std::memory_order_relaxed));
            }
        }
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    if (progress != nullptr) {
        endProgress(*progress);
    }

    SimResults results;
    results.config = config;
    results.summary = shared.total;
    results.interrupted = shared.prefixEnded || shared.total.deals < range.end - range.first;
    if (shared.total.deals > 0) {
        results.coverage.push_back(DealRange{range.first, range.first + shared.total.deals});
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    results.timing.seconds = elapsed.count();
    results.timing.threads = threads;
    return results;
}
