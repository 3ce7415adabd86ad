#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace pellaro {

// A folder of its own for one test's files, removed with everything in it.
struct ScratchFolder {
    std::filesystem::path path;

    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ScratchFolder(ScratchFolder&&) = delete;
    ScratchFolder& operator=(ScratchFolder&&) = delete;

    std::string file(const std::string& name) const { return (path / name).string(); }
    // The names in the folder, hidden ones included.
    std::vector<std::string> names() const;
};

// The real pellaro-sim, started with its standard output and standard error
// going to files of the folder.
struct SimProcess {
    pid_t pid = -1;
    std::string outPath;
    std::string errPath;
};

struct SimRun {
    int status = -1;
    std::string out;
    std::string err;
};

SimProcess startSim(const std::vector<std::string>& arguments, const ScratchFolder& folder,
                    const std::string& name);

// Waits for the program's end; the status is -1 if it did not exit by itself.
SimRun finishSim(const SimProcess& process);

// The whole run; its output files are kept apart from the folder's listing.
SimRun runSim(const std::vector<std::string>& arguments);

// Polls until `ready` holds, for at most `seconds`: a state that a busy
// machine only delays. False if it never held.
bool waitFor(const std::function<bool()>& ready, int seconds);

// Whether the running process has its own handler for `signal`.
bool catches(pid_t pid, int signal);

// Whether `signal` was sent to the running process and not yet delivered.
bool pending(pid_t pid, int signal);

// A summary's text up to its timings, which alone differ between equal runs.
std::string beforeTiming(const std::string& json);

// An error the simulator tells in one line, short enough to read whatever
// the arguments echoed in it.
bool isOneLineError(const std::string& err);

std::string readText(const std::string& path);
void writeText(const std::string& path, const std::string& text);

} // namespace pellaro
