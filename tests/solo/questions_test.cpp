#include "console/console_input.h"
#include "solo/solo_questions.h"
#include "support/redirected_console.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pellaro {

namespace {

TEST(PeopleCount, AcceptsOneUpToThePlayersLessOneAndAsksAgainOtherwise) {
    struct Case {
        std::int32_t players;
        std::string input;
        std::int32_t people;
        int refused;
    };
    const std::vector<Case> cases = {
        {5, "1\n", 1, 0},
        {5, "4\n", 4, 0},
        {5, "  2\n", 2, 0},
        {5, "3 people\n", 3, 0},
        {5, "+4\n", 4, 0},
        {5, "2.9\n", 2, 0},
        {2, "1\n", 1, 0},
        {5, "0\n5\n-1\n\nfour\n99999999999\n-99999999999\n3\n", 3, 7},
        {2, "2\n0\n1\n", 1, 2},
        // A line keeps its first 999 characters; the rest is thrown away.
        {5, std::string(998, ' ') + "3\n", 3, 0},
        {5, std::string(999, ' ') + "3\n2\n", 2, 1},
        {5, "1" + std::string(5000, '9') + "\n4\n", 4, 1},
    };
    for (const Case& c : cases) {
        const RedirectedConsole console(c.input);
        EXPECT_EQ(askPeopleCount(c.players), c.people) << c.input;
        const std::string range = "(1-" + std::to_string(c.players - 1) + "): ";
        std::string expected = "Enter number of people " + range;
        for (int i = 0; i < c.refused; ++i) {
            expected += "Please enter the number of people " + range;
        }
        EXPECT_EQ(console.output(), expected) << c.input;
        EXPECT_EQ(console.unread(), "") << c.input;
    }
}

TEST(PeopleCount, ThrowsAwayWhatAWordAnswerLeftOnItsLine) {
    const RedirectedConsole console("n 3\n4\n");
    ASSERT_EQ(readWordAnswer(), 'n');
    EXPECT_EQ(askPeopleCount(5), 4);
}

TEST(Strength, JudgesTheFirstCharacterOfAWordAndAsksAgainAfterInvalidChoice) {
    struct Case {
        std::string input;
        Strength strength;
        int refused;
        std::string unread;
    };
    const std::vector<Case> cases = {
        {"e\n", Strength::Easy, 0, "\n"},
        {"Easy\n", Strength::Easy, 0, "\n"},
        {"m\n", Strength::Medium, 0, "\n"},
        {"Mh\n", Strength::Medium, 0, "\n"},
        {"h\n", Strength::Hard, 0, "\n"},
        {"HARD\n", Strength::Hard, 0, "\n"},
        // Empty lines are no answer; blanks before the word are skipped.
        {"\n\n \t h\n", Strength::Hard, 0, "\n"},
        {"x\nh\n", Strength::Hard, 1, "\n"},
        {"1\n?\n-\nd\nt\ne\n", Strength::Easy, 5, "\n"},
        // Several words on one line answer one after another without waiting,
        // and what follows the accepted word stays for the next question.
        {"x m\n", Strength::Medium, 1, "\n"},
        {"hard d\n", Strength::Hard, 0, " d\n"},
    };
    const std::string question = "Computer players: (E)asy, (M)edium or (H)ard? ";
    for (const Case& c : cases) {
        const RedirectedConsole console(c.input);
        EXPECT_EQ(askStrength(), c.strength) << c.input;
        std::string expected;
        for (int i = 0; i < c.refused; ++i) {
            expected += question + "Invalid choice!\n";
        }
        EXPECT_EQ(console.output(), expected + question) << c.input;
        EXPECT_EQ(console.unread(), c.unread) << c.input;
    }
}

} // namespace

} // namespace pellaro
