#pragma once

#include "bot_protocol.h"

#include <chrono>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace pellaro {

// A computer player that is another program, named exec:COMMAND, runs as a
// child process: it is started through /bin/sh -c, so COMMAND is written as
// at a shell prompt, and it answers requests on its standard output
// (doc/pellaro-bot.6).

// Why an external bot gave no move: it did not start, exited, hung past the
// time limit, or wrote a line that is not a legal move. The message names
// the bot and the fault; the caller adds the game and the move.
struct BotFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A line as a message quotes it: short, and only printable characters.
std::string quoted(std::string_view line);

// How long an external bot may keep the simulator waiting for one reply, from
// its request (or, in a batch, the reply before) to the reply's whole line,
// before it counts as hung: a guard alone, which no decision ever reads.
inline constexpr std::chrono::milliseconds defaultBotTimeLimit{10'000};
void setBotTimeLimit(std::chrono::milliseconds limit);

// One running bot program, in its own process group so that Ctrl-C at the
// terminal reaches the simulator alone, which then finishes its games with
// the bot still there. Killed with its group and reaped on destruction, and
// killed by the kernel when the thread that started it ends, however it ends.
class BotProcess {
public:
    // Starts the command and exchanges the greetings; throws BotFailure.
    explicit BotProcess(std::string command);
    ~BotProcess();
    BotProcess(const BotProcess&) = delete;
    BotProcess& operator=(const BotProcess&) = delete;
    BotProcess(BotProcess&&) = delete;
    BotProcess& operator=(BotProcess&&) = delete;

    // Writes the requests, whole lines, and reads one reply line per
    // request, in order, into `replies` (their newlines left out): writing
    // and reading go on together, so that neither side waits on a full pipe.
    // Throws BotFailure, the process then gone.
    void exchange(std::string_view requests, std::size_t count, std::vector<std::string>& replies);

    // The same in two halves, so that the caller can work while the bot
    // does: post writes the requests (reading what replies come meanwhile),
    // collect reads the next `count` replies. Replies come in the order of
    // all requests posted.
    void post(std::string_view requests);
    void collect(std::size_t count, std::vector<std::string>& replies);

    pid_t pid() const { return pid_; }

private:
    [[noreturn]] void fail(const std::string& reason);
    std::string exitText();
    void stop();
    // Writes the requests and reads until `count` more replies are in
    // `replies`, when given.
    void pump(std::string_view requests, std::size_t count, std::vector<std::string>* replies);
    // Moves whole lines read to `replies`, up to `count` in all.
    void takeLines(std::size_t count, std::vector<std::string>* replies);
    void sendSome(std::string_view requests, std::size_t& written);
    void receiveSome();

    std::string command_;
    pid_t pid_ = -1;
    int socket_ = -1;
    // What was read and not yet taken as a reply: the replies left start at
    // lineStart_, and the line not yet ended at partialStart_.
    std::string unread_;
    std::size_t lineStart_ = 0;
    std::size_t partialStart_ = 0;
    // How long the reply now awaited has kept the simulator waiting.
    std::chrono::steady_clock::duration waited_{};
};

// The process serving the command on this thread, started on first use; one
// per thread and command, however many games it serves.
BotProcess& botProcessFor(const std::string& command);

// Ends this thread's process of the command, as after its failure.
void dropBotProcess(const std::string& command);

} // namespace pellaro
