// The real program with standard input it cannot read and with standard
// output on a terminal.
#include <array>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace pellaro {

namespace {

enum class Input : std::uint8_t { Closed, Directory, Empty };
enum class Output : std::uint8_t { Pipe, Terminal };

struct StreamsRun {
    int status = -1;
    std::string output;
};

// Reads everything the program writes until it closes its end (a terminal's
// master reports EIO once the program is gone).
std::string readAll(int from) {
    std::string output;
    std::array<char, 4096> buffer{};
    for (;;) {
        pollfd ready{from, POLLIN, 0};
        if (poll(&ready, 1, 10000) <= 0) {
            break;
        }
        const ssize_t count = read(from, buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        output.append(buffer.data(), static_cast<std::size_t>(count));
    }
    return output;
}

StreamsRun runWith(Input input, Output output) {
    int reader = -1;
    int writer = -1;
    if (output == Output::Terminal) {
        reader = posix_openpt(O_RDWR | O_NOCTTY);
        if (reader < 0 || grantpt(reader) != 0 || unlockpt(reader) != 0) {
            return {};
        }
        std::array<char, PATH_MAX> name{};
        if (ptsname_r(reader, name.data(), name.size()) != 0) {
            return {};
        }
        writer = open(name.data(), O_RDWR | O_NOCTTY);
    } else {
        std::array<int, 2> ends{};
        if (pipe(ends.data()) != 0) {
            return {};
        }
        reader = ends[0];
        writer = ends[1];
    }
    std::array<int, 2> empty{};
    if (writer < 0 || pipe(empty.data()) != 0) {
        return {};
    }
    const pid_t pid = fork();
    if (pid == 0) {
        if (input == Input::Closed) {
            close(STDIN_FILENO);
        } else if (input == Input::Directory) {
            dup2(open("/", O_RDONLY | O_DIRECTORY), STDIN_FILENO);
        } else {
            dup2(empty[0], STDIN_FILENO);
        }
        dup2(writer, STDOUT_FILENO);
        close(empty[0]);
        close(empty[1]);
        close(reader);
        close(writer);
        execl(PELLARO_PROGRAM, PELLARO_PROGRAM, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(empty[0]);
    close(empty[1]);
    close(writer);
    StreamsRun run;
    run.output = readAll(reader);
    close(reader);
    int status = 0;
    waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

const std::string offer = "Would you like to hear the rules? (Y/N) ";

TEST(UnusualStreams, UnreadableInputEndsTheProgramQuietly) {
    for (const Input input : {Input::Closed, Input::Directory, Input::Empty}) {
        SCOPED_TRACE(static_cast<int>(input));
        const StreamsRun run = runWith(input, Output::Pipe);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.output, offer);
    }
}

// At a terminal the question's line is ended, so the shell's prompt starts on
// a line of its own; the terminal shows the newline as a carriage return and
// a line feed.
TEST(UnusualStreams, AtATerminalTheEndOfInputEndsTheQuestionsLine) {
    for (const Input input : {Input::Closed, Input::Directory, Input::Empty}) {
        SCOPED_TRACE(static_cast<int>(input));
        const StreamsRun run = runWith(input, Output::Terminal);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.output, offer + "\r\n");
    }
}

} // namespace

} // namespace pellaro
