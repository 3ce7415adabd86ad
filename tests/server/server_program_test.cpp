// The real pellaro-server on an ephemeral port of 127.0.0.1: hostile
// clients cost only their own connection, and a server killed at any
// moment gives every table and seat back.
#include "e2e/running_program.h"

#include <arpa/inet.h>
#include <array>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace pellaro {
namespace {

// Only a safety net for a server that never answers: nothing here is timed.
constexpr int waitMilliseconds = 30000;

struct Folder {
    std::filesystem::path path;
    Folder() {
        std::string name = (std::filesystem::temp_directory_path() / "pellaro-server-XXXXXX");
        path = mkdtemp(name.data());
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    Folder(Folder&&) = delete;
    Folder& operator=(Folder&&) = delete;
    ~Folder() { std::filesystem::remove_all(path); }
};

// The server, killed by its id however the test ends.
struct Server {
    RunningProgram program;
    std::uint16_t port = 0;

    Server(const Folder& folder, const std::vector<std::string>& options) {
        const std::filesystem::path portFile = folder.path / "port";
        std::filesystem::remove(portFile);
        std::vector<std::string> arguments = {"--data",      (folder.path / "data").string(),
                                              "--port-file", portFile.string(),
                                              "--workers",   "1"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        if (std::find(options.begin(), options.end(), "--listen") == options.end()) {
            arguments.insert(arguments.end(), {"--listen", "127.0.0.1:0"});
        }
        program = startProgram(arguments, {});
        for (int waited = 0; waited < waitMilliseconds && port == 0; waited += 10) {
            std::ifstream file(portFile);
            unsigned value = 0;
            if (file >> value) {
                port = static_cast<std::uint16_t>(value);
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
    }
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;
    Server(Server&&) = delete;
    Server& operator=(Server&&) = delete;
    ~Server() { end(SIGKILL); }

    // The exit status after the signal.
    int end(int signal) {
        if (program.pid <= 0) {
            return -1;
        }
        kill(program.pid, signal);
        int status = 0;
        waitpid(program.pid, &status, 0);
        program.pid = -1;
        close(program.toProgram);
        close(program.fromProgram);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
};

struct Client {
    int socket = -1;
    std::string pending;

    explicit Client(std::uint16_t port) : socket(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): the sockets API.
        if (connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ADD_FAILURE() << "cannot connect to port " << port;
        }
    }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;
    Client(Client&&) = delete;
    Client& operator=(Client&&) = delete;
    ~Client() { close(socket); }

    void sendBytes(const std::string& bytes) const {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t done =
                ::send(socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (done <= 0) {
                return;
            }
            sent += static_cast<std::size_t>(done);
        }
    }
    void sendLine(const std::string& line) const { sendBytes(line + '\n'); }

    // The next line; nothing once the server closed the connection.
    std::optional<std::string> line() {
        for (;;) {
            const std::size_t end = pending.find('\n');
            if (end != std::string::npos) {
                std::string whole = pending.substr(0, end);
                pending.erase(0, end + 1);
                return whole;
            }
            pollfd ready{socket, POLLIN, 0};
            if (poll(&ready, 1, waitMilliseconds) != 1) {
                ADD_FAILURE() << "the server sent nothing for " << waitMilliseconds << " ms";
                return std::nullopt;
            }
            std::array<char, 65536> buffer{};
            const ssize_t got = recv(socket, buffer.data(), buffer.size(), 0);
            if (got <= 0) {
                return std::nullopt;
            }
            pending.append(buffer.data(), static_cast<std::size_t>(got));
        }
    }

    // Lines up to and with the first that starts with one of these.
    std::vector<std::string> until(std::initializer_list<std::string_view> starts) {
        std::vector<std::string> lines;
        while (std::optional<std::string> next = line()) {
            lines.push_back(*next);
            if (std::any_of(starts.begin(), starts.end(), [&](std::string_view start) {
                    return next->compare(0, start.size(), start) == 0;
                })) {
                break;
            }
        }
        return lines;
    }

    // Everything until the server closes the connection.
    std::vector<std::string> rest() {
        std::vector<std::string> lines;
        while (std::optional<std::string> next = line()) {
            lines.push_back(*next);
        }
        return lines;
    }
};

TEST(ServerProgram, AHostileClientCostsOnlyItsOwnConnection) {
    const Folder folder;
    Server server(folder, {"--per-address", "4"});
    ASSERT_NE(server.port, 0);
    Client overlong(server.port);
    Client silent(server.port);
    Client half(server.port);
    Client good(server.port);
    // A line of a megabyte is cut off at the limit, whole.
    overlong.sendBytes(std::string(1 << 20, 'x') + '\n');
    EXPECT_EQ(overlong.rest(), (std::vector<std::string>{
                                   "HELLO pellaro 1", "BYE that line is longer than 512 bytes"}));
    // A client that asks and never reads is dropped, not kept in memory;
    // one that stops halfway through a line holds nothing up.
    half.sendBytes("HEL");
    for (int asked = 0; asked < 4000; ++asked) {
        silent.sendBytes("HELP\nHELP\nHELP\nHELP\nHELP\n");
    }
    good.sendLine("LIST");
    EXPECT_EQ(good.until({"OK"}), (std::vector<std::string>{"HELLO pellaro 1", "OK 0 waiting"}));
    const std::vector<std::string> flooded = silent.rest();
    EXPECT_LT(flooded.size(), 20000U * 14) << "it was sent everything it asked for";
    // Four connections from one address at most: `half` and `good` are two.
    Client third(server.port);
    Client fourth(server.port);
    Client fifth(server.port);
    EXPECT_EQ(fifth.rest(), std::vector<std::string>{"BYE too many connections from your address"});
    half.sendLine("P");
    EXPECT_EQ(half.until({"OK"}),
              (std::vector<std::string>{"HELLO pellaro 1", "OK the commands, one a line:"}));
    EXPECT_EQ(server.end(SIGTERM), 0);
    EXPECT_EQ(good.rest(), std::vector<std::string>{"BYE the server stops"});
}

struct CommandRun {
    int status = -1;
    std::string output;
};

// The server on a command line whose words need no quoting, both its
// streams read.
CommandRun runServer(const std::string& arguments) {
    const std::string command = std::string(PELLARO_PROGRAM) + ' ' + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    CommandRun run;
    std::array<char, 4096> buffer{};
    for (std::size_t got = 0; (got = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) {
        run.output.append(buffer.data(), got);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(ServerProgram, ABadCommandLineIsToldInOneLine) {
    const Folder folder;
    const std::string file = (folder.path / "file").string();
    std::ofstream(file) << "not a folder\n";
    struct Case {
        std::string arguments;
        int status;
        std::string output;
    };
    const std::vector<Case> cases = {
        {"--data " + file + " --listen 127.0.0.1:0", 1,
         "pellaro-server: " + file + " is not a folder\n"},
        {"--listen 127.0.0.1:0", 2, "pellaro-server: --data is required\n"},
        {"--data " + file + " --listen nowhere", 2,
         "pellaro-server: --listen: 'nowhere' is no ADDRESS:PORT, such as 127.0.0.1:7475\n"},
        {"--data " + file + " --listen 127.0.0.1:70000", 2,
         "pellaro-server: --listen: '127.0.0.1:70000' is no ADDRESS:PORT, such as "
         "127.0.0.1:7475\n"},
        {"--data " + (folder.path / "data").string() + " --listen 300.1.1.1:0", 1,
         "pellaro-server: '300.1.1.1' is no IP address\n"},
    };
    for (const Case& example : cases) {
        const CommandRun run = runServer(example.arguments);
        EXPECT_EQ(run.status, example.status) << example.arguments;
        EXPECT_EQ(run.output, example.output) << example.arguments;
    }
    // Every option's help within 80 columns.
    const CommandRun help = runServer("--help");
    EXPECT_EQ(help.status, 0);
    std::istringstream lines(help.output);
    std::size_t count = 0;
    for (std::string line; std::getline(lines, line); ++count) {
        EXPECT_LE(line.size(), 80U) << line;
    }
    EXPECT_GT(count, 10U);
}

TEST(ServerProgram, AnIdleConnectionIsClosed) {
    const Folder folder;
    Server server(folder, {"--idle", "1"});
    ASSERT_NE(server.port, 0);
    Client idle(server.port);
    idle.sendBytes("LIS");
    EXPECT_EQ(idle.rest(), (std::vector<std::string>{"HELLO pellaro 1", "BYE idle for 1 second"}));
}

struct Seated {
    std::string code;
    std::string seat;
    std::string token;
};

Seated seatOf(const std::string& ok) {
    std::istringstream words(ok);
    std::string tag;
    Seated seated;
    words >> tag >> seated.code >> seated.seat >> seated.token;
    return seated;
}

std::vector<std::string> movesIn(const std::vector<std::string>& lines) {
    std::vector<std::string> moves;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(moves),
                 [](const std::string& line) { return line.compare(0, 5, "MOVE ") == 0; });
    return moves;
}

// Answers the person's questions until `moves` moves are told or the game
// is over; adds every line the person was sent.
void playTo(std::size_t moves, Client& person, std::vector<std::string>& lines) {
    for (int step = 0; step < 1000 && movesIn(lines).size() < moves; ++step) {
        const std::string& question = lines.back();
        if (question.compare(0, 2, "? ") != 0) {
            return;
        }
        const bool action = question.find("(D)raw") != std::string::npos;
        if (question.find("Review") != std::string::npos) {
            person.sendLine("ANSWER n");
        } else {
            person.sendLine(action ? "ANSWER d" : "ANSWER " + std::to_string(1 + step % 2));
        }
        const std::vector<std::string> fresh = person.until({"? ", "| The game is over"});
        lines.insert(lines.end(), fresh.begin(), fresh.end());
    }
}

TEST(ServerProgram, AServerKilledLosesNoMoveAnyoneWasToldAndGivesTheSeatBack) {
    const Folder folder;
    std::optional<Server> server(std::in_place, folder, std::vector<std::string>{});
    ASSERT_NE(server->port, 0);
    const std::uint16_t port = server->port;
    std::vector<std::string> lines;
    Seated seated;
    {
        Client person(port);
        person.sendLine("CREATE PE");
        lines = person.until({"? "});
        seated = seatOf(lines.at(1));
        playTo(12, person, lines);
        ASSERT_EQ(server->end(SIGKILL), 128 + SIGKILL);
    }
    const std::vector<std::string> told = movesIn(lines);
    ASSERT_GE(told.size(), 12U);
    server.emplace(folder,
                   std::vector<std::string>{"--listen", "127.0.0.1:" + std::to_string(port)});
    ASSERT_EQ(server->port, port);
    Client person(port);
    Client watcher(port);
    person.sendLine("RESUME " + seated.code + " 1 " + seated.token);
    lines = person.until({"? "});
    EXPECT_EQ(lines.at(1), "OK " + seated.code + " 1");
    // Every move again, and the question of the turn.
    EXPECT_EQ(movesIn(lines), told);
    EXPECT_EQ(lines.back().compare(0, 2, "? "), 0);
    watcher.sendLine("WATCH " + seated.code);
    playTo(1000, person, lines);
    EXPECT_EQ(lines.back(), "| The game is over: CREATE, JOIN or WATCH another, or QUIT.");
    EXPECT_EQ(server->end(SIGTERM), 0);
    const std::vector<std::string> watched = watcher.rest();
    EXPECT_EQ(movesIn(watched), movesIn(lines));
    EXPECT_EQ(watched.back(), "BYE the server stops");
}

} // namespace
} // namespace pellaro
