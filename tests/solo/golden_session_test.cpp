#include "e2e/running_program.h"
#include "solo_session.h"
#include "support/golden_sessions.h"
#include "support/pinned_clock.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<GoldenSession> soloGoldenSessions() {
    return goldenSessionsIn(PELLARO_SOLO_GOLDEN_DIR);
}

TEST(SoloGolden, TheSoloLoopInMemoryWritesTheRecordedBytes) {
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
        const ProgramRun run = runProgram(session.input, {}, pinnedAt(session.pinnedTime));
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
         {"Enter number of players (2-5): Enter number of people (1-4): ",
          "Please enter the number of people (1-4): ",
          "Computer players: (E)asy, (M)edium or (H)ard? Invalid choice!\n", "Row #5| ",
          "Please enter the row to place it on: Player #2 ", "\nPlayer #5 takes row ",
          "Player #3 draws ", " and places it on row ", "Player #3 takes row ",
          ".\n\n\n\n\nCurrent board\n", "Invalid action!\n", "Invalid Move!!!\n",
          "LAST ROUND!!\nCurrent board",
          "Enter number of people (1-2): Please enter the number of people (1-2): ",
          "\nScores\nPlayer 1 scored ", "Would you like to play a new game? (Y/N) "}) {
        EXPECT_NE(all.find(shown), std::string::npos) << shown;
    }
}

} // namespace
