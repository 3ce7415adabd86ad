#include "external_bot.h"

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

namespace {

std::atomic<std::int64_t> timeLimitMs{defaultBotTimeLimit.count()};

// A line as a message quotes it: short, and only printable characters.
std::string quoted(std::string_view line) {
    constexpr std::size_t shown = 40;
    std::string text = "\"";
    for (const char c : line.substr(0, shown)) {
        text += c >= ' ' && c <= '~' ? c : '?';
    }
    return text + (line.size() > shown ? "...\"" : "\"");
}

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
    auto lastProgress = std::chrono::steady_clock::now();
    const auto limit = std::chrono::milliseconds(timeLimitMs.load());
    while (true) {
        // Whole lines already read are replies, in order.
        takeLines(count, replies);
        if (written == requests.size() && (replies == nullptr || replies->size() == count)) {
            return;
        }
        const auto left = limit - (std::chrono::steady_clock::now() - lastProgress);
        if (left <= std::chrono::steady_clock::duration::zero()) {
            fail("gave no answer within " + secondsText(limit.count()) + " seconds");
        }
        pollfd watch{socket_,
                     static_cast<short>(POLLIN | (written < requests.size() ? POLLOUT : 0)), 0};
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(left).count();
        const int ready = poll(&watch, 1, static_cast<int>(std::min<std::int64_t>(wait, 60'000)));
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
        lastProgress = std::chrono::steady_clock::now();
    }
}

namespace {

// The processes of this thread, by command: they end with the thread.
thread_local std::map<std::string, std::unique_ptr<BotProcess>> processes;

void checkMove(const SeatView& view, TurnAction action, std::int32_t row) {
    if (view.rowsFor(action) == 0) {
        throw BotFailure(std::string("chose to ") + (action == TurnAction::Draw ? "draw" : "take") +
                         ", which no row allows");
    }
    if (row >= 0 && !contains(view.rowsFor(action), row)) {
        throw BotFailure("chose row " + std::to_string(row + 1) + ", which does not allow " +
                         (action == TurnAction::Draw ? "the drawn card" : "a Take"));
    }
}

BotReply replyRead(const std::string& command, std::string_view line, RequestKind kind) {
    const auto reply = parseReply(line, kind);
    if (!reply) {
        dropBotProcess(command);
        throw BotFailure("wrote " + quoted(line) + ", which is not " +
                         (kind == RequestKind::Move ? "D, or T and a row" : "a row"));
    }
    return *reply;
}

std::string askOne(const Bot& bot, const std::string& request) {
    std::vector<std::string> replies;
    try {
        botProcessFor(bot.settings.command).exchange(request, 1, replies);
    } catch (const BotFailure&) {
        dropBotProcess(bot.settings.command);
        throw;
    }
    return replies.front();
}

TurnAction externalAction(Bot& bot, const SeatView& view, DeckOrder /*order*/) {
    std::string request;
    appendMoveRequest(request, bot, view);
    return readMoveReply(bot, view, askOne(bot, request));
}

std::int32_t externalRow(Bot& bot, const SeatView& view, TurnAction action, CardKind drawn,
                         DeckOrder /*order*/) {
    if (action == TurnAction::Take) {
        // The row came with the action.
        return std::any_cast<std::int32_t>(bot.memory);
    }
    std::string request;
    appendPlaceRequest(request, bot, view, drawn);
    return readPlaceReply(bot, view, askOne(bot, request));
}

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

void appendMoveRequest(std::string& out, Bot& bot, const SeatView& view) {
    appendRequest(out, RequestKind::Move, nextBits(bot.random), view, noCard);
}

void appendPlaceRequest(std::string& out, Bot& bot, const SeatView& view, CardKind drawn) {
    appendRequest(out, RequestKind::Place, nextBits(bot.random), view, drawn);
}

TurnAction readMoveReply(Bot& bot, const SeatView& view, std::string_view reply) {
    const BotReply move = replyRead(bot.settings.command, reply, RequestKind::Move);
    try {
        checkMove(view, move.action, move.row);
    } catch (const BotFailure&) {
        dropBotProcess(bot.settings.command);
        throw;
    }
    bot.memory = move.row;
    return move.action;
}

std::int32_t readPlaceReply(const Bot& bot, const SeatView& view, std::string_view reply) {
    const BotReply place = replyRead(bot.settings.command, reply, RequestKind::Place);
    try {
        checkMove(view, TurnAction::Draw, place.row);
    } catch (const BotFailure&) {
        dropBotProcess(bot.settings.command);
        throw;
    }
    return place.row;
}

const BotEntry externalBot{"exec",         "another program, asked over the pellaro-bot protocol",
                           true,           false,
                           externalAction, externalRow};
