#include "solo_session.h"
#include "support/pinned_clock.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const std::string people = "Enter number of people (1-4): ";
const std::string peopleAgain = "Please enter the number of people (1-4): ";
const std::string strength = "Computer players: (E)asy, (M)edium or (H)ard? ";
const std::string action = "(D)raw a card or (T)ake a row? ";

// The end of input at every question of the set-up and at a person's first
// turn ends the program at once, with nothing written after the question.
TEST(SoloEndOfInput, EndsTheProgramRightAfterTheQuestionThatFindsIt) {
    pinClock(1000);
    struct Case {
        std::string input;
        std::string ending;
    };
    const std::vector<Case> cases = {
        {"", "Would you like to hear the rules? (Y/N) "},
        {"n\n", "Enter number of players (2-5): "},
        {"n\n5", people},
        {"n\n5\n", people},
        {"n\n5 players\n", people},
        {"n\n5\n0\n", people + peopleAgain},
        {"n\n5\n\n9\n", people + peopleAgain + peopleAgain},
        {"n\n5\n1", "(1-4): " + strength},
        {"n\n5\n1\n", "(1-4): " + strength},
        {"n\n5\n1\n\n \n\t\n", "(1-4): " + strength},
        {"n\n5\n1\nx\n", "Invalid choice!\n" + strength},
        {"n\n5\n1\nx", "Invalid choice!\n" + strength},
        {"n\n5\n1\ne\n", "It is player #1's turn: " + action},
        {"n\n5\n1\ne d\n", "Please enter the row to place it on: "},
        {"n\n2\n1\nh\nd\n", "Please enter the row to place it on: "},
    };
    for (const Case& c : cases) {
        const SessionResult result = runSoloSession(c.input);
        EXPECT_EQ(result.status, 0) << c.input;
        EXPECT_TRUE(result.output.ends_with(c.ending)) << c.input << "\n" << result.output;
        EXPECT_EQ(result.unreadInput, 0U) << c.input;
    }
}

} // namespace
