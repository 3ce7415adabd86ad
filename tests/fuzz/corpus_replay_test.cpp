// Every seed of the fuzzer's corpus, crash cases kept from fuzzing included,
// replayed through the same checks as the fuzz target.

#include "session_check.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace pellaro {

namespace {

struct Seed {
    std::string name;
    std::string input;
};

std::vector<Seed> corpus() {
    std::vector<Seed> seeds;
    for (const auto& entry : std::filesystem::directory_iterator(PELLARO_FUZZ_CORPUS)) {
        std::ifstream file(entry.path(), std::ios::binary);
        seeds.push_back({entry.path().filename().string(),
                         std::string{std::istreambuf_iterator<char>(file), {}}});
    }
    return seeds;
}

// A seed named "<what>.scores-N" must play exactly N games to their score report.
int expectedScoreReports(const std::string& name) {
    const std::string marker = ".scores-";
    const std::size_t at = name.rfind(marker);
    return at == std::string::npos ? -1 : std::stoi(name.substr(at + marker.size()));
}

TEST(FuzzCorpus, EverySeedPassesTheSessionChecks) {
    const std::vector<Seed> seeds = corpus();
    // The generated seeds alone are over forty; fewer means the folder was not found whole.
    ASSERT_GE(seeds.size(), 40U);
    for (const Seed& seed : seeds) {
        const SessionResult session = playSession(seed.input);
        EXPECT_EQ(sessionFault(seed.input, session), "") << seed.name;
        const int reports = expectedScoreReports(seed.name);
        if (reports >= 0) {
            EXPECT_EQ(occurrences(session.output, "\nScores\n"), static_cast<std::size_t>(reports))
                << seed.name;
        }
    }
}

TEST(FuzzCorpus, TheChecksRejectBrokenSessions) {
    SessionResult good = playSession("n\n3\n");
    ASSERT_EQ(sessionFault("n\n3\n", good), "");

    struct Broken {
        const char* what;
        SessionResult session;
    };
    const std::string opening = "Would you like to hear the rules? (Y/N) ";
    const std::vector<Broken> broken = {
        {"status", {1, good.output, 0}},
        {"unread input", {0, good.output, 3}},
        {"stray byte",
         {0, good.output + std::string(1, '\x01') + "(D)raw a card or (T)ake a row? ", 0}},
        {"not at a question", {0, good.output + "\n", 0}},
        {"no opening offer", {0, good.output.substr(1), 0}},
        {"too long", {0, opening + std::string(outputPerInputByte * 5, 'x') + opening, 0}},
        {"scores without a replay question",
         {0, good.output + "\nScores\n(D)raw a card or (T)ake a row? ", 0}},
        {"second offer without a replay", {0, opening + opening, 0}},
    };
    for (const Broken& item : broken) {
        EXPECT_NE(sessionFault("n\n3\n", item.session), "") << item.what;
    }
}

TEST(FuzzCorpus, TheSeedFollowsEveryByte) {
    EXPECT_EQ(sessionSeed(""), 2166136261U);
    EXPECT_NE(sessionSeed("n\n2\n"), sessionSeed("n\n3\n"));
    EXPECT_NE(sessionSeed(std::string("\0", 1)), sessionSeed(""));
    // The same session deals the same decks.
    EXPECT_EQ(playSession("n\n2\nd\n1\n").output, playSession("n\n2\nd\n1\n").output);
}

} // namespace

} // namespace pellaro
