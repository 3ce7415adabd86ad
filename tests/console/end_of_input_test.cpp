#include "support/golden_sessions.h"
#include "support/pinned_clock.h"
#include "support/session.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pellaro {

namespace {

const std::string rulesOffer = "Would you like to hear the rules? (Y/N) ";
const std::string count = "Enter number of players (2-5): ";
const std::string action = "(D)raw a card or (T)ake a row? ";
const std::string draw = "Please enter the row to place it on: ";
const std::string take = "Please enter the row to take: ";

// What every question ends in; the program may stop only right after one.
const std::vector<std::string> questionEnds = {
    "(Y/N) ", "(2-5): ", "? ", "place it on: ", "take: ", "continue; ", "play; "};

bool endsAtAQuestion(const std::string& output) {
    return std::any_of(questionEnds.begin(), questionEnds.end(),
                       [&output](const std::string& end) { return output.ends_with(end); });
}

TEST(EndOfInput, EndsTheProgramRightAfterTheQuestionThatFindsIt) {
    pinClock(1000);
    struct Case {
        std::string input;
        std::string ending;
    };
    const std::vector<Case> cases = {
        {"", rulesOffer},
        {"\n\n  \t\n\n", rulesOffer},
        {"y", "Press enter to continue; "},
        {"y\n", "Press enter to continue; "},
        {"y please", "Press enter to continue; "},
        {"y\n\n", "Press enter to continue; "},
        {"y\n\n\n\n", "Press enter to play; "},
        {"n", count},
        {"n\n", count},
        {"n 2", count},
        {"n\n7\n", "Please enter the number of players (2-5): "},
        {"n\n\n", "Please enter the number of players (2-5): "},
        {"n\n2", action},
        {"n\n2\n", action},
        {"n\n2\n\n\n \n", action},
        {"n\n2\nx\n", "Invalid action!\n" + action},
        {"n\n2\nt\n", "Invalid Move!!!\n\nIt is player #1's turn: " + action},
        {"n\n2\nt 2", "Invalid Move!!!\n\nIt is player #1's turn: " + action},
        {"n\n2\nd", draw},
        {"n\n2\nd\n", draw},
        {"n\n2\nd 1", draw},
        {"n\n2\nd\n\n", "Invalid Move!!!\n\nThe card drawn is +2\n" + draw},
        {"n\n2\nd\n1", "It is player #2's turn: " + action},
        {"n\n2\nd\n1\nt\n", take},
    };
    for (const Case& c : cases) {
        const SessionResult result = runSession(c.input);
        EXPECT_EQ(result.status, 0) << c.input;
        EXPECT_TRUE(result.output.ends_with(c.ending)) << c.input << "\n" << result.output;
    }
}

TEST(EndOfInput, TheFirstQuestionsWriteNothingMore) {
    EXPECT_EQ(runSession("").output, rulesOffer);
    EXPECT_EQ(runSession("\n \n\t\n").output, rulesOffer);
    EXPECT_EQ(runSession("n\n").output, rulesOffer + count);
    EXPECT_EQ(runSession("No\n7\n").output,
              rulesOffer + count + "Please enter the number of players (2-5): ");
}

// Cutting a golden session after any of its lines leaves a session whose
// output is the start of the whole one, cut right after a question.
TEST(EndOfInput, AtEveryLineOfEveryGoldenSession) {
    for (const GoldenSession& session : goldenSessions()) {
        pinClock(session.pinnedTime);
        const std::string& input = session.input;
        std::size_t cuts = 0;
        for (std::size_t end = 0; end <= input.size(); end = input.find('\n', end) + 1) {
            const SessionResult result = runSession(input.substr(0, end));
            EXPECT_EQ(result.status, 0);
            EXPECT_TRUE(session.expectedOutput.starts_with(result.output))
                << session.name << " cut at " << end;
            EXPECT_TRUE(endsAtAQuestion(result.output)) << session.name << " cut at " << end;
            // A last line without its newline still counts as a whole line.
            if (end >= 2 && input[end - 2] != '\n') {
                EXPECT_EQ(runSession(input.substr(0, end - 1)).output, result.output)
                    << session.name << " cut at " << end - 1;
            }
            ++cuts;
            if (input.find('\n', end) == std::string::npos) {
                break;
            }
        }
        const auto lines = static_cast<std::size_t>(std::count(input.begin(), input.end(), '\n'));
        EXPECT_EQ(cuts, lines + 1) << session.name;
    }
}

} // namespace

} // namespace pellaro
