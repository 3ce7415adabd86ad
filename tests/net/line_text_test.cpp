#include "../../net/line_text.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pellaro {
namespace {

TEST(LineText, KeepsOnlyPrintableTextOfTheServer) {
    using namespace std::string_literals;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"\x1b[2J\x1b[31mred\x1b[0m", "[2J[31mred[0m"},
        {"a\tb ~", "a\tb ~"},
        {"bell\a, return\r, line\n, delete\x7f", "bell, return, line, delete"},
        {"\x9b"s + "31m \xc3\xa9 \0 end"s, "31m   end"},
    };
    for (const auto& [text, kept] : cases) {
        EXPECT_EQ(printableText(text), kept);
    }
}

TEST(LineText, ChecksTypedLines) {
    EXPECT_EQ(typedLineFault(std::string(500, 'x')), TypedFault::None);
    EXPECT_EQ(typedLineFault(std::string(501, 'x')), TypedFault::TooLong);
    EXPECT_EQ(typedLineFault("d\x1b"), TypedFault::NotPrintable);
    EXPECT_EQ(typedLineFault("caf\xc3\xa9"), TypedFault::NotPrintable);
}

TEST(LineText, CutsBytesIntoLines) {
    LineSplitter splitter(5);
    std::vector<std::string> lines;
    const auto drain = [&] {
        while (std::optional<SplitLine> line = splitter.next()) {
            lines.push_back(line->tooLong ? "<too long>" : line->text);
        }
    };
    for (const char* chunk :
         {"ab", "c\r\nde", "\n\nabcdef", "ghij", "kl\nxyz\r", "\n12345\r\nend"}) {
        splitter.add(chunk);
        drain();
    }
    const std::optional<SplitLine> last = splitter.rest();
    ASSERT_TRUE(last);
    lines.push_back(last->text);
    EXPECT_EQ(lines,
              (std::vector<std::string>{"abc", "de", "", "<too long>", "xyz", "12345", "end"}));
    EXPECT_FALSE(splitter.rest());
}

} // namespace
} // namespace pellaro
