#include "person_answers.h"
#include "solo_session.h"
#include "support/pinned_clock.h"

#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <string>

namespace {

const char* const strengthLetters = "emh";

// Whole sessions of every table size and number of people: the people are
// asked for the first seats' moves alone, each of the other seats' moves is
// told in one line (the first of them behind the last question, whose answer
// the console echoes), and every answer is used.
TEST(SoloSeats, PeopleSitFirstAndComputerPlayersAfterThem) {
    const std::regex asked("It is player #([0-9])'s turn: ");
    const std::regex told(
        "Player #([0-9]) (?:draws (?:[RGBYPSVW]|\\+2) and places it on|takes) row ([0-9])\\.$");
    std::uint32_t pinned = 2000;
    int endedByComputer = 0;
    for (std::int32_t players = 2; players <= 5; ++players) {
        for (std::int32_t people = 1; people < players; ++people, ++pinned) {
            // Easy and Medium by turns; Hard searches too long for many whole games.
            const auto strength = static_cast<Strength>(pinned % 2);
            const SoloGame game{players, people, strength, people % 2 == 0};
            const std::string input = "n\n" + std::to_string(players) + '\n' +
                                      std::to_string(people) + '\n' +
                                      strengthLetters[static_cast<int>(strength)] + '\n' +
                                      personTurnAnswers(game, pinned) + "n\n";
            pinClock(pinned);
            const SessionResult result = runSoloSession(input);
            EXPECT_EQ(result.status, 0);
            // The replay answer's newline alone stays unread.
            EXPECT_EQ(result.unreadInput, 1U);
            ASSERT_NE(result.output.find("Would you like to play a new game? (Y/N) "),
                      std::string::npos);
            int askedTurns = 0;
            int toldTurns = 0;
            std::istringstream lines(result.output);
            std::smatch match;
            for (std::string line; std::getline(lines, line);) {
                if (std::regex_search(line, match, asked)) {
                    ++askedTurns;
                    EXPECT_LE(std::stoi(match[1]), people) << line;
                } else if (std::regex_search(line, match, told)) {
                    ++toldTurns;
                    EXPECT_GT(std::stoi(match[1]), people) << line;
                    EXPECT_LE(std::stoi(match[2]), players) << line;
                }
            }
            // The scores follow the line of a computer player's last move.
            endedByComputer += result.output.find(".\n\nScores\n") != std::string::npos ? 1 : 0;
            EXPECT_GT(askedTurns, 0);
            EXPECT_GT(toldTurns, 0);
        }
    }
    EXPECT_GT(endedByComputer, 0);
}

} // namespace
