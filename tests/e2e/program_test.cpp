#include "engine/game_state.h"
#include "running_program.h"
#include "support/golden_sessions.h"
#include "support/whole_games.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pellaro {

namespace {

TEST(Program, PlaysEveryGoldenSessionByteForByte) {
    const std::vector<GoldenSession> sessions = goldenSessions();
    ASSERT_GE(sessions.size(), 4U);
    for (const GoldenSession& session : sessions) {
        const ProgramRun run = runProgram(session.input, {}, pinnedAt(session.pinnedTime));
        EXPECT_EQ(run.status, 0) << session.name;
        EXPECT_EQ(run.output, session.expectedOutput) << session.name;
    }
}

TEST(Program, ThePreloadedClockChoosesTheDeck) {
    for (const std::uint32_t seconds : {1000U, 1001U, 1002U, 77777U}) {
        const GameState game = newGame(2, seconds);
        const ProgramRun run = runProgram("n\n2\nd\n1\nd\n1\n", {}, pinnedAt(seconds));
        EXPECT_NE(run.output.find("Row #1| " + std::string(cardLabels[game.deck[0]]) + ' ' +
                                  std::string(cardLabels[game.deck[1]]) + " \n"),
                  std::string::npos)
            << seconds;
    }
    EXPECT_NE(runProgram("n\n2\nd\n", {}, pinnedAt(1000)).output,
              runProgram("n\n2\nd\n", {}, pinnedAt(1001)).output);
}

TEST(Program, ExitsWithZeroOnADeclinedReplayAndAtTheEndOfInput) {
    const std::string game = "n\n" + wholeGameAnswers(3, 5000);
    struct Case {
        std::string input;
        std::string ending;
    };
    const std::vector<Case> cases = {
        {game + "n\n", "(Y/N) "},
        {game + "maybe", "(Y/N) "},
        {game, "(Y/N) "},
        {"", "(Y/N) "},
        {"y\n", "Press enter to continue; "},
        {"n\n", "(2-5): "},
        {"n\n3\n", "(D)raw a card or (T)ake a row? "},
        {"n\n3\nd\n", "Please enter the row to place it on: "},
    };
    for (const Case& c : cases) {
        const ProgramRun run = runProgram(c.input, {}, pinnedAt(5000));
        EXPECT_EQ(run.status, 0) << c.input;
        EXPECT_TRUE(run.output.ends_with(c.ending)) << c.input;
    }
}

TEST(Program, TakesNoNoticeOfArguments) {
    const std::string input = "n\n2\nd\n1\nt\n1\ny\n";
    const ProgramRun plain = runProgram(input, {}, pinnedAt(1000));
    ASSERT_EQ(plain.status, 0);
    const std::vector<std::vector<std::string>> argumentLists = {
        {"--help"}, {"5"}, {"-n", "3", "--rules"}, {""}, {"y", "n", "2"}};
    for (const std::vector<std::string>& arguments : argumentLists) {
        const ProgramRun run = runProgram(input, arguments, pinnedAt(1000));
        EXPECT_EQ(run.status, 0) << arguments.front();
        EXPECT_EQ(run.output, plain.output) << arguments.front();
    }
}

TEST(Program, EachQuestionIsOnScreenBeforeTheProgramWaits) {
    RunningProgram program = startProgram({}, pinnedAt(1000));
    const int wait = 30000;
    EXPECT_TRUE(readUntil(program, "Would you like to hear the rules? (Y/N) ", wait));
    send(program, "n\n");
    EXPECT_TRUE(readUntil(program, "Enter number of players (2-5): ", wait));
    send(program, "9\n");
    EXPECT_TRUE(readUntil(program, "Please enter the number of players (2-5): ", wait));
    send(program, "2\n");
    EXPECT_TRUE(
        readUntil(program, "It is player #1's turn: (D)raw a card or (T)ake a row? ", wait));
    send(program, "d\n");
    EXPECT_TRUE(
        readUntil(program, "The card drawn is +2\nPlease enter the row to place it on: ", wait));
    const std::size_t before = program.output.size();
    EXPECT_EQ(finish(program, wait), 0);
    EXPECT_EQ(program.output.size(), before);
}

} // namespace

} // namespace pellaro
