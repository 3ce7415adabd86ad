#include "data_home.h"
#include "solo/keyboard_input.h"
#include "solo/whole_files.h"

#include <array>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <istream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace pellaro {

namespace {

namespace fs = std::filesystem;

// What is read where a file should be: never a hang, never more than asked.
TEST(WholeFiles, AReaderTakesRegularFilesOfTheirSizeAlone) {
    const TemporaryDataHome home;
    const fs::path folder = home.folder;
    std::ofstream(folder / "small") << "twelve bytes";
    mkfifo((folder / "pipe").c_str(), 0600);
    struct Case {
        fs::path file;
        std::size_t largest;
        FileRead read;
        std::string said;
    };
    const std::vector<Case> cases = {
        {folder / "small", 100, FileRead::Read, ""},
        {folder / "small", 12, FileRead::Read, ""},
        {folder / "small", 11, FileRead::Failed, "larger than 11 bytes"},
        {folder / "missing", 100, FileRead::Missing, ""},
        {folder, 100, FileRead::Failed, "not a file"},
        {folder / "pipe", 100, FileRead::Failed, "not a file"},
        {folder / "small" / "below", 100, FileRead::Failed, "Not a directory"},
    };
    for (const Case& c : cases) {
        std::string text = "left over";
        std::string failure;
        EXPECT_EQ(readRegularFile(c.file, text, failure, c.largest), c.read) << c.file;
        EXPECT_EQ(failure, c.said) << c.file;
        EXPECT_EQ(text, c.read == FileRead::Read ? "twelve bytes" : "") << c.file;
    }
}

// A file is replaced whole with its permissions, a new one never takes an
// existing name, and a failure leaves nothing behind.
TEST(WholeFiles, WritesReplaceWholeAndNeverOverwriteAnotherFile) {
    const TemporaryDataHome home;
    const fs::path folder = home.folder;
    std::string failure;
    const fs::path first = createFile(folder, "saved-7", "json", "one", failure);
    const fs::path second = createFile(folder, "saved-7", "json", "two", failure);
    EXPECT_EQ(first, folder / "saved-7.json");
    EXPECT_EQ(second, folder / "saved-7-2.json");
    EXPECT_EQ(bytesOf(first), "one");
    fs::permissions(first, fs::perms::owner_read | fs::perms::group_read);
    EXPECT_TRUE(replaceFile(first, "three", failure)) << failure;
    EXPECT_EQ(bytesOf(first), "three");
    EXPECT_EQ(fs::status(first).permissions(), fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(fs::status(second).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    fs::create_directory(folder / "a-folder");
    EXPECT_FALSE(replaceFile(folder / "a-folder", "four", failure));
    EXPECT_FALSE(failure.empty());
    failure.clear();
    EXPECT_FALSE(replaceFile(folder / "no-folder" / "x", "four", failure));
    EXPECT_FALSE(failure.empty());
    failure.clear();
    EXPECT_TRUE(createFile(folder / "no-folder", "x", "json", "five", failure).empty());
    EXPECT_FALSE(failure.empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 3);
}

// Standard input on a pipe, as the program reads it.
struct PipedInput {
    PipedInput() {
        EXPECT_EQ(pipe(ends.data()), 0);
        saved = dup(STDIN_FILENO);
        dup2(ends[0], STDIN_FILENO);
        close(ends[0]);
    }
    ~PipedInput() {
        dup2(saved, STDIN_FILENO);
        close(saved);
        if (ends[1] >= 0) {
            close(ends[1]);
        }
    }
    PipedInput(const PipedInput&) = delete;
    PipedInput& operator=(const PipedInput&) = delete;
    PipedInput(PipedInput&&) = delete;
    PipedInput& operator=(PipedInput&&) = delete;

    void type(const std::string& text) const {
        EXPECT_EQ(write(ends[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    void end() {
        close(ends[1]);
        ends[1] = -1;
    }

    std::array<int, 2> ends{-1, -1};
    int saved = -1;
};

std::string readAll(std::istream& in) {
    std::string text;
    for (char c = 0; in.get(c);) {
        text += c;
    }
    return text;
}

// Ctrl-C while a game can be saved is the answer "s" at the next question,
// ahead of what was typed with it; without the guard it is not caught here.
TEST(KeyboardInput, CtrlCBecomesTheSaveAnswerAheadOfTypedInput) {
    PipedInput piped;
    KeyboardInput keyboard;
    std::istream in(&keyboard);
    {
        SaveOnInterrupt guard;
        piped.type("d\n");
        ASSERT_EQ(raise(SIGINT), 0);
        std::string line;
        std::getline(in, line);
        EXPECT_EQ(line, "s");
        EXPECT_TRUE(saveAnswerWasInterrupt());
        EXPECT_FALSE(saveAnswerWasInterrupt());
        std::getline(in, line);
        EXPECT_EQ(line, "d");
        // Held back and never asked for: gone with the guard, harmlessly.
        guard.rearm();
        ASSERT_EQ(raise(SIGINT), 0);
    }
    piped.type("t\n3\n");
    piped.end();
    EXPECT_EQ(readAll(in), "t\n3\n");
    EXPECT_FALSE(saveAnswerWasInterrupt());
}

} // namespace

} // namespace pellaro
