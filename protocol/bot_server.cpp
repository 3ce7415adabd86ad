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

bool serveBot(const BotSettings& bot, const std::string& name, int input, int output,
              std::string& error) {
    std::string unread;
    std::string replies;
    std::array<char, 65536> chunk{};
    bool greeted = false;
    BotRequest request;
    std::int64_t lineNumber = 0;
    while (true) {
        const ssize_t got = read(input, chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return unread.empty() || got < 0 ? true : refuse(error, "the input ends inside a line");
        }
        unread.append(chunk.data(), static_cast<std::size_t>(got));
        std::size_t start = 0;
        for (std::size_t end = unread.find('\n'); end != std::string::npos;
             end = unread.find('\n', start)) {
            const std::string_view line(unread.data() + start, end - start);
            start = end + 1;
            ++lineNumber;
            if (!greeted) {
                if (line != botGreeting) {
                    return refuse(error, "line 1 is not \"" + std::string(botGreeting) + "\"");
                }
                replies += std::string(botGreeting) + " " + name + "\n";
                greeted = true;
            } else if (parseRequest(line, request, error)) {
                replies += servedReply(bot, request);
            } else {
                return refuse(error, "line " + std::to_string(lineNumber) + ": " + error);
            }
        }
        unread.erase(0, start);
        if (unread.size() > longestLine) {
            return refuse(error, "line " + std::to_string(lineNumber + 1) + " is longer than " +
                                     std::to_string(longestLine) + " bytes");
        }
        if (!writeAll(output, replies)) {
            return refuse(error, std::string("cannot write the replies: ") + std::strerror(errno));
        }
        replies.clear();
    }
}

} // namespace pellaro
