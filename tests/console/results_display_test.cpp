#include "console/console_view.h"
#include "support/redirected_console.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pellaro {

namespace {

TEST(Results, ScoresWinnersAndTheReplayQuestion) {
    RedirectedConsole console("n\n");
    ConsoleView view{};
    view.playerCount = 3;
    view.showScores({14, -3, 14});
    view.showWinners(14, {1, 3});
    EXPECT_FALSE(view.askNewGame());
    EXPECT_EQ(console.output(), "\n"
                                "Scores\n"
                                "Player 1 scored 14\n"
                                "Player 2 scored -3\n"
                                "Player 3 scored 14\n"
                                "\n"
                                "The winners are Player 1 and Player 3 with a score of 14!\n"
                                "\n"
                                "Would you like to play a new game? (Y/N) ");
}

TEST(Results, TheScoreReportListsEveryPlayerInSeatOrder) {
    struct Case {
        std::vector<std::int32_t> scores;
        std::string lines;
    };
    const std::vector<Case> cases = {
        {{25, -4}, "Player 1 scored 25\nPlayer 2 scored -4\n"},
        {{0, 0, 0, 0, 0},
         "Player 1 scored 0\nPlayer 2 scored 0\nPlayer 3 scored 0\nPlayer 4 scored 0\n"
         "Player 5 scored 0\n"},
        {{-84, 83, 10, -21},
         "Player 1 scored -84\nPlayer 2 scored 83\nPlayer 3 scored 10\n"
         "Player 4 scored -21\n"},
    };
    for (const Case& c : cases) {
        RedirectedConsole console("");
        ConsoleView view{};
        view.playerCount = static_cast<std::int32_t>(c.scores.size());
        view.showScores(c.scores);
        EXPECT_EQ(console.output(), "\nScores\n" + c.lines);
    }
}

TEST(Results, TheWinnerLine) {
    struct Case {
        std::int32_t top;
        std::vector<std::int32_t> winners;
        std::string line;
    };
    const std::vector<Case> cases = {
        {9, {2}, "The winner is Player 2 with a score of 9!\n"},
        {0, {1, 2, 3}, "The winners are Player 1 and Player 2 and Player 3 with a score of 0!\n"},
        {-2, {1}, "The winner is Player 1 with a score of -2!\n"},
        {-1, {1, 2}, "The winners are Player 1 and Player 2 with a score of -1!\n"},
        {30, {2, 3}, "The winners are Player 2 and Player 3 with a score of 30!\n"},
        {12,
         {1, 2, 3, 4, 5},
         "The winners are Player 1 and Player 2 and Player 3 and Player 4 and Player 5 with a "
         "score of 12!\n"},
        {65, {5}, "The winner is Player 5 with a score of 65!\n"},
    };
    for (const Case& c : cases) {
        RedirectedConsole console("");
        ConsoleView view{};
        view.playerCount = 5;
        view.showWinners(c.top, c.winners);
        EXPECT_EQ(console.output(), "\n" + c.line);
    }
}

} // namespace

} // namespace pellaro
