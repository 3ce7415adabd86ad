#include "bot_server.h"

#include <array>
#include <cassert>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <unistd.h>

namespace pellaro {

namespace {

bool writeAll(int output, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t sent = write(output, text.data() + written, text.size() - written);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(sent);
    }
    return true;
}

bool refuse(std::string& error, std::string reason) {
    error = std::move(reason);
    return false;
}

} // namespace

std::string servedReply(const BotSettings& bot, const BotRequest& request) {
    assert(!isProgram(bot) && bot.entry->fair);
    Bot served{bot, seededRandom(request.seed), {}};
    const SeatView view(request.table);
    BotReply reply;
    if (request.kind == RequestKind::Place) {
        reply.row = decidePlacement(served, view, request.drawn);
        return replyLine(reply);
    }
    const ChosenMove move = decideAction(served, view);
    reply.action = move.action;
    reply.row = move.row;
    return replyLine(reply);
}

namespace {

// What a session of serving has read so far.
struct Session {
    const BotSettings& bot;
    const std::string& name;
    bool greeted = false;
    std::int64_t lineNumber = 0;
};

// Answers one line into `replies`; false, with the refusal, when the line is
// not one to answer.
bool answerLine(Session& session, std::string_view line, std::string& replies,
                std::string& refusal) {
    ++session.lineNumber;
    if (!session.greeted) {
        if (line != botGreeting) {
            refusal = "line 1 is not \"" + std::string(botGreeting) + "\"";
            return false;
        }
        replies += std::string(botGreeting) + " " + session.name + "\n";
        session.greeted = true;
        return true;
    }
    BotRequest request;
    std::string error;
    if (!parseRequest(line, request, error)) {
        refusal = "line " + std::to_string(session.lineNumber) + ": " + error;
        return false;
    }
    replies += servedReply(session.bot, request);
    return true;
}

} // namespace

bool serveBot(const BotSettings& bot, const std::string& name, int input, int output,
              std::string& error) {
    std::string unread;
    std::string replies;
    std::array<char, 65536> chunk{};
    Session session{bot, name};
    while (true) {
        const ssize_t got = read(input, chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return unread.empty() || got < 0 ? true : refuse(error, "the input ends inside a line");
        }
        unread.append(chunk.data(), static_cast<std::size_t>(got));
        // The lines before a bad one are answered before it is refused.
        std::string refusal;
        std::size_t start = 0;
        for (std::size_t end = unread.find('\n');
             end != std::string::npos &&
             answerLine(session, std::string_view(unread.data() + start, end - start), replies,
                        refusal);
             end = unread.find('\n', start)) {
            start = end + 1;
        }
        unread.erase(0, start);
        if (refusal.empty() && unread.size() > longestLine) {
            refusal = "line " + std::to_string(session.lineNumber + 1) + " is longer than " +
                      std::to_string(longestLine) + " bytes";
        }
        if (!writeAll(output, replies)) {
            return refuse(error, std::string("cannot write the replies: ") + std::strerror(errno));
        }
        if (!refusal.empty()) {
            return refuse(error, refusal);
        }
        replies.clear();
    }
}

} // namespace pellaro
