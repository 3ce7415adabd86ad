#include "console/console_view.h"
#include "support/golden_sessions.h"
#include "support/redirected_console.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pellaro {

namespace {

const std::string offer = "Would you like to hear the rules? (Y/N) ";
const std::string replay = "\nWould you like to play a new game? (Y/N) ";

// The whole walkthrough as the players see it, pauses answered with Enter.
std::string walkthrough() {
    const std::string recorded =
        readFile(std::string(PELLARO_GOLDEN_DIR) + "/rules_walkthrough.out");
    const std::string tail = "Enter number of players (2-5): ";
    EXPECT_TRUE(recorded.starts_with(offer));
    EXPECT_TRUE(recorded.ends_with(tail));
    return recorded.substr(offer.size(), recorded.size() - offer.size() - tail.size());
}

TEST(RulesOffer, AWordStartingWithNSkipsTheWalkthrough) {
    struct Case {
        std::string input;
        std::string unread;
    };
    const std::vector<Case> cases = {
        {"n\n", "\n"},     {"N\n", "\n"},         {"no\n", "\n"}, {"No thanks\n", " thanks\n"},
        {"n 3\n", " 3\n"}, {"\n\n  \nn\n", "\n"}, {"nope", ""},
    };
    for (const Case& c : cases) {
        RedirectedConsole console(c.input);
        const ConsoleView view{};
        view.offerRules();
        EXPECT_EQ(console.output(), offer) << c.input;
        EXPECT_EQ(console.unread(), c.unread) << c.input;
    }
}

TEST(RulesOffer, AnyOtherWordShowsTheWholeWalkthrough) {
    const std::string expected = offer + walkthrough();
    for (const std::string answer :
         {"y", "Y", "yes", "x", "1", "maybe", "?", "\n\ny", "y please"}) {
        // Text before Enter at a pause is ignored, even when it looks like an answer.
        for (const std::string pauses : {"\n\n\n\n", "n\n3\nt\nno\n"}) {
            RedirectedConsole console(
                std::string(answer).append("\n").append(pauses).append("4\n"));
            const ConsoleView view{};
            view.offerRules();
            EXPECT_EQ(console.output(), expected) << answer;
            EXPECT_EQ(console.unread(), "4\n") << answer;
        }
    }
}

TEST(RulesOffer, TheFirstPauseThrowsAwayTheRestOfTheAnswersLine) {
    // The words after y are no Enter at the first pause: with only three more
    // lines the walkthrough stops at its last pause.
    RedirectedConsole console("y please\n\n\n\n");
    const ConsoleView view{};
    view.offerRules();
    const std::string full = offer + walkthrough();
    const std::string lastPause = "Press enter to play; ";
    EXPECT_EQ(console.output(), full.substr(0, full.rfind(lastPause) + lastPause.size()));
}

TEST(RulesOffer, EachPauseWaitsForItsOwnLine) {
    const std::string full = offer + walkthrough();
    std::string lines;
    std::size_t from = 0;
    for (int pauses = 0; pauses < 4; ++pauses) {
        RedirectedConsole console("y\n" + lines);
        const ConsoleView view{};
        view.offerRules();
        // The output stops right after the pause that found no line.
        from = full.find("; ", full.find("Press enter to ", from)) + 2;
        EXPECT_EQ(console.output(), full.substr(0, from)) << pauses;
        lines += "\n";
    }
}

TEST(Replay, OnlyAFirstCharacterYOrYIsAYes) {
    struct Case {
        std::string input;
        bool again;
        std::string unread;
    };
    const std::vector<Case> cases = {
        {"y\n", true, "\n"},      {"Y\n", true, "\n"},
        {"yes\n", true, "\n"},    {"Yes\n", true, "\n"},
        {"yellow\n", true, "\n"}, {"y please\n", true, " please\n"},
        {"y n\n", true, " n\n"},  {"\n\n \ny\n", true, "\n"},
        {"y", true, ""},          {"n\n", false, "\n"},
        {"N\n", false, "\n"},     {"no\n", false, "\n"},
        {"x\n", false, "\n"},     {"1\n", false, "\n"},
        {"maybe\n", false, "\n"}, {"No thanks\n", false, " thanks\n"},
        {" ny\n", false, "\n"},   {"", false, ""},
        {"\n\n", false, ""},
    };
    for (const Case& c : cases) {
        RedirectedConsole console(c.input);
        const ConsoleView view{};
        EXPECT_EQ(view.askNewGame(), c.again) << c.input;
        EXPECT_EQ(console.output(), replay) << c.input;
        EXPECT_EQ(console.unread(), c.unread) << c.input;
    }
}

} // namespace

} // namespace pellaro
