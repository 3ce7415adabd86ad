#include "net_test_files.h"

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace pellaro {
namespace {

namespace fs = std::filesystem;

// A safety net only: every step of the scripts below is answered at once.
constexpr int waitLimit = 30000;

// A descriptor closed at the end, whatever the way out.
struct Descriptor {
    explicit Descriptor(int number = -1) : fd(number) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    Descriptor(Descriptor&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
    Descriptor& operator=(Descriptor&&) = delete;

    void reset() {
        if (fd >= 0) {
            close(fd);
            fd = -1;
        }
    }

    int fd;
};

bool readable(int fd) {
    pollfd ready{fd, POLLIN, 0};
    return poll(&ready, 1, waitLimit) > 0;
}

// False when the other side closed first, which the scripts check by what
// it read and printed.
bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
        if (written <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// One connection of the scripted server, read a line at a time.
struct Connection {
    // The next line the client sent, without its line end; "<closed>" when
    // the client closed the connection, "<no line>" when none came.
    std::string line() {
        for (;;) {
            const std::size_t end = pending.find('\n');
            if (end != std::string::npos) {
                std::string text = pending.substr(0, end);
                pending.erase(0, end + 1);
                return text;
            }
            if (!readable(socket.fd)) {
                return "<no line>";
            }
            std::array<char, 4096> buffer{};
            const ssize_t got = read(socket.fd, buffer.data(), buffer.size());
            if (got <= 0) {
                return "<closed>";
            }
            pending.append(buffer.data(), static_cast<std::size_t>(got));
        }
    }

    void send(const std::string& bytes) const { writeAll(socket.fd, bytes); }

    Descriptor socket;
    std::string pending;
};

// The server's side of the tests: a listening socket on an ephemeral port
// of 127.0.0.1.
struct ScriptedServer {
    ScriptedServer() : listener(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof local;
        auto* any = reinterpret_cast<sockaddr*>(&local); // NOLINT: the sockets API
        if (listener.fd < 0 || bind(listener.fd, any, size) != 0 || listen(listener.fd, 4) != 0 ||
            getsockname(listener.fd, any, &size) != 0) {
            std::abort();
        }
        port = ntohs(local.sin_port);
    }

    Connection accept() const {
        Connection connection;
        if (readable(listener.fd)) {
            connection.socket.fd = ::accept4(listener.fd, nullptr, nullptr, SOCK_CLOEXEC);
        }
        return connection;
    }

    std::string address() const { return "127.0.0.1:" + std::to_string(port); }

    Descriptor listener;
    int port = 0;
};

// The real pellaro-net with its standard streams on pipes, its data home
// in the test's folder; killed and reaped at the end unless it ended.
struct NetProgram {
    NetProgram(const std::vector<std::string>& arguments, const fs::path& dataHome) {
        std::signal(SIGPIPE, SIG_IGN);
        std::array<int, 2> input{};
        std::array<int, 2> outputPipe{};
        std::array<int, 2> errorPipe{};
        if (pipe2(input.data(), O_CLOEXEC) != 0 || pipe2(outputPipe.data(), O_CLOEXEC) != 0 ||
            pipe2(errorPipe.data(), O_CLOEXEC) != 0) {
            std::abort();
        }
        std::vector<std::string> texts = {PELLARO_NET};
        texts.insert(texts.end(), arguments.begin(), arguments.end());
        std::vector<std::string> settings = {"XDG_DATA_HOME=" + dataHome.string()};
        for (char** entry = environ; *entry != nullptr; ++entry) {
            if (!std::string_view(*entry).starts_with("XDG_DATA_HOME=")) {
                settings.emplace_back(*entry);
            }
        }
        std::vector<char*> argv;
        std::vector<char*> envp;
        argv.reserve(texts.size() + 1);
        envp.reserve(settings.size() + 1);
        std::transform(texts.begin(), texts.end(), std::back_inserter(argv),
                       [](std::string& text) { return text.data(); });
        std::transform(settings.begin(), settings.end(), std::back_inserter(envp),
                       [](std::string& setting) { return setting.data(); });
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        pid = fork();
        if (pid == 0) {
            dup2(input[0], STDIN_FILENO);
            dup2(outputPipe[1], STDOUT_FILENO);
            dup2(errorPipe[1], STDERR_FILENO);
            execve(argv[0], argv.data(), envp.data());
            _exit(127);
        }
        close(input[0]);
        close(outputPipe[1]);
        close(errorPipe[1]);
        toProgram.fd = input[1];
        fromProgram.fd = outputPipe[0];
        errorsOfProgram.fd = errorPipe[0];
    }

    ~NetProgram() {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }

    NetProgram(const NetProgram&) = delete;
    NetProgram& operator=(const NetProgram&) = delete;
    NetProgram(NetProgram&&) = delete;
    NetProgram& operator=(NetProgram&&) = delete;

    void type(const std::string& bytes) const { EXPECT_TRUE(writeAll(toProgram.fd, bytes)); }
    void endInput() { toProgram.reset(); }

    // Waits for the program to end: its exit status, or -1 if it was killed.
    int finish() {
        output = readAll(fromProgram);
        errors = readAll(errorsOfProgram);
        int status = 0;
        const auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitLimit);
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > limit) {
                return -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    static std::string readAll(Descriptor& from) {
        std::string bytes;
        std::array<char, 4096> buffer{};
        ssize_t got = 0;
        while (readable(from.fd) && (got = read(from.fd, buffer.data(), buffer.size())) > 0) {
            bytes.append(buffer.data(), static_cast<std::size_t>(got));
        }
        from.reset();
        return bytes;
    }

    pid_t pid = -1;
    Descriptor toProgram;
    Descriptor fromProgram;
    Descriptor errorsOfProgram;
    std::string output;
    std::string errors;
};

TEST(NetProgram, PlaysLosesTheConnectionAndResumesTheSeat) {
    const TemporaryFolder home;
    ScriptedServer server;
    NetProgram net({server.address(), "--name", "Ann"}, home.path);
    const fs::path seats = home.path / "pellaro" / "net-seats";

    Connection first = server.accept();
    first.send("HELLO pellaro 1\n");
    EXPECT_EQ(first.line(), "NAME Ann");
    first.send("OK\n");
    net.type("c\n3\n2\nh\n");
    EXPECT_EQ(first.line(), "CREATE PPH");
    first.send("OK AB12 1 " + sampleToken + "\n| Waiting for \x1b[2Jone more person.\n" +
               "MOVE AB12 1 1 D 1 R\n" +
               "? Player #1 (you), turn 1: (D)raw a card, (T)ake a row or ? for a hint: \n");
    net.type("d\n");
    EXPECT_EQ(first.line(), "ANSWER d");
    EXPECT_EQ(bytesOf(seats), server.address() + " AB12 1 " + sampleToken + "\n");
    first.send("OK\n| You drew R.\n");
    first.socket.reset();

    Connection second = server.accept();
    second.send("HELLO pellaro 1\n");
    EXPECT_EQ(second.line(), "NAME Ann");
    EXPECT_EQ(second.line(), "RESUME AB12 1 " + sampleToken);
    second.send("OK\nOK AB12 1\n| The game is over: CREATE, JOIN or WATCH another, or QUIT.\n");
    net.endInput();
    EXPECT_EQ(second.line(), "QUIT");
    second.send("BYE goodbye\n");
    EXPECT_EQ(second.line(), "<closed>");

    EXPECT_EQ(net.finish(), 0);
    EXPECT_EQ(net.output,
              menuPrompt +
                  "Enter number of players (2-5): Enter number of people (1-3): "
                  "Computer players: (E)asy, (M)edium or (H)ard? "
                  "You sit in seat 1 at table AB12; the others join it with its code.\n"
                  "Waiting for [2Jone more person.\n"
                  "Player #1 (you), turn 1: (D)raw a card, (T)ake a row or ? for a hint: "
                  "You drew R.\n"
                  "Back in seat 1 at table AB12.\n"
                  "The game is over: CREATE, JOIN or WATCH another, or QUIT.\n" +
                  menuPrompt + "\ngoodbye\n");
    EXPECT_EQ(net.errors, "pellaro-net: lost the connection to " + server.address() +
                              "; connecting again every 2 seconds (Ctrl-C stops)\n");
    EXPECT_EQ(bytesOf(seats), "");
}

TEST(NetProgram, OffersTheSeatsOfTheFile) {
    const TemporaryFolder home;
    ScriptedServer server;
    fs::create_directories(home.path / "pellaro");
    std::ofstream(home.path / "pellaro" / "net-seats")
        << "elsewhere:1 ZZ 1 " << sampleToken << "\nnot a seat\n"
        << server.address() << " AB12 2 " << sampleToken << "\n";
    NetProgram net({server.address()}, home.path);

    Connection connection = server.accept();
    connection.send("HELLO pellaro 1\n");
    net.type("r\n");
    EXPECT_EQ(connection.line(), "RESUME AB12 2 " + sampleToken);
    connection.send("ERR table AB12 is \x1b]0;over\n");
    net.type("q\n");
    EXPECT_EQ(connection.line(), "QUIT");
    connection.send("BYE goodbye\n");

    EXPECT_EQ(net.finish(), 0);
    const std::string offer = "(R)esume your seat at table AB12\n" + menuPrompt;
    EXPECT_EQ(net.output, offer + "table AB12 is ]0;over\n" + offer + "goodbye\n");
    EXPECT_EQ(net.errors, "pellaro-net: " + (home.path / "pellaro" / "net-seats").string() +
                              ": 1 line holds no seat; ignored\n");
}

// pellaro-net's help within 80 columns, and a bad option in one line with
// status 2, both streams read.
TEST(NetProgram, HelpsAndRefusesABadOptionInOneLine) {
    const auto run = [](const std::string& arguments) {
        const std::string command = std::string(PELLARO_NET) + ' ' + arguments + " 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        std::string output;
        std::array<char, 4096> buffer{};
        for (std::size_t got = 0; (got = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) {
            output.append(buffer.data(), got);
        }
        const int status = pclose(pipe);
        return std::pair{WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
    };
    const auto [helped, help] = run("--help");
    EXPECT_EQ(helped, 0);
    std::istringstream lines(help);
    std::size_t count = 0;
    for (std::string line; std::getline(lines, line); ++count) {
        EXPECT_LE(line.size(), 80U) << line;
    }
    EXPECT_GT(count, 5U);
    const auto [refused, why] = run("--name 'robert the long'");
    EXPECT_EQ(refused, 2);
    EXPECT_EQ(std::count(why.begin(), why.end(), '\n'), 1) << why;
}

TEST(NetProgram, RefusesWhatIsNoPellaroServer) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"SSH-2.0-OpenSSH\n", " is no pellaro-server\n"},
        {"HELLO pellaro 1\n" + std::string(70000, 'x'), "the server sent a line too long\n"},
    };
    for (const auto& [sent, told] : cases) {
        const TemporaryFolder home;
        ScriptedServer server;
        NetProgram net({server.address()}, home.path);
        Connection connection = server.accept();
        connection.send(sent);
        EXPECT_EQ(net.finish(), 1);
        std::string expected = "pellaro-net: ";
        expected += told.starts_with(" ") ? server.address() + told : told;
        EXPECT_EQ(net.errors, expected);
    }
}

} // namespace
} // namespace pellaro
