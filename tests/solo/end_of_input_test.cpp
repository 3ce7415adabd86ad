#include "engine/game_state.h"
#include "person_answers.h"
#include "solo_session.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pellaro {

namespace {

const std::string people = "Enter number of people (1-4): ";
const std::string peopleAgain = "Please enter the number of people (1-4): ";
const std::string strength = "Computer players: (E)asy, (M)edium or (H)ard? ";
const std::string placeFive = "Row to place it on (1-5) or ? for a hint: ";

// The end of input at every question of the set-up and at a person's first
// turn ends the program at once, with nothing written after the question.
TEST(SoloEndOfInput, EndsTheProgramRightAfterTheQuestionThatFindsIt) {
    // The first card of the deal of seed 1 at five and at two players.
    const std::string drewFive =
        "You drew " + std::string(cardLabels[newGame(5, 1).deck[0]]) + ".\n";
    const std::string drewTwo =
        "You drew " + std::string(cardLabels[newGame(2, 1).deck[0]]) + ".\n";
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
        // The first turn of a game has only a Draw to make.
        {"n\n5\n1\ne\n", "so a card must be drawn.\n" + drewFive + placeFive},
        {"n\n5\n1\ne d\n", "so a card must be drawn.\n" + drewFive + placeFive},
        // At two players no one is asked for the number of people.
        {"n\n2\n1\nh\nd\n",
         "Invalid choice!\n" + strength + "You are Player #1;" +
             " Player #2 is a Hard computer player.\n" +
             "\nRound 1, opened by Player #1 (you).\nRound 1, 76 cards left" +
             " to draw.\nRow 1: empty\nRow 2: empty\nPlayer #1 (you)    R:0" +
             " G:0 B:0 Y:0 P:0 S:0 V:0 W:0 +2:0  score   0\nPlayer #2 (Hard)" +
             "   R:0 G:0 B:0 Y:0 P:0 S:0 V:0 W:0 +2:0  score   0\nStill unseen:" +
             " 76   R:9 G:9 B:9 Y:9 P:9 S:9 V:9 W:3 +2:10\nPlayer #1" +
             " (you), turn 1: no row holds a card, so a card must be drawn.\n" + drewTwo +
             "Row to" + " place it on (1-2) or ? for a hint: Please type a row number" +
             " (1-2), ? for a hint or S to save.\nRow to place it on (1-2) or ? for a hint: "},
    };
    for (const Case& c : cases) {
        const SessionResult result = runSoloSession(c.input, {1});
        EXPECT_EQ(result.status, 0) << c.input;
        EXPECT_TRUE(result.output.ends_with(c.ending)) << c.input << "\n" << result.output;
        EXPECT_EQ(result.unreadInput, 0U) << c.input;
    }
}

// Cut after any answer of a whole game, with mistakes, the offer of a review
// and the questions to play again, the input ends the program at the next
// question; the results file is written once the game is over, and not
// before.
TEST(SoloEndOfInput, EndsQuietlyAtEveryQuestionOfAWholeGame) {
    const std::string game =
        "n\n3\n1\ne\n" + personTurnAnswers({3, 1, Strength::Easy, true, false}, 3);
    // The review, whose searches take long in unoptimised builds, is declined.
    const std::string answers = game + "n\nn\nn\n";
    std::size_t cuts = 0;
    // The whole input, whose last newline stays unread, is not cut.
    for (std::size_t end = answers.find('\n'); end + 1 < answers.size();
         end = answers.find('\n', end + 1), ++cuts) {
        bool resultsWritten = false;
        const SessionResult result =
            runSoloSession(answers.substr(0, end + 1), {3}, resultsWritten);
        EXPECT_EQ(resultsWritten, end + 1 >= game.size()) << end;
        EXPECT_EQ(result.status, 0) << end;
        EXPECT_EQ(result.unreadInput, 0U) << end;
        // Every question ends in a blank after a colon, a question mark or (Y/N).
        ASSERT_TRUE(result.output.ends_with(": ") || result.output.ends_with("? ") ||
                    result.output.ends_with("(Y/N) "))
            << result.output.substr(result.output.size() - 200);
    }
    EXPECT_GT(cuts, 30U);
}

} // namespace

} // namespace pellaro
