#include "bot_process.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <map>
#include <memory>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace pellaro {

namespace {

std::atomic<std::int64_t> timeLimitMs{defaultBotTimeLimit.count()};

std::string secondsText(std::int64_t ms) {
    std::string whole = std::to_string(ms / 1000);
    const std::int64_t part = ms % 1000;
    if (part == 0) {
        return whole;
    }
    std::string fraction = std::to_string(1000 + part).substr(1);
    fraction.erase(fraction.find_last_not_of('0') + 1);
    return whole + "." + fraction;
}

// The shell replaces itself by a simple command's program, which then is
// the child that the kernel kills if the simulator dies; a compound command
// keeps the shell as the child, its programs in the child's process group.
std::string shellScript(const std::string& command) {
    static constexpr std::array<std::string_view, 17> keywords = {
        "exit",   "read",  "cd", ".",   "eval",  "export", "set",  "trap", "wait",
        "ulimit", "umask", "if", "for", "while", "until",  "case", "{"};
    const std::size_t start = command.find_first_not_of(" \t");
    const std::string_view first =
        std::string_view(command).substr(start, command.find_first_of(" \t", start) - start);
    const bool compound = command.find_first_of(";&|()`\n") != std::string::npos ||
                          std::find(keywords.begin(), keywords.end(), first) != keywords.end();
    return compound ? command : "exec " + command;
}

} // namespace

std::string quoted(std::string_view line) {
    constexpr std::size_t shown = 40;
    std::string text = "\"";
    for (const char c : line.substr(0, shown)) {
        text += c >= ' ' && c <= '~' ? c : '?';
    }
    return text + (line.size() > shown ? "...\"" : "\"");
}

void setBotTimeLimit(std::chrono::milliseconds limit) {
    timeLimitMs.store(limit.count());
}

BotProcess::BotProcess(std::string command) : command_(std::move(command)) {
    std::array<int, 2> ends{};
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends.data()) != 0) {
        throw BotFailure("could not start: " + std::string(std::strerror(errno)));
    }
    // Everything the child needs is made before the fork: after it, in a
    // process of many threads, only plain system calls are safe.
    const std::string script = shellScript(command_);
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ == 0) {
        // Killed when the thread that started it ends, even by SIGKILL.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) {
            _exit(127);
        }
        setpgid(0, 0);
        dup2(ends[1], STDIN_FILENO);
        dup2(ends[1], STDOUT_FILENO);
        execl("/bin/sh", "sh", "-c", script.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const int forkError = errno;
    close(ends[1]);
    socket_ = ends[0];
    if (pid_ < 0) {
        close(socket_);
        socket_ = -1;
        throw BotFailure("could not start: " + std::string(std::strerror(forkError)));
    }
    // Set from both sides, so that a kill of the group never misses the child.
    setpgid(pid_, pid_);
    std::vector<std::string> replies;
    const std::string greeting = std::string(botGreeting) + "\n";
    exchange(greeting, 1, replies);
    const std::string& answer = replies.front();
    const std::string expected = std::string(botGreeting) + " ";
    if (!answer.starts_with(expected) || answer.size() == expected.size()) {
        fail("answered the greeting " + quoted(answer) + ", not \"" + std::string(botGreeting) +
             " NAME\"");
    }
}

BotProcess::~BotProcess() {
    stop();
}

void BotProcess::stop() {
    if (socket_ >= 0) {
        close(socket_);
        socket_ = -1;
    }
    if (pid_ > 0) {
        kill(-pid_, SIGKILL);
        kill(pid_, SIGKILL);
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }
}

std::string BotProcess::exitText() {
    // The bot closed its output: it has most likely exited, or soon will.
    int status = 0;
    for (int tries = 0; tries < 100; ++tries) {
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            pid_ = -1;
            if (WIFEXITED(status)) {
                const int code = WEXITSTATUS(status);
                return code == 127 ? "could not be started (status 127: no such command?)"
                                   : "exited with status " + std::to_string(code);
            }
            return "was killed by signal " + std::to_string(WTERMSIG(status));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return "closed its output";
}

void BotProcess::fail(const std::string& reason) {
    stop();
    throw BotFailure(reason);
}

void BotProcess::exchange(std::string_view requests, std::size_t count,
                          std::vector<std::string>& replies) {
    post(requests);
    collect(count, replies);
}

void BotProcess::post(std::string_view requests) {
    pump(requests, 0, nullptr);
}

void BotProcess::collect(std::size_t count, std::vector<std::string>& replies) {
    replies.clear();
    pump({}, count, &replies);
    unread_.erase(0, lineStart_);
    partialStart_ -= lineStart_;
    lineStart_ = 0;
}

void BotProcess::takeLines(std::size_t count, std::vector<std::string>* replies) {
    for (std::size_t newline = 0;
         replies != nullptr && replies->size() < count &&
         (newline = unread_.find('\n', lineStart_)) != std::string::npos;) {
        replies->emplace_back(unread_, lineStart_, newline - lineStart_);
        lineStart_ = newline + 1;
    }
}

void BotProcess::sendSome(std::string_view requests, std::size_t& written) {
    const ssize_t sent = send(socket_, requests.data() + written, requests.size() - written,
                              MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < 0 && errno != EAGAIN && errno != EINTR) {
        fail(exitText());
    }
    written += static_cast<std::size_t>(std::max<ssize_t>(sent, 0));
}

void BotProcess::receiveSome() {
    // A chunk at a time, the line being read checked after each: a runaway
    // line is refused before it is held whole.
    std::array<char, 65536> chunk{};
    const ssize_t got = recv(socket_, chunk.data(), chunk.size(), MSG_DONTWAIT);
    if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) {
        fail(exitText());
    }
    if (got > 0) {
        const std::string_view read(chunk.data(), static_cast<std::size_t>(got));
        const std::size_t last = read.rfind('\n');
        if (last != std::string_view::npos) {
            partialStart_ = unread_.size() + last + 1;
            // A reply is complete: the next one's time starts now.
            waited_ = {};
        }
        unread_.append(read);
    }
    if (unread_.size() - partialStart_ > longestLine) {
        fail("wrote a line longer than " + std::to_string(longestLine) + " bytes");
    }
}

void BotProcess::pump(std::string_view requests, std::size_t count,
                      std::vector<std::string>* replies) {
    if (socket_ < 0) {
        throw BotFailure("is no longer running");
    }
    std::size_t written = 0;
    const auto limit = std::chrono::milliseconds(timeLimitMs.load());
    while (true) {
        // Whole lines already read are replies, in order.
        takeLines(count, replies);
        if (written == requests.size() && (replies == nullptr || replies->size() == count)) {
            return;
        }
        // The time limit bounds a whole reply, however it trickles in; only
        // the waiting counts, not the simulator's own work between calls.
        const auto left = limit - waited_;
        if (left <= std::chrono::steady_clock::duration::zero()) {
            fail("gave no answer within " + secondsText(limit.count()) + " seconds");
        }
        pollfd watch{socket_,
                     static_cast<short>(POLLIN | (written < requests.size() ? POLLOUT : 0)), 0};
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(left).count();
        const auto before = std::chrono::steady_clock::now();
        const int ready = poll(&watch, 1, static_cast<int>(std::min<std::int64_t>(wait, 60'000)));
        waited_ += std::chrono::steady_clock::now() - before;
        if (ready < 0 && errno != EINTR) {
            fail(std::string("could not be reached: ") + std::strerror(errno));
        }
        if (ready <= 0) {
            continue;
        }
        if ((watch.revents & POLLOUT) != 0) {
            sendSome(requests, written);
        }
        if ((watch.revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            receiveSome();
        }
    }
}

namespace {

// The processes of this thread, by command: they end with the thread.
thread_local std::map<std::string, std::unique_ptr<BotProcess>> processes;

} // namespace

BotProcess& botProcessFor(const std::string& command) {
    auto found = processes.find(command);
    if (found == processes.end()) {
        // Nothing is kept of a program that does not start.
        auto started = std::make_unique<BotProcess>(command);
        found = processes.emplace(command, std::move(started)).first;
    }
    return *found->second;
}

void dropBotProcess(const std::string& command) {
    processes.erase(command);
}

} // namespace pellaro
