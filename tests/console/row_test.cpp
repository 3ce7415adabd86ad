#include "console/console_view.h"
#include "support/redirected_console.h"

#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace pellaro {

namespace {

constexpr std::int32_t most = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t least = std::numeric_limits<std::int32_t>::min();

struct RowCase {
    std::string input;
    std::int32_t index;
};

TEST(Row, IsTheTypedNumberMinusOneUnchecked) {
    const std::vector<RowCase> cases = {
        {"1\n", 0},
        {"3\n", 2},
        {"2nd\n", 1},
        {"  2\n", 1},
        {"+2\n", 1},
        {"0\n", -1},
        {"abc\n", -1},
        {"\n", -1},
        {"-4\n", -5},
        {"7\n", 6},
        {"2 3\n", 1},
        {"99999999999\n", most - 1},
        {"2147483648\n", most - 1},
        {"2147483647\n", most - 1},
        // 2^32 + 1 must not wrap round to the valid row 1.
        {"4294967297\n", most - 1},
        {"-2147483647\n", least},
        {"-99999999999\n", least},
    };
    for (const RowCase& c : cases) {
        for (const TurnAction action : {TurnAction::Draw, TurnAction::Take}) {
            RedirectedConsole console(c.input + "5\n");
            const ConsoleView view{};
            EXPECT_EQ(view.askRow(action, Red), c.index) << c.input;
            EXPECT_EQ(console.unread(), "5\n") << c.input;
        }
    }
}

TEST(Row, TheDrawPromptShowsTheCardsLabel) {
    const std::vector<std::string> labels = {"R", "G", "B", "Y", "P", "S", "V", "W", "+2"};
    for (int kind = 0; kind < cardKindCount; ++kind) {
        RedirectedConsole console("1\n");
        const ConsoleView view{};
        view.askRow(TurnAction::Draw, static_cast<CardKind>(kind));
        EXPECT_EQ(console.output(), "\nThe card drawn is " + labels[kind] +
                                        "\nPlease enter the row to place it on: ");
    }
}

TEST(Row, TheTakePromptShowsNoCard) {
    RedirectedConsole console("1\n");
    const ConsoleView view{};
    view.askRow(TurnAction::Take, PlusTwo);
    EXPECT_EQ(console.output(), "Please enter the row to take: ");
}

TEST(Row, WordsAfterTheActionNeverReachTheRowPrompt) {
    struct Case {
        std::string input;
        std::int32_t index;
        std::string unread;
    };
    const std::vector<Case> cases = {
        {"t 2\n3\n", 2, ""},         {"d 1\n2\n", 1, ""},     {"take row 1\n\n", -1, ""},
        {"x t 1\n2\n1\n", 1, "1\n"}, {"t\n1\n2\n", 0, "2\n"},
    };
    for (const Case& c : cases) {
        RedirectedConsole console(c.input);
        const ConsoleView view{};
        const TurnAction action = view.askAction(0, false);
        EXPECT_EQ(view.askRow(action, Red), c.index) << c.input;
        EXPECT_EQ(console.unread(), c.unread) << c.input;
    }
}

TEST(Row, ARepeatedRowPromptReadsTheNextLineWhole) {
    // After a line answer nothing is left to throw away: a refusal between two
    // row prompts must not swallow the next line.
    RedirectedConsole console("t\n9\n2\n3\n");
    const ConsoleView view{};
    ASSERT_EQ(view.askAction(0, false), TurnAction::Take);
    EXPECT_EQ(view.askRow(TurnAction::Take, Red), 8);
    view.showInvalidMove();
    EXPECT_EQ(view.askRow(TurnAction::Take, Red), 1);
    EXPECT_EQ(console.unread(), "3\n");
}

} // namespace

} // namespace pellaro
