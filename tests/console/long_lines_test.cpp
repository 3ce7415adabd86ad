#include "console/console_view.h"
#include "support/redirected_console.h"

#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace pellaro {

namespace {

// A line answer keeps its first 999 characters. A digit at a known position
// behind blanks shows how much of the line was kept.
std::string digitAt(std::size_t position, char digit) {
    return std::string(position - 1, ' ') + digit;
}

TEST(LongLines, ALineOf999CharactersIsReadWhole) {
    RedirectedConsole console(digitAt(999, '3') + "\n4\n");
    const ConsoleView view{};
    EXPECT_EQ(view.askRow(TurnAction::Take, Red), 2);
    EXPECT_EQ(view.askRow(TurnAction::Take, Red), 3);
}

TEST(LongLines, PastTheFirst999CharactersTheLineIsThrownAway) {
    struct Case {
        std::string line;
        std::int32_t index;
    };
    const std::vector<Case> cases = {
        {digitAt(1000, '3'), -1},
        {digitAt(1001, '3'), -1},
        {"2" + std::string(4999, 'x'), 1},
        // 999 digits are kept, far past the 32-bit range.
        {"2" + std::string(4999, '7'), std::numeric_limits<std::int32_t>::max() - 1},
        {digitAt(999, '1') + std::string(4000, '9'), 0},
        {std::string(5000, ' '), -1},
    };
    for (const Case& c : cases) {
        RedirectedConsole console(c.line + "\n4\n5\n");
        const ConsoleView view{};
        EXPECT_EQ(view.askRow(TurnAction::Draw, Red), c.index) << c.line.size();
        // The next question reads a fresh line, not the rest of the long one.
        EXPECT_EQ(view.askRow(TurnAction::Draw, Red), 3) << c.line.size();
        EXPECT_EQ(console.unread(), "5\n") << c.line.size();
    }
}

TEST(LongLines, ALongPlayerCountLineLeavesTheNextQuestionAlone) {
    RedirectedConsole console(digitAt(1000, '3') + "\n" + "4" + std::string(5000, '0') + "\n" +
                              "3" + std::string(4999, 'z') + "\nd\n");
    const ConsoleView view{};
    EXPECT_EQ(view.askPlayerCount(), 3);
    EXPECT_EQ(console.output(),
              "Enter number of players (2-5): Please enter the number of players (2-5): "
              "Please enter the number of players (2-5): ");
    EXPECT_EQ(view.askAction(0, false), TurnAction::Draw);
}

} // namespace

} // namespace pellaro
