#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

namespace pellaro {

// The real program, started with its standard input and output on pipes.
struct RunningProgram {
    pid_t pid = -1;
    int toProgram = -1;
    int fromProgram = -1;
    std::string output;
};

// Starts the program with these arguments and these NAME=VALUE settings
// added to the environment.
RunningProgram startProgram(const std::vector<std::string>& arguments,
                            const std::vector<std::string>& settings);

// Writes the bytes to the program's standard input, reading its output
// meanwhile so that neither side can block the other.
void send(RunningProgram& program, const std::string& bytes);

// Reads output until it ends in the text; false if that takes longer than
// the given milliseconds or the output ends first.
bool readUntil(RunningProgram& program, const std::string& ending, int milliseconds);

// Closes standard input, reads the rest of the output and returns the exit
// status, or -1 if the program did not exit by itself within the time.
int finish(RunningProgram& program, int milliseconds);

struct ProgramRun {
    int status = -1;
    std::string output;
};

// The settings that preload the pinned clock at the given second, so that
// the program deals a known deck.
std::vector<std::string> pinnedAt(std::uint32_t seconds);

// The whole run of the program on the given standard input; status -1 when
// it did not exit within the time.
ProgramRun runProgram(const std::string& input, const std::vector<std::string>& arguments = {},
                      const std::vector<std::string>& settings = {}, int milliseconds = 60000);

// Time enough for whole sessions with Hard's searches, hints and reviews,
// which unoptimised and sanitized builds play many times slower.
inline constexpr int searchingSessionMilliseconds = 600000;

} // namespace pellaro
