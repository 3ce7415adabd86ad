#include "person_answers.h"
#include "solo_session.h"

#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <string>

namespace pellaro {

namespace {

const char* const strengthLetters = "emh";

// Whole sessions of every table size and number of people: the people are
// asked for the first seats' moves alone, the other seats' moves are told,
// each row numbered within the board, every answer is used, and every line
// fits 80 columns.
TEST(SoloSeats, PeopleSitFirstAndComputerPlayersAfterThem) {
    const std::regex asked("^Player #([0-9]) \\((you|person)\\), turn [1-9][0-9]*: ");
    const std::regex told("^Player #([0-9]) \\((Easy|Medium)\\) (?:draws (?:[RGBYPSVW]|\\+2) and "
                          "places it on|takes) row ([0-9])[.:]");
    std::uint32_t seed = 2000;
    for (std::int32_t players = 2; players <= 5; ++players) {
        for (std::int32_t people = 1; people < players; ++people, ++seed) {
            // Easy and Medium by turns; Hard searches too long for many whole
            // games, and Medium too in instrumented builds, which other
            // tests show it playing in.
            const auto strength = static_cast<Strength>(PELLARO_INSTRUMENTED ? 0 : seed % 2);
            const SoloGame game{players, people, strength, people % 2 == 0, false};
            const std::string setUp = players == 2 ? "" : std::to_string(people) + '\n';
            const std::string input = "n\n" + std::to_string(players) + '\n' + setUp +
                                      strengthLetters[static_cast<int>(strength)] + '\n' +
                                      personTurnAnswers(game, seed) + "n\nn\nn\n";
            const SessionResult result = runSoloSession(input, {seed});
            EXPECT_EQ(result.status, 0);
            // The last answer's newline alone stays unread.
            EXPECT_EQ(result.unreadInput, 1U);
            ASSERT_NE(result.output.find("Play again with the same settings? (Y/N) "),
                      std::string::npos);
            int askedTurns = 0;
            int toldTurns = 0;
            // Through a pipe a question and what follows it share a line; at a
            // terminal the person's Enter ends it.
            std::string screen = result.output;
            for (const std::string question : {"for a hint: ", "(Y/N) ", "): ", "(H)ard? "}) {
                for (std::size_t at = screen.find(question); at != std::string::npos;
                     at = screen.find(question, at + question.size() + 1)) {
                    screen.insert(at + question.size(), "\n");
                }
            }
            std::istringstream lines(screen);
            std::smatch match;
            for (std::string line; std::getline(lines, line);) {
                EXPECT_LE(line.size(), 80U) << line;
                if (std::regex_search(line, match, asked)) {
                    ++askedTurns;
                    EXPECT_LE(std::stoi(match[1]), people) << line;
                } else if (std::regex_search(line, match, told)) {
                    ++toldTurns;
                    EXPECT_GT(std::stoi(match[1]), people) << line;
                    EXPECT_LE(std::stoi(match[3]), players) << line;
                }
            }
            EXPECT_GT(askedTurns, 0);
            EXPECT_GT(toldTurns, 0);
        }
    }
}

} // namespace

} // namespace pellaro
