#include "server_lines_check.h"

#include "lobby_room.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <sstream>

namespace pellaro {

namespace {

constexpr std::size_t mostLines = 200;
constexpr std::size_t longestSent = 200;

bool startsWith(std::string_view line, std::string_view start) {
    return line.substr(0, start.size()) == start;
}

bool isTagged(std::string_view line) {
    constexpr std::array<std::string_view, 6> tags = {"OK ", "ERR ", "| ", "? ", "MOVE ", "BYE "};
    return line == "HELLO pellaro 1" || line == "OK" || line == "|" ||
           std::any_of(tags.begin(), tags.end(),
                       [&](std::string_view tag) { return startsWith(line, tag); });
}

struct Connection {
    ClientId id = 0;
    bool watching = false;
    std::string token{};
    // The last move number told, by table.
    std::map<std::string, std::size_t> told{};
};

struct Check {
    LobbyRoom room;
    std::array<Connection, 4> connections{};
    ClientId lastId = 0;
    std::string code{};
    std::string fault{};

    Check() {
        room.heavyJobs = false;
        room.budget = 20;
    }

    Connection& open(std::size_t index) {
        Connection& connection = connections[index];
        if (connection.id == 0) {
            connection = Connection{++lastId};
            room.connect(connection.id);
            room.take(connection.id);
        }
        return connection;
    }

    std::string expanded(std::string_view text, const Connection& connection) const {
        std::string line;
        for (const char c : text) {
            if (c == '@') {
                line += code;
            } else if (c == '#') {
                line += connection.token;
            } else {
                line += c;
            }
        }
        return line;
    }

    void sendLine(std::size_t index, std::string_view text) {
        Connection& connection = open(index);
        const std::string line = expanded(text, connection);
        room.send(connection.id, line);
        std::vector<std::string> replies = room.take(connection.id);
        if (replies.empty() || !(startsWith(replies[0], "OK") || startsWith(replies[0], "ERR ") ||
                                 startsWith(replies[0], "BYE "))) {
            fault = "'" + line + "' got no OK or ERR first";
            return;
        }
        const bool quit = startsWith(replies[0], "BYE ");
        if (startsWith(replies[0], "OK")) {
            noteOk(connection, line, replies[0]);
        }
        checkLines(connection, replies);
        checkOthers(connection.id);
        if (quit) {
            connection = Connection{};
        }
    }

    void checkOthers(ClientId except) {
        for (Connection& other : connections) {
            if (other.id != 0 && other.id != except) {
                checkLines(other, room.take(other.id));
            }
        }
    }

    void noteOk(Connection& connection, std::string_view line, const std::string& reply) {
        std::istringstream words(reply);
        std::string ok;
        std::string newCode;
        std::string seat;
        std::string token;
        words >> ok >> newCode >> seat >> token;
        std::string verb(line.substr(0, line.find(' ')));
        std::transform(verb.begin(), verb.end(), verb.begin(), [](char c) {
            return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        });
        const bool seated = newCode.size() == 6 && !seat.empty();
        if (verb == "WATCH") {
            connection.watching = true;
        } else if (seated || reply == "OK you left the table") {
            connection.watching = false;
        }
        if (newCode.size() == 6) {
            code = newCode;
        }
        if (token.size() == 32) {
            connection.token = token;
        }
    }

    void checkLines(Connection& connection, const std::vector<std::string>& lines) {
        for (const std::string& line : lines) {
            if (!fault.empty()) {
                return;
            }
            if (line.size() > longestSent || !std::all_of(line.begin(), line.end(), [](char c) {
                    return c >= ' ' && c <= '~';
                })) {
                fault = "a line sent is too long or not printable: " + line;
            } else if (!isTagged(line)) {
                fault = "a line sent has no tag: " + line;
            } else if (connection.watching &&
                       (startsWith(line, "? ") || line.find("You drew") != std::string::npos)) {
                fault = "a watcher was told a seat's secret: " + line;
            } else if (startsWith(line, "MOVE ")) {
                checkMove(connection, line);
            }
        }
    }

    void checkMove(Connection& connection, const std::string& line) {
        std::istringstream words(line);
        std::string tag;
        std::string table;
        std::size_t number = 0;
        words >> tag >> table >> number;
        std::size_t& last = connection.told[table];
        if (number != last + 1 && number != 1) {
            fault = "move " + std::to_string(number) + " told after move " + std::to_string(last);
        }
        last = number;
    }

    void restart() {
        room.restart();
        connections.fill(Connection{});
    }
};

} // namespace

std::string serverLinesFault(std::string_view input) {
    Check check;
    std::size_t lines = 0;
    while (!input.empty() && lines < mostLines && check.fault.empty()) {
        const std::size_t end = std::min(input.find('\n'), input.size());
        const std::string_view line = input.substr(0, end);
        input.remove_prefix(std::min(end + 1, input.size()));
        ++lines;
        if (line.empty()) {
            continue;
        }
        if (line[0] == 'k') {
            check.restart();
        } else if (line[0] == 'x' && line.size() > 1 && line[1] >= '1' && line[1] <= '4') {
            Connection& connection = check.connections[static_cast<std::size_t>(line[1] - '1')];
            if (connection.id != 0) {
                check.room.disconnect(connection.id);
                const ClientId gone = connection.id;
                connection = Connection{};
                check.checkOthers(gone);
            }
        } else if (line[0] >= '1' && line[0] <= '4') {
            check.sendLine(static_cast<std::size_t>(line[0] - '1'), line.substr(1));
        } else {
            check.sendLine(0, line);
        }
    }
    return check.fault;
}

} // namespace pellaro
