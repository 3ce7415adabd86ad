#pragma once

#include "summary.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace pellaro {

// Ctrl-C, SIGTERM or SIGHUP asks a run to stop: the games under way finish,
// no new deal starts, and the report covers what was done. A second one ends
// the program at once, removing first the temporary files of any OutputFile.
void catchStops();
// The signal that asked the run to stop, 0 when none did.
int stopSignal();

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

// Clears the line once shown, so that the report starts on a clean one.
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

// An output written whole or not at all. A file's text goes to a nameless
// file in the target's folder that gets its name only once complete, so that
// a failed or stopped run, even one killed outright, leaves no half file and
// no stray temporary one; "-" is standard output. Discarded unless committed.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    OutputFile(OutputFile&&) = delete;
    OutputFile& operator=(OutputFile&&) = delete;

    // False, with the reason, when the folder cannot take the file or the
    // name is that of something other than a regular file.
    bool open(const std::string& path, std::string& error);
    bool isOpen() const { return file_ != nullptr; }
    std::FILE* stream() const { return file_; }
    bool write(std::string_view text) const;
    // Completes the file under its name; false, with the reason and nothing
    // left behind, when any write failed.
    bool commit(std::string& error);
    void discard();

private:
    std::string path_;
    // Set only where the folder's file system has no nameless files.
    std::string temporary_;
    std::FILE* file_ = nullptr;
};

// Whether two output names lead to one file, so that one output would
// silently replace the other.
bool sameOutput(const std::string& a, const std::string& b);

} // namespace pellaro
