#include "support/golden_sessions.h"
#include "support/pinned_clock.h"
#include "support/session.h"

#include <gtest/gtest.h>
#include <string>

namespace pellaro {

namespace {

TEST(GoldenSessions, TheMainLoopInMemoryWritesTheRecordedBytes) {
    for (const GoldenSession& session : goldenSessions()) {
        pinClock(session.pinnedTime);
        const SessionResult result = runSession(session.input);
        EXPECT_EQ(result.status, 0) << session.name;
        EXPECT_EQ(result.output, session.expectedOutput) << session.name;
    }
}

// Guards against regenerating the sessions into ones that no longer show
// what they are kept for.
TEST(GoldenSessions, CoverWhatTheyAreKeptFor) {
    std::string all;
    for (const GoldenSession& session : goldenSessions()) {
        EXPECT_FALSE(session.input.empty()) << session.name;
        EXPECT_FALSE(session.expectedOutput.empty()) << session.name;
        all += session.expectedOutput;
    }
    for (const std::string shown :
         {"Row #2| \n\nThe players' hands\nPlayer #1|", "Row #5| ", "LAST ROUND!!\nCurrent board",
          "The winners are Player ", " and Player 3 and Player 4 with a score of ",
          "with a score of -", "Scoring Table\n", "Invalid action!\n", "Invalid Move!!!\n",
          "Please enter the number of players (2-5): ", "Press enter to play; \n"}) {
        EXPECT_NE(all.find(shown), std::string::npos) << shown;
    }
}

} // namespace

} // namespace pellaro
