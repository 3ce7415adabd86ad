#include "data_home.h"
#include "solo/results_file.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace pellaro {

namespace fs = std::filesystem;

namespace {

SoloResult game(std::int32_t players, const std::string& strength, std::int32_t winner) {
    return SoloResult{"2026-12-09T14:20:00Z", players, 1, strength, 7, {10, 20}, {winner}};
}

std::vector<std::string> linesOf(const fs::path& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(ResultsFile, AddsEachGameAndTalliesTheRecordByStrengthAndTableSize) {
    const TemporaryDataHome home;
    ASSERT_EQ(resultsFolder(), home.pellaro());
    std::vector<SoloResult> all;
    for (const SoloResult& record : {game(4, "hard", 1), game(4, "hard", 3), game(5, "hard", 1),
                                     game(4, "easy", 1), game(4, "hard", 1)}) {
        const RecordOutcome outcome = recordGame(resultsFolder(), record);
        EXPECT_TRUE(outcome.readEarlier);
        EXPECT_EQ(outcome.warnings, std::vector<std::string>{});
        EXPECT_EQ(outcome.earlier.size(), all.size());
        all.push_back(record);
    }
    const WinTally tally = tallyOf(all, "hard", 4);
    EXPECT_EQ(tally.games, 3);
    EXPECT_EQ(tally.wins, 2);
    const std::vector<std::string> lines = linesOf(home.pellaro() / "results.jsonl");
    ASSERT_EQ(lines.size(), 5U);
    EXPECT_EQ(lines[0], R"({"date":"2026-12-09T14:20:00Z","people":1,"players":4,"scores":[10,20],)"
                        R"("seed":7,"strength":"hard","winners":[1]})");
    // Nothing but the file and its lock is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(home.pellaro()), fs::directory_iterator()), 2);
}

// Every failure costs one line of warning and loses no earlier game.
TEST(ResultsFile, EachFailureIsOneLineOfWarning) {
    struct Case {
        const char* name;
        void (*spoil)(const fs::path& folder);
        std::string warning;
        bool readEarlier;
        std::size_t linesAfter;
    };
    const std::vector<Case> cases = {
        {"corrupt",
         [](const fs::path& folder) {
             std::ofstream(folder / "results.jsonl", std::ios::app) << "{\"date\": 3\nnot json\n";
         },
         "2 lines of ", true, 2},
        {"unreadable",
         [](const fs::path& folder) {
             fs::remove(folder / "results.jsonl");
             fs::create_directory(folder / "results.jsonl");
         },
         "cannot ", false, 0},
        {"unwritable",
         [](const fs::path& folder) {
             fs::remove_all(folder);
             std::ofstream(folder) << "a file where the folder should be\n";
         },
         "cannot use ", false, 0},
    };
    for (const Case& c : cases) {
        const TemporaryDataHome home;
        recordGame(resultsFolder(), game(3, "easy", 1));
        c.spoil(home.pellaro());
        const RecordOutcome outcome = recordGame(resultsFolder(), game(3, "easy", 2));
        ASSERT_EQ(outcome.warnings.size(), 1U) << c.name;
        EXPECT_NE(outcome.warnings[0].find(c.warning), std::string::npos) << outcome.warnings[0];
        EXPECT_EQ(outcome.warnings[0].find('\n'), std::string::npos) << c.name;
        EXPECT_EQ(outcome.readEarlier, c.readEarlier) << c.name;
        if (c.linesAfter > 0) {
            EXPECT_EQ(linesOf(home.pellaro() / "results.jsonl").size(), c.linesAfter) << c.name;
            EXPECT_EQ(outcome.earlier.size(), 1U) << c.name;
            // The unreadable lines are kept, not thrown away.
            EXPECT_EQ(linesOf(home.pellaro() / "results.jsonl.corrupt").size(), 3U) << c.name;
        }
    }
}

TEST(ResultsFile, WithoutAnyHomeNothingIsWritten) {
    const TemporaryDataHome home;
    const char* const oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome != nullptr ? oldHome : "";
    setenv("XDG_DATA_HOME", "relative/path", 1);
    setenv("HOME", home.folder.c_str(), 1);
    EXPECT_EQ(resultsFolder(), home.folder / ".local" / "share" / "pellaro");
    unsetenv("HOME");
    EXPECT_EQ(resultsFolder(), fs::path());
    const RecordOutcome outcome = recordGame(resultsFolder(), game(2, "easy", 1));
    EXPECT_EQ(outcome.warnings.size(), 1U);
    EXPECT_FALSE(outcome.readEarlier);
    if (oldHome != nullptr) {
        setenv("HOME", savedHome.c_str(), 1);
    }
}

// Games ending at once, each writer with its own lock, lose no game and mix
// no lines.
TEST(ResultsFile, TwoWritersAtOnceLoseNothing) {
    const TemporaryDataHome home;
    constexpr int games = 40;
    std::vector<std::thread> writers;
    writers.reserve(2);
    for (int w = 0; w < 2; ++w) {
        writers.emplace_back([w] {
            for (int g = 0; g < games; ++g) {
                recordGame(resultsFolder(), game(2 + w, "medium", 1));
            }
        });
    }
    for (std::thread& writer : writers) {
        writer.join();
    }
    const RecordOutcome outcome = recordGame(resultsFolder(), game(2, "medium", 2));
    EXPECT_EQ(outcome.warnings, std::vector<std::string>{});
    EXPECT_EQ(outcome.earlier.size(), 2U * games);
    EXPECT_EQ(tallyOf(outcome.earlier, "medium", 3).games, games);
}

TEST(ResultsFile, DatesAreWrittenInUtc) {
    EXPECT_EQ(recordDate(0), "1970-01-01T00:00:00Z");
    EXPECT_EQ(recordDate(1796828400), "2026-12-09T15:00:00Z");
}

} // namespace

} // namespace pellaro
