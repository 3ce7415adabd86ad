#include "running_program.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <iterator>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pellaro {

namespace {

using Clock = std::chrono::steady_clock;

// Reads what output there is within the time; false once the output has ended.
bool readSome(RunningProgram& program, int milliseconds) {
    if (program.fromProgram < 0) {
        return false;
    }
    pollfd ready{program.fromProgram, POLLIN, 0};
    if (poll(&ready, 1, milliseconds) <= 0) {
        return true;
    }
    std::array<char, 65536> buffer{};
    const ssize_t count = read(program.fromProgram, buffer.data(), buffer.size());
    if (count <= 0) {
        close(program.fromProgram);
        program.fromProgram = -1;
        return false;
    }
    program.output.append(buffer.data(), static_cast<std::size_t>(count));
    return true;
}

int millisecondsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

RunningProgram startProgram(const std::vector<std::string>& arguments,
                            const std::vector<std::string>& settings) {
    // A program that stops reading must not end the test with SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    std::array<int, 2> input{};
    std::array<int, 2> output{};
    if (pipe(input.data()) != 0 || pipe(output.data()) != 0) {
        std::abort();
    }
    std::vector<std::string> argumentTexts = {PELLARO_PROGRAM};
    argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environmentTexts(settings);
    for (char** entry = environ; *entry != nullptr; ++entry) {
        environmentTexts.emplace_back(*entry);
    }
    // execve wants both lists as C strings ending in a null pointer.
    const auto textOf = [](std::string& text) { return text.data(); };
    std::vector<char*> argv;
    argv.reserve(argumentTexts.size() + 1);
    std::transform(argumentTexts.begin(), argumentTexts.end(), std::back_inserter(argv), textOf);
    argv.push_back(nullptr);
    std::vector<char*> envp;
    envp.reserve(environmentTexts.size() + 1);
    std::transform(environmentTexts.begin(), environmentTexts.end(), std::back_inserter(envp),
                   textOf);
    envp.push_back(nullptr);

    RunningProgram program;
    program.pid = fork();
    if (program.pid == 0) {
        dup2(input[0], STDIN_FILENO);
        dup2(output[1], STDOUT_FILENO);
        close(input[0]);
        close(input[1]);
        close(output[0]);
        close(output[1]);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(input[0]);
    close(output[1]);
    program.toProgram = input[1];
    program.fromProgram = output[0];
    return program;
}

void send(RunningProgram& program, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size() && program.toProgram >= 0) {
        std::array<pollfd, 2> ends = {
            {{program.toProgram, POLLOUT, 0}, {program.fromProgram, POLLIN, 0}}};
        if (poll(ends.data(), program.fromProgram >= 0 ? 2 : 1, 10000) <= 0) {
            return;
        }
        if ((ends[1].revents & (POLLIN | POLLHUP)) != 0) {
            readSome(program, 0);
        }
        if ((ends[0].revents & POLLOUT) != 0) {
            const ssize_t count =
                write(program.toProgram, bytes.data() + written, bytes.size() - written);
            if (count < 0 && errno != EINTR) {
                return;
            }
            written += count > 0 ? static_cast<std::size_t>(count) : 0;
        } else if ((ends[0].revents & (POLLERR | POLLHUP)) != 0) {
            return;
        }
    }
}

bool readUntil(RunningProgram& program, const std::string& ending, int milliseconds) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (!program.output.ends_with(ending)) {
        const int left = millisecondsLeft(deadline);
        if (left == 0 || !readSome(program, left)) {
            return program.output.ends_with(ending);
        }
    }
    return true;
}

int finish(RunningProgram& program, int milliseconds) {
    if (program.toProgram >= 0) {
        close(program.toProgram);
        program.toProgram = -1;
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (millisecondsLeft(deadline) > 0 && readSome(program, millisecondsLeft(deadline))) {
    }
    int status = 0;
    while (waitpid(program.pid, &status, WNOHANG) == 0) {
        if (millisecondsLeft(deadline) == 0) {
            kill(program.pid, SIGKILL);
            waitpid(program.pid, &status, 0);
            return -1;
        }
        usleep(1000);
    }
    if (program.fromProgram >= 0) {
        close(program.fromProgram);
        program.fromProgram = -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> pinnedAt(std::uint32_t seconds) {
    return {std::string("LD_PRELOAD=") + PELLARO_PINNED_CLOCK,
            "PELLARO_PINNED_TIME=" + std::to_string(seconds)};
}

ProgramRun runProgram(const std::string& input, const std::vector<std::string>& arguments,
                      const std::vector<std::string>& settings, int milliseconds) {
    RunningProgram program = startProgram(arguments, settings);
    send(program, input);
    ProgramRun run;
    run.status = finish(program, milliseconds);
    run.output = program.output;
    return run;
}

} // namespace pellaro
