#pragma once

#include "options.h"

// Each command returns the program's exit status: 0 when done, 2 after a
// one-line error on standard error, 130 when Ctrl-C cut a run short.
inline constexpr int statusDone = 0;
inline constexpr int statusFailed = 2;
inline constexpr int statusInterrupted = 130;

int runCommand(const RunOptions& options);
int mergeCommand(const MergeOptions& options);
int showCommand(const ShowOptions& options);

// The whole program: reads the command line and runs its command.
int simMain(int argc, const char* const* argv);

// The one form every error takes: "pellaro-sim: " and the reason, one line.
void reportFailure(const std::string& reason);
