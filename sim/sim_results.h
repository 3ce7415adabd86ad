#pragma once

#include "coverage.h"
#include "sim_config.h"
#include "summary.h"

#include <cstdint>

// How long the games took: the one figure that may differ between runs.
struct Timing {
    double seconds = 0;
    std::int32_t threads = 0;
    // For a merge: how many summaries it adds up; seconds is then their sum.
    std::int32_t mergedSummaries = 0;
};

// A run's or a merge's results: what the report, the JSON and the chart show.
struct SimResults {
    SimConfig config;
    Coverage coverage;
    // Stopped by Ctrl-C: the summary counts the deals finished before it, a
    // prefix of the deals in index order.
    bool interrupted = false;
    Summary summary;
    Timing timing;
};
