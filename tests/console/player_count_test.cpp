#include "console/console_view.h"
#include "support/redirected_console.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pellaro {

namespace {

const std::string countQuestion = "Enter number of players (2-5): ";
const std::string again = "Please enter the number of players (2-5): ";

struct CountCase {
    std::string input;
    std::int32_t count;
    int refusals;
};

TEST(PlayerCount, ReadsTheLeadingNumberAndRefusesAnythingOutsideTwoToFive) {
    const std::vector<CountCase> cases = {
        {"2\n", 2, 0},
        {"3\n", 3, 0},
        {"4\n", 4, 0},
        {"5\n", 5, 0},
        {"3 players\n", 3, 0},
        {" 4\n", 4, 0},
        {"\t 4\n", 4, 0},
        {"+5\n", 5, 0},
        {"4.9\n", 4, 0},
        {"05\n", 5, 0},
        {"1\n3\n", 3, 1},
        {"6\n3\n", 3, 1},
        {"0\n3\n", 3, 1},
        {"-3\n3\n", 3, 1},
        {"two\n3\n", 3, 1},
        {"\n3\n", 3, 1},
        {"   \n3\n", 3, 1},
        {"- 3\n3\n", 3, 1},
        {"12345678901\n3\n", 3, 1},
        {"-12345678901\n3\n", 3, 1},
        // Past 32 bits the value sticks at the bound; it must not wrap round to 3.
        {"4294967299\n2\n", 2, 1},
        {"7\nthree\n3\n", 3, 2},
    };
    for (const CountCase& c : cases) {
        RedirectedConsole console(c.input);
        const ConsoleView view{};
        EXPECT_EQ(view.askPlayerCount(), c.count) << c.input;
        std::string expected = countQuestion;
        for (int i = 0; i < c.refusals; ++i) {
            expected += again;
        }
        EXPECT_EQ(console.output(), expected) << c.input;
        EXPECT_EQ(console.unread(), "") << c.input;
    }
}

TEST(PlayerCount, ThrowsAwayOnlyTheRestOfTheRulesAnswersLine) {
    struct Case {
        std::string input;
        std::int32_t count;
    };
    // The rules answer's line goes, with whatever follows the word; the lines
    // after it are the count's, refused ones included.
    const std::vector<Case> cases = {
        {"n 3\n4\n", 4}, {"n\n4\n", 4}, {"No thanks 5\n2\n", 2}, {"n\n7\n3\n", 3}, {"n\n\n5\n", 5},
    };
    for (const Case& c : cases) {
        RedirectedConsole console(c.input);
        const ConsoleView view{};
        view.offerRules();
        EXPECT_EQ(view.askPlayerCount(), c.count) << c.input;
        EXPECT_EQ(console.unread(), "") << c.input;
    }
}

TEST(PlayerCount, ReadsTheFirstLineWhenNoWordCameBefore) {
    RedirectedConsole console("3\n4\n");
    const ConsoleView view{};
    EXPECT_EQ(view.askPlayerCount(), 3);
    EXPECT_EQ(console.unread(), "4\n");
}

} // namespace

} // namespace pellaro
