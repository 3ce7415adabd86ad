#include "bot_server.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <string_view>
#include <unistd.h>

namespace {

int refused(const std::string& reason) {
    std::cerr << "pellaro-sim: bot: " << reason << std::endl;
    return 2;
}

bool writeAll(const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t sent = write(STDOUT_FILENO, text.data() + written, text.size() - written);
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

} // namespace

int serveBot(const BotSettings& bot, const std::string& name) {
    std::string unread;
    std::string replies;
    std::array<char, 65536> chunk{};
    bool greeted = false;
    BotRequest request;
    std::string error;
    std::int64_t lineNumber = 0;
    while (true) {
        const ssize_t got = read(STDIN_FILENO, chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return unread.empty() || got < 0 ? 0 : refused("the input ends inside a line");
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
                    return refused("line 1 is not \"" + std::string(botGreeting) + "\"");
                }
                replies += std::string(botGreeting) + " " + name + "\n";
                greeted = true;
            } else if (parseRequest(line, request, error)) {
                replies += servedReply(bot, request);
            } else {
                return refused("line " + std::to_string(lineNumber) + ": " + error);
            }
        }
        unread.erase(0, start);
        if (unread.size() > longestLine) {
            return refused("line " + std::to_string(lineNumber + 1) + " is longer than " +
                           std::to_string(longestLine) + " bytes");
        }
        if (!writeAll(replies)) {
            return refused(std::string("cannot write the replies: ") + std::strerror(errno));
        }
        replies.clear();
    }
}
