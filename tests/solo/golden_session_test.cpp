#include "data_home.h"
#include "e2e/running_program.h"
#include "solo_session.h"
#include "support/golden_sessions.h"
#include "support/pinned_clock.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pellaro {

namespace {

std::vector<GoldenSession> soloGoldenSessions() {
    return goldenSessionsIn(PELLARO_SOLO_GOLDEN_DIR);
}

TEST(SoloGolden, TheSoloLoopInMemoryWritesTheRecordedBytes) {
    if (PELLARO_INSTRUMENTED) {
        GTEST_SKIP() << "the real program plays the same sessions in this build";
    }
    const std::vector<GoldenSession> sessions = soloGoldenSessions();
    ASSERT_FALSE(sessions.empty());
    for (const GoldenSession& session : sessions) {
        pinClock(session.pinnedTime);
        const SessionResult result = runSoloSession(session.input);
        EXPECT_EQ(result.status, 0) << session.name;
        EXPECT_EQ(result.output, session.expectedOutput) << session.name;
        // The replay answer's newline alone stays unread.
        EXPECT_EQ(result.unreadInput, 1U) << session.name;
    }
}

TEST(SoloGolden, TheRealProgramWritesTheRecordedBytes) {
    for (const GoldenSession& session : soloGoldenSessions()) {
        // Instrumented builds play the session of several people alone: the
        // one of five players against Hard, with its hints and review, takes
        // them minutes, and the optimised build plays it here and in memory.
        if (PELLARO_INSTRUMENTED && session.name == "one_against_four") {
            continue;
        }
        const TemporaryDataHome home;
        std::vector<std::string> settings = pinnedAt(session.pinnedTime);
        settings.push_back(home.setting());
        const ProgramRun run =
            runProgram(session.input, {}, settings, searchingSessionMilliseconds);
        EXPECT_EQ(run.status, 0) << session.name;
        EXPECT_EQ(run.output, session.expectedOutput) << session.name;
    }
}

// Guards against regenerating the session into one that no longer shows
// what it is kept for.
TEST(SoloGolden, CoversWhatItIsKeptFor) {
    std::string all;
    for (const GoldenSession& session : soloGoldenSessions()) {
        all += session.expectedOutput;
    }
    for (const std::string shown :
         {// The set-up, and who sits where.
          "Enter number of players (2-5): Enter number of people (1-4): ",
          "Please enter the number of people (1-4): ",
          "Computer players: (E)asy, (M)edium or (H)ard? Invalid choice!\n",
          "You are Player #1; Players #2 to #5 are Hard computer players.\n",
          "People play Players #1 and #2; Players #3 and #4 are Medium computer players.\n",
          // No question for the number of people at two players.
          "Enter number of players (2-5): Computer players: ",
          "You are Player #1; Player #2 is an Easy computer player.\n",
          // Rounds, moves and the table.
          "\nRound 1, opened by Player #1 (you).\nRound 1, 76 cards left to draw.\nRow 1: empty\n",
          "Player #2 (Hard)   R:", " is over. Taken: #", ", opened by Player #",
          "Player #3 (Hard) takes row ", " and places it on row ",
          ". LAST ROUND!\nRow 1: ", " took a row\n", "Player #2 (person), turn ", " (full)\n",
          "\nStill unseen: 76   R:9 G:9 B:9 Y:9 P:9 S:9 V:9 W:3 +2:10\n",
          // The last round, announced at its heading or at the draw that makes it so.
          "(you).\nThis is the last round: too few cards remain for another.\nRound ",
          ".\nThat draw makes this the last round: too few cards remain for another.\nRound ",
          "hint: \nYour draw makes this the last round: too few cards remain for another.\n",
          // The person's questions: refusals, the way back, no needless question, hints.
          "There is no row 6: the rows are 1 to 5.\n", " was already taken this round.\n",
          " is empty: there is nothing to take.\n",
          "Please answer D to draw, T to take a row, ? for a hint or S to save.\n",
          "Please type a row number (1-5), ? for a hint or S to save.\n",
          "Row to take (1-5), B to go back or ? for a hint: Player #1 (you), turn ",
          ": no row holds a card, so a card must be drawn.\n",
          " is the only one with room, so it goes there.\n",
          ": every row in play is full, so a row must be taken.\n",
          " is the only one left to take.\n", "Hint: Hard would draw. Chance of winning:\n   draw ",
          // A save asked for and declined, at either question.
          "or ? for a hint: Save this game and stop? (Y/N) Player #",
          "for a hint: Save this game and stop? (Y/N) Player #1 (you), turn ",
          "Hint: Hard would place it on row ",
          // At the Take question the Draw is weighed too.
          "for a hint: Hint: Hard would draw (B goes back). Chance of winning:\n   draw ",
          // The end of a game.
          "\nScores\nPlayer #1 (you) scored ",
          "\n  for:     ", "\n  against: ", "Against Hard at five players: 0 wins in 1 game.\n",
          "Several people against Medium at four players: 1 win in 1 game.\n",
          "Against Easy at two players: ", " in 2 games.\n",
          "This deal was seed 1405; to play it again: pellaro-solo --seed 1405\n",
          "Review your decisions against Hard's? (Y/N) Reviewing your decisions...\n",
          "Where Hard would have chosen otherwise, costliest first, in chance of winning:\nRound ",
          "costliest first, in expected points:\nRound ", ", your turn ",
          " of Player #2 (person) (cost ", "\n  Rows: 1: ", "; Hard would have taken row ",
          " other decisions cost less: ", "Play again with the same settings? (Y/N) ",
          "Play a new game with other settings? (Y/N) "}) {
        EXPECT_NE(all.find(shown), std::string::npos) << shown;
    }
}

} // namespace

} // namespace pellaro
