#include "sim_program.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <initializer_list>
#include <iterator>
#include <sstream>
#include <string_view>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace pellaro {

ScratchFolder::ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pellaro-sim-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::abort();
    }
    path = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::vector<std::string> ScratchFolder::names() const {
    std::vector<std::string> names;
    std::transform(std::filesystem::directory_iterator(path), std::filesystem::directory_iterator(),
                   std::back_inserter(names),
                   [](const auto& entry) { return entry.path().filename().string(); });
    std::sort(names.begin(), names.end());
    return names;
}

SimProcess startSim(const std::vector<std::string>& arguments, const ScratchFolder& folder,
                    const std::string& name) {
    SimProcess process{-1, folder.file(name + ".out"), folder.file(name + ".err")};
    std::vector<std::string> texts = {PELLARO_SIM_PROGRAM};
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    std::transform(texts.begin(), texts.end(), std::back_inserter(argv),
                   [](std::string& text) { return text.data(); });
    argv.push_back(nullptr);
    process.pid = fork();
    if (process.pid == 0) {
        const int out = open(process.outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(process.errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return process;
}

SimRun finishSim(const SimProcess& process) {
    int status = 0;
    waitpid(process.pid, &status, 0);
    SimRun run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = readText(process.outPath);
    run.err = readText(process.errPath);
    return run;
}

SimRun runSim(const std::vector<std::string>& arguments) {
    const ScratchFolder outputs;
    return finishSim(startSim(arguments, outputs, "sim"));
}

bool waitFor(const std::function<bool()>& ready, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!ready()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

namespace {

// Whether the signal's bit is set in any of the process's status masks named.
bool inStatusMask(pid_t pid, int signal, std::initializer_list<std::string_view> masks) {
    std::istringstream status(readText("/proc/" + std::to_string(pid) + "/status"));
    for (std::string line; std::getline(status, line);) {
        for (const std::string_view mask : masks) {
            if (line.starts_with(mask)) {
                const unsigned long long bits = std::stoull(line.substr(mask.size()), nullptr, 16);
                if (((bits >> (signal - 1)) & 1U) != 0) {
                    return true;
                }
            }
        }
    }
    return false;
}

} // namespace

bool catches(pid_t pid, int signal) {
    return inStatusMask(pid, signal, {"SigCgt:"});
}

bool pending(pid_t pid, int signal) {
    return inStatusMask(pid, signal, {"SigPnd:", "ShdPnd:"});
}

bool isOneLineError(const std::string& err) {
    return err.starts_with("pellaro-sim: ") && err.ends_with("\n") &&
           err.find('\n') == err.size() - 1 && err.size() <= 240;
}

std::string beforeTiming(const std::string& json) {
    const auto timing = json.find("\"timing\"");
    EXPECT_NE(timing, std::string::npos);
    return json.substr(0, timing);
}

std::string readText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace pellaro
