#pragma once

#include "progress.h"
#include "sim_config.h"
#include "sim_results.h"

#include <cstdint>
#include <cstdio>

// Where the game records of a run go, one line per game in game order.
struct RecordsOut {
    std::FILE* file = nullptr;
    bool failed = false;
    // The errno of the failed write.
    int reason = 0;
};

// Plays the deals of the range on `threads` threads and counts them. Every
// figure but the timing depends on the configuration and the range alone:
// each game is a function of its deal's index, and the threads' batches are
// added up in batch order. When Ctrl-C stops the run, the results count the
// longest prefix of deals that was finished, and say so. Records go to
// `records` when given; `progress` is updated while the games run.
SimResults runSimulation(const SimConfig& config, DealRange range, std::int32_t threads,
                         RecordsOut* records, ProgressBar* progress);
