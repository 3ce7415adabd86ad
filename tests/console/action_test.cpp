#include "console/console_input.h"
#include "console/console_view.h"
#include "support/redirected_console.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pellaro {

namespace {

const std::string actionQuestion = "(D)raw a card or (T)ake a row? ";
const std::string refused = "Invalid action!\n";

struct ActionCase {
    std::string input;
    TurnAction action;
    int refusals;
    std::string unread;
};

TEST(Action, JudgesOnlyTheFirstCharacterOfOneWord) {
    const std::vector<ActionCase> cases = {
        {"d\n", TurnAction::Draw, 0, "\n"},
        {"D\n", TurnAction::Draw, 0, "\n"},
        {"draw\n", TurnAction::Draw, 0, "\n"},
        {"dog\n", TurnAction::Draw, 0, "\n"},
        {"  d\n", TurnAction::Draw, 0, "\n"},
        {"\t\td\n", TurnAction::Draw, 0, "\n"},
        {"t\n", TurnAction::Take, 0, "\n"},
        {"T\n", TurnAction::Take, 0, "\n"},
        {"take\n", TurnAction::Take, 0, "\n"},
        {"Tiger\n", TurnAction::Take, 0, "\n"},
        {"d", TurnAction::Draw, 0, ""},
        // The rest of the line stays for the next question to deal with.
        {"t 2\n", TurnAction::Take, 0, " 2\n"},
        {"d and 3\n4\n", TurnAction::Draw, 0, " and 3\n4\n"},
        // Blank lines are no answer: nothing is printed for them.
        {"\n\n   \n\t\nd\n", TurnAction::Draw, 0, "\n"},
        {"x\nd\n", TurnAction::Draw, 1, "\n"},
        {"1\nt\n", TurnAction::Take, 1, "\n"},
        {"?\nt\n", TurnAction::Take, 1, "\n"},
        {"draw?\n", TurnAction::Draw, 0, "\n"},
        {"-d\nd\n", TurnAction::Draw, 1, "\n"},
        {"x t\n", TurnAction::Take, 1, "\n"},
        {"x ? 1 dd\n", TurnAction::Draw, 3, "\n"},
        {"x\n\n?\n\nT\n", TurnAction::Take, 2, "\n"},
    };
    for (const ActionCase& c : cases) {
        RedirectedConsole console(c.input);
        const ConsoleView view{};
        EXPECT_EQ(view.askAction(0, false), c.action) << c.input;
        std::string expected = "\nIt is player #1's turn: " + actionQuestion;
        for (int i = 0; i < c.refusals; ++i) {
            expected += refused + actionQuestion;
        }
        EXPECT_EQ(console.output(), expected) << c.input;
        EXPECT_EQ(console.unread(), c.unread) << c.input;
    }
}

TEST(Action, NamesTheSeatPlusOneAndWarnsInTheLastRound) {
    struct Case {
        std::int32_t seat;
        bool lastRound;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {0, false, "\nIt is player #1's turn: " + actionQuestion},
        {1, false, "\nIt is player #2's turn: " + actionQuestion},
        {4, false, "\nIt is player #5's turn: " + actionQuestion},
        {0, true, "\nLAST ROUND!!\nIt is player #1's turn: " + actionQuestion},
        {2, true, "\nLAST ROUND!!\nIt is player #3's turn: " + actionQuestion},
        // A refusal repeats the question alone, without the player line.
        {3, true,
         "\nLAST ROUND!!\nIt is player #4's turn: " + actionQuestion + refused + actionQuestion},
    };
    for (const Case& c : cases) {
        RedirectedConsole console(c.expected.find(refused) == std::string::npos ? "d\n" : "x\nd\n");
        const ConsoleView view{};
        EXPECT_EQ(view.askAction(c.seat, c.lastRound), TurnAction::Draw);
        EXPECT_EQ(console.output(), c.expected) << c.seat;
    }
}

TEST(Action, RefusedMoveThrowsAwayTheRestOfTheActionsLine) {
    // A Take that the game refuses: the d typed after it must not answer the
    // repeated question, which waits for the next line.
    RedirectedConsole console("t d\nt\n");
    const ConsoleView view{};
    EXPECT_EQ(view.askAction(0, false), TurnAction::Take);
    view.showInvalidMove();
    EXPECT_EQ(view.askAction(0, true), TurnAction::Take);
    EXPECT_EQ(console.output(), "\nIt is player #1's turn: " + actionQuestion +
                                    "Invalid Move!!!\n" +
                                    "\nLAST ROUND!!\nIt is player #1's turn: " + actionQuestion);
    EXPECT_EQ(console.unread(), "\n");
}

TEST(Action, TheTurnOnScreenOfAThreePlayerLastRound) {
    // Player 2 types x, then d, is shown a +2 card, names row 4 of three and
    // then row 1. What the console echoes is not part of the output.
    RedirectedConsole console("x\nd\n4\n1\n");
    ConsoleView view{};
    view.playerCount = 3;
    EXPECT_EQ(view.askAction(1, true), TurnAction::Draw);
    EXPECT_EQ(view.askRow(TurnAction::Draw, PlusTwo), 3);
    view.showInvalidMove();
    EXPECT_EQ(view.askRow(TurnAction::Draw, PlusTwo), 0);
    EXPECT_EQ(console.output(), "\n"
                                "LAST ROUND!!\n"
                                "It is player #2's turn: (D)raw a card or (T)ake a row? "
                                "Invalid action!\n"
                                "(D)raw a card or (T)ake a row? \n"
                                "The card drawn is +2\n"
                                "Please enter the row to place it on: "
                                "Invalid Move!!!\n"
                                "\n"
                                "The card drawn is +2\n"
                                "Please enter the row to place it on: ");
}

TEST(Action, ATakeOutsideTheLastRound) {
    RedirectedConsole console("t\n2\n");
    const ConsoleView view{};
    EXPECT_EQ(view.askAction(0, false), TurnAction::Take);
    EXPECT_EQ(view.askRow(TurnAction::Take, Red), 1);
    EXPECT_EQ(console.output(), "\nIt is player #1's turn: (D)raw a card or (T)ake a row? "
                                "Please enter the row to take: ");
}

} // namespace

} // namespace pellaro
