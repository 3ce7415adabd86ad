#include "../../net/seat_file.h"
#include "net_test_files.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace pellaro {
namespace {

namespace fs = std::filesystem;

TEST(SeatFile, WritesWholeReadsBackAndKeepsItPrivate) {
    const TemporaryFolder home;
    const fs::path file = home.path / "pellaro" / "net-seats";
    const std::vector<SeatLine> seats = {{"127.0.0.1:7475", {"AB12", 1, sampleToken}},
                                         {"[::1]:9000", {"z", 5, sampleToken}}};
    std::string failure;
    ASSERT_TRUE(writeSeats(file, seats, failure)) << failure;
    EXPECT_EQ(bytesOf(file),
              "127.0.0.1:7475 AB12 1 " + sampleToken + "\n[::1]:9000 z 5 " + sampleToken + "\n");
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
    const std::string good = "host:1 AB12 2 " + sampleToken + "\n";
    std::ofstream(file) << good << "\n"
                        << "host:1 AB12 6 " << sampleToken << "\n"
                        << "host:1 AB 12 2 " << sampleToken << "\n"
                        << "host:1 AB12 2 " << sampleToken.substr(1) << "\n"
                        << "host:1 AB12 2 " << std::string(32, 'F') << "\n"
                        << "host AB12 2 " << sampleToken << "\n"
                        << "host:1 AB12 2 " << sampleToken << " more\n"
                        << "host:1 AB12\x1b 2 " << sampleToken << "\n"
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
    EXPECT_FALSE(rememberSeat(home.path, {"host:1", {"AB12", 1, sampleToken}}, failure));
    EXPECT_EQ(failure, "not a file");
}

TEST(SeatFile, TheTableClosingEndsTheGame) {
    EXPECT_TRUE(endsTheGame("| The game is over: CREATE, JOIN or WATCH another, or QUIT."));
    EXPECT_FALSE(endsTheGame("BYE the server stops"));
    EXPECT_FALSE(endsTheGame("| Player #2 (Hard) takes row 2: R R W."));
}

} // namespace
} // namespace pellaro
