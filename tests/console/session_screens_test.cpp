#include "engine/game_state.h"
#include "support/pinned_clock.h"
#include "support/session.h"
#include "support/whole_games.h"

#include <gtest/gtest.h>
#include <string>

namespace pellaro {

namespace {

// The first card of this deck is a +2 card.
constexpr std::uint32_t pinned = 1000;

std::string label(CardKind card) {
    return std::string(cardLabels[card]);
}

std::string after(const std::string& text, const std::string& mark) {
    const std::size_t at = text.find(mark);
    return at == std::string::npos ? std::string() : text.substr(at + mark.size());
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

class Screens : public ::testing::Test {
protected:
    void SetUp() override { pinClock(pinned); }
    const GameState deck = newGame(2, pinned);
};

TEST_F(Screens, ATakenRowAndItsTaker) {
    ASSERT_EQ(deck.deck[0], PlusTwo);
    // Player 1 draws onto row 1, player 2 takes it; player 1 then tries to take
    // with no row to take, and to draw onto the taken row.
    const SessionResult result = runSession("n\n2\nd\n1\nt 1\n1\nt\nd\n1\n2\n");
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.output.find("Row #1| +2 \nRow #2| \n"), std::string::npos);
    const std::string hand = "R:0 G:0 B:0 Y:0 P:0 S:0 V:0 W:0 +2:";
    EXPECT_EQ(after(result.output, "Please enter the row to take: "),
              "\n\n\n\nCurrent board\n"
              "Row #1| Taken\n"
              "Row #2| \n"
              "\n"
              "The players' hands\n"
              "Player #1|  " +
                  hand +
                  "0 Taken? N\n"
                  "Player #2|  " +
                  hand +
                  "1 Taken? Y\n"
                  "\n"
                  "It is player #1's turn: (D)raw a card or (T)ake a row? Invalid Move!!!\n"
                  "\n"
                  "It is player #1's turn: (D)raw a card or (T)ake a row? \n"
                  "The card drawn is " +
                  label(deck.deck[1]) +
                  "\n"
                  "Please enter the row to place it on: Invalid Move!!!\n"
                  "\n"
                  "The card drawn is " +
                  label(deck.deck[1]) +
                  "\n"
                  "Please enter the row to place it on: "
                  "\n\n\n\nCurrent board\n"
                  "Row #1| Taken\n"
                  "Row #2| " +
                  label(deck.deck[1]) +
                  " \n"
                  "\n"
                  "The players' hands\n"
                  "Player #1|  " +
                  hand +
                  "0 Taken? N\n"
                  "Player #2|  " +
                  hand +
                  "1 Taken? Y\n"
                  "\n"
                  "It is player #1's turn: (D)raw a card or (T)ake a row? ");
}

TEST_F(Screens, AFullRowTakesNoMoreCards) {
    const SessionResult result = runSession("n\n2\nd\n1\nd\n1\nd\n1\nd\n1\n2\n");
    EXPECT_EQ(result.status, 0);
    const std::string full = "Row #1| " + label(deck.deck[0]) + ' ' + label(deck.deck[1]) + ' ' +
                             label(deck.deck[2]) + " \n";
    EXPECT_EQ(occurrences(result.output, full + "Row #2| \n"), 1U);
    EXPECT_NE(result.output.find("Please enter the row to place it on: Invalid Move!!!\n\nThe card "
                                 "drawn is " +
                                 label(deck.deck[3]) +
                                 "\nPlease enter the row to "
                                 "place it on: \n\n\n\nCurrent board\n" +
                                 full + "Row #2| " + label(deck.deck[3]) + " \n"),
              std::string::npos);
}

TEST_F(Screens, RowsOutsideTheBoardAreRefused) {
    for (const std::string row : {"0", "3", "-4", "abc", "", "99999999999", "4294967297"}) {
        const SessionResult result = runSession("n\n2\nd\n" + row + "\n1\n");
        EXPECT_EQ(after(result.output, "Please enter the row to place it on: "),
                  "Invalid Move!!!\n\nThe card drawn is +2\nPlease enter the row to place it on: "
                  "\n\n\n\nCurrent board\nRow #1| +2 \nRow #2| \n\nThe players' hands\n"
                  "Player #1|  R:0 G:0 B:0 Y:0 P:0 S:0 V:0 W:0 +2:0 Taken? N\n"
                  "Player #2|  R:0 G:0 B:0 Y:0 P:0 S:0 V:0 W:0 +2:0 Taken? N\n\n"
                  "It is player #2's turn: (D)raw a card or (T)ake a row? ")
            << row;
    }
}

TEST_F(Screens, NoBoardAfterTheLastMove) {
    for (std::int32_t players = 2; players <= 5; ++players) {
        const std::string answers = wholeGameAnswers(players, pinned);
        const SessionResult result = runSession("n\n" + answers + "n\n");
        EXPECT_EQ(result.status, 0);
        EXPECT_NE(result.output.find("Please enter the row to take: \nScores\n"),
                  std::string::npos);
        EXPECT_TRUE(result.output.ends_with("\nWould you like to play a new game? (Y/N) "));
        // One board per move: each move is two answer lines after the count.
        EXPECT_EQ(occurrences(result.output, "Current board\n"),
                  (occurrences(answers, "\n") - 1) / 2);
        EXPECT_EQ(occurrences(after(result.output, "\nScores\n"), "Current board"), 0U);
    }
}

TEST_F(Screens, AYesWithAnotherWordDeclinesTheNextRulesOffer) {
    const std::string game = "n\n" + wholeGameAnswers(2, pinned);
    const SessionResult result = runSession(game + "y n\n3\n");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(after(result.output, "Would you like to play a new game? (Y/N) "),
              "Would you like to hear the rules? (Y/N) Enter number of players (2-5): "
              "\n\n\n\nCurrent board\nRow #1| \nRow #2| \nRow #3| \n\nThe players' hands\n"
              "Player #1|  R:0 G:0 B:0 Y:0 P:0 S:0 V:0 W:0 +2:0 Taken? N\n"
              "Player #2|  R:0 G:0 B:0 Y:0 P:0 S:0 V:0 W:0 +2:0 Taken? N\n"
              "Player #3|  R:0 G:0 B:0 Y:0 P:0 S:0 V:0 W:0 +2:0 Taken? N\n\n"
              "It is player #1's turn: (D)raw a card or (T)ake a row? ");
}

TEST_F(Screens, WordsLeftOnTheReplayLineAnswerTheNextGame) {
    const std::string game = "n\n" + wholeGameAnswers(2, pinned);
    // x answers the offer with a yes; the first pause throws away the 3.
    const SessionResult result = runSession(game + "y x 3\n\n\n\n\n4\n");
    const std::string next = after(result.output, "Would you like to play a new game? (Y/N) ");
    EXPECT_TRUE(next.starts_with("Would you like to hear the rules? (Y/N) Pellaro is a card "));
    EXPECT_NE(next.find("Press enter to play; \nEnter number of players (2-5): \n\n\n\nCurrent "
                        "board\nRow #1| \nRow #2| \nRow #3| \nRow #4| \n\n"),
              std::string::npos);
}

TEST_F(Screens, EveryGameOffersTheRulesAndAsksForThePlayersAgain) {
    const std::string first = "n\n" + wholeGameAnswers(2, pinned);
    const std::string second = "N\n" + wholeGameAnswers(5, pinned);
    const SessionResult result = runSession(first + "yes\n" + second + "no\n");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(occurrences(result.output, "Would you like to hear the rules? (Y/N) "), 2U);
    EXPECT_EQ(occurrences(result.output, "Enter number of players (2-5): "), 2U);
    EXPECT_EQ(occurrences(result.output, "Row #5| "), occurrences(second, "\n") / 2 - 1);
    EXPECT_EQ(occurrences(result.output, "Would you like to play a new game? (Y/N) "), 2U);
    EXPECT_EQ(occurrences(result.output, "\nScores\n"), 2U);
    EXPECT_TRUE(result.output.ends_with("Would you like to play a new game? (Y/N) "));
}

TEST(PinnedClock, PinningTheClockChoosesTheDeck) {
    pinClock(1000);
    const GameState first = newGame(2);
    EXPECT_EQ(first.deck, newGame(2, 1000).deck);
    pinClock(1001);
    const GameState second = newGame(2);
    EXPECT_EQ(second.deck, newGame(2, 1001).deck);
    EXPECT_NE(first.deck, second.deck);
    // And the game itself reads the pinned clock.
    const std::string firstCard = "The card drawn is " + std::string(cardLabels[second.deck[0]]);
    EXPECT_NE(runSession("n\n2\nd\n").output.find(firstCard), std::string::npos);
}

} // namespace

} // namespace pellaro
