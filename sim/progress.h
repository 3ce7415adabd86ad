#pragma once

#include <chrono>
#include <cstdint>

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
