// The lines of pellaro-server's connections: cut from bytes however they
// come, and one over the limit never kept.
#include "server/commands.h"

#include <gtest/gtest.h>

namespace pellaro {
namespace {

std::vector<std::string> cut(const std::vector<std::string_view>& chunks, bool& overlong) {
    LineCutter cutter;
    std::vector<std::string> lines;
    for (const std::string_view chunk : chunks) {
        cutter.add(chunk);
        while (std::optional<std::string> line = cutter.next()) {
            lines.push_back(*line);
        }
    }
    overlong = cutter.overlong();
    return lines;
}

TEST(ServerLines, AreTheSameHoweverTheBytesAreCut) {
    const std::string longest(longestLine, 'x');
    struct Example {
        std::string bytes;
        std::vector<std::string> lines;
        bool overlong;
    };
    const std::vector<Example> cases = {
        {"HELP\nLIST\r\n", {"HELP", "LIST"}, false},
        {"\n\r\nHALF", {"", ""}, false},
        {longest + "\nHELP\n", {longest, "HELP"}, false},
        {longest + "\r\n", {longest}, false},
        {"HELP\n" + longest + "y\nHELP\n", {"HELP"}, true},
        {"HELP\n" + longest + "yz", {"HELP"}, true},
    };
    for (const auto& example : cases) {
        // Every cut into two chunks and every byte alone.
        for (std::size_t at = 0; at <= example.bytes.size(); ++at) {
            const std::string_view bytes = example.bytes;
            bool overlong = false;
            EXPECT_EQ(cut({bytes.substr(0, at), bytes.substr(at)}, overlong), example.lines) << at;
            EXPECT_EQ(overlong, example.overlong) << at;
        }
        std::vector<std::string_view> bytes;
        for (std::size_t at = 0; at < example.bytes.size(); ++at) {
            bytes.push_back(std::string_view(example.bytes).substr(at, 1));
        }
        bool overlong = false;
        EXPECT_EQ(cut(bytes, overlong), example.lines);
        EXPECT_EQ(overlong, example.overlong);
    }
}

TEST(ServerCommands, AreReadWithTheirFields) {
    std::string why;
    const std::optional<Command> create = parseCommand("create pEmH", why);
    ASSERT_TRUE(create);
    EXPECT_EQ(seatsWord(create->seats), "PEMH");
    const std::optional<Command> join = parseCommand("  JOIN\tk7qf2m  3 ", why);
    ASSERT_TRUE(join);
    EXPECT_EQ(join->code, "K7QF2M");
    EXPECT_EQ(join->seat, 2);
    const std::optional<Command> answer = parseCommand("ANSWER   row  2 ", why);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->text, "row  2");
    EXPECT_FALSE(parseCommand("JOIN K7QF2M 0", why));
    EXPECT_FALSE(parseCommand("JOIN K7QF2M +1", why));
    EXPECT_FALSE(parseCommand("HAND 2 EE", why));
}

} // namespace
} // namespace pellaro
