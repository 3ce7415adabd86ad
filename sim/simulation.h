#pragma once

#include "config.h"
#include "summary.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

// Ctrl-C, SIGTERM or SIGHUP asks a run to stop: the games under way finish,
// no new deal starts, and the report covers what was done. A second one ends
// the program at once, removing first the temporary files named below.
void catchStops();

bool stopRequested();

// The signal that asked the run to stop, 0 when none did.
int stopSignal();

// A temporary file to remove if a second signal ends the program, until it
// is kept or removed. At most a handful at a time.
void removeOnSecondStop(const std::string& path);
void keepOnSecondStop(const std::string& path);

// The progress line on standard error: games done, games per second and the
// time left. Shown only at a terminal, and only once a run has lasted a second.
struct ProgressBar {
    bool enabled = false;
    bool shown = false;
    std::int64_t totalGames = 0;
    std::chrono::steady_clock::time_point start;
};

// Enabled when wanted and standard error is a terminal.
ProgressBar progressBar(bool wanted, std::int64_t totalGames);

void updateProgress(ProgressBar& bar, std::int64_t gamesDone);

// Clears the line, so that the report starts on a clean one.
void endProgress(ProgressBar& bar);

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
// added up in batch order. When Ctrl-C or an external bot's failure stops
// the run, the results count the longest prefix of deals that was finished,
// and say so; the failure's line is in botFailure. Records go to
// `records` when given; `progress` is updated while the games run.
SimResults runSimulation(const SimConfig& config, DealRange range, std::int32_t threads,
                         RecordsOut* records, ProgressBar* progress);
