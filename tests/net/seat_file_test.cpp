#include "../../net/seat_file.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace pellaro {
namespace {

namespace fs = std::filesystem;

const std::string token = "0123456789abcdef0123456789abcdef";

// A new empty folder, removed with everything in it at the end.
struct TemporaryFolder {
    TemporaryFolder() {
        std::string pattern = (fs::temp_directory_path() / "pellaro-net-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        path = pattern;
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    TemporaryFolder(TemporaryFolder&&) = delete;
    TemporaryFolder& operator=(TemporaryFolder&&) = delete;

    fs::path path;
};

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TEST(SeatFile, WritesWholeReadsBackAndKeepsItPrivate) {
    const TemporaryFolder home;
    const fs::path file = home.path / "pellaro" / "net-seats";
    const std::vector<SeatLine> seats = {{"127.0.0.1:7475", {"AB12", 1, token}},
                                         {"[::1]:9000", {"z", 5, token}}};
    std::string failure;
    ASSERT_TRUE(writeSeats(file, seats, failure)) << failure;
    EXPECT_EQ(bytesOf(file), "127.0.0.1:7475 AB12 1 " + token + "\n[::1]:9000 z 5 " + token + "\n");
    struct stat status {};
    ASSERT_EQ(stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777U, 0600U);
    const SeatsRead read = readSeats(file);
    EXPECT_EQ(read.badLines, 0U);
    EXPECT_EQ(seatsText(read.seats), seatsText(seats));

    ASSERT_TRUE(rememberSeat(file, {"127.0.0.1:7475", {"AB12", 1, std::string(32, 'f')}}, failure));
    ASSERT_TRUE(forgetSeat(file, seats[1], failure));
    EXPECT_EQ(bytesOf(file), "127.0.0.1:7475 AB12 1 " + std::string(32, 'f') + "\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()),
              1);
}

TEST(SeatFile, SkipsLinesThatHoldNoSeat) {
    const TemporaryFolder home;
    const fs::path file = home.path / "net-seats";
    const std::string good = "host:1 AB12 2 " + token + "\n";
    std::ofstream(file) << good << "\n"
                        << "host:1 AB12 6 " << token << "\n"
                        << "host:1 AB 12 2 " << token << "\n"
                        << "host:1 AB12 2 " << token.substr(1) << "\n"
                        << "host:1 AB12 2 " << std::string(32, 'F') << "\n"
                        << "host AB12 2 " << token << "\n"
                        << "host:1 AB12 2 " << token << " more\n"
                        << "host:1 AB12\x1b 2 " << token << "\n"
                        << good;
    const SeatsRead read = readSeats(file);
    EXPECT_EQ(read.badLines, 8U);
    EXPECT_EQ(seatsText(read.seats), good + good);
    EXPECT_TRUE(read.failure.empty());
}

TEST(SeatFile, ToldWhenNoFileCanBeRead) {
    const TemporaryFolder home;
    EXPECT_TRUE(readSeats(home.path / "missing").failure.empty());
    const SeatsRead folder = readSeats(home.path);
    EXPECT_EQ(folder.failure, "not a file");
    std::string failure;
    EXPECT_FALSE(rememberSeat(home.path, {"host:1", {"AB12", 1, token}}, failure));
    EXPECT_EQ(failure, "not a file");
}

TEST(SeatFile, TheTableClosingEndsTheGame) {
    EXPECT_TRUE(endsTheGame("| The game is over: CREATE, JOIN or WATCH another, or QUIT."));
    EXPECT_FALSE(endsTheGame("BYE the server stops"));
    EXPECT_FALSE(endsTheGame("| Player #2 (Hard) takes row 2: R R W."));
}

} // namespace
} // namespace pellaro
