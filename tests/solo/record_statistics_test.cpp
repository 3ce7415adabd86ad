#include "data_home.h"
#include "e2e/running_program.h"
#include "solo/record_statistics.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace pellaro {

namespace {

// A game of the people at the seats given, its winners those of the top score.
SoloResult played(const std::string& strength, std::vector<std::int32_t> scores,
                  std::int32_t people = 1) {
    const std::int32_t top = *std::max_element(scores.begin(), scores.end());
    std::vector<std::int32_t> winners;
    for (std::size_t seat = 0; seat < scores.size(); ++seat) {
        if (scores[seat] == top) {
            winners.push_back(static_cast<std::int32_t>(seat) + 1);
        }
    }
    return SoloResult{"2026-12-09T14:20:00Z",
                      static_cast<std::int32_t>(scores.size()),
                      people,
                      strength,
                      1,
                      std::move(scores),
                      std::move(winners)};
}

// Games with several people are counted apart from one person's, and a
// game is won when any person shares the top score.
TEST(RecordStatistics, OnePersonIsCountedApartFromSeveral) {
    const std::vector<SoloResult> games = {
        played("medium", {30, 10, 20}),    played("medium", {10, 30, 20}, 2),
        played("medium", {10, 20, 30}, 2), played("medium", {20, 10, 20}),
        played("hard", {30, 10, 20}),      played("medium", {30, 10, 20, 0})};
    const RecordFigures alone = figuresOf(games, RecordGroup{Strength::Medium, 3, false});
    EXPECT_EQ(alone.games, 2);
    EXPECT_EQ(alone.wins, 2);
    const RecordFigures together = figuresOf(games, RecordGroup{Strength::Medium, 3, true});
    EXPECT_EQ(together.games, 2);
    EXPECT_EQ(together.wins, 1);
}

// Games of one person at two players from the person's and the computer
// player's scores.
std::vector<SoloResult>
headToHead(const std::vector<std::pair<std::int32_t, std::int32_t>>& scores) {
    std::vector<SoloResult> games;
    games.reserve(scores.size());
    for (const auto& [person, computer] : scores) {
        games.push_back(played("easy", {person, computer}));
    }
    return games;
}

TEST(RecordStatistics, StreaksAndTheLastGamesFollowTheOrderOfPlay) {
    struct Case {
        std::vector<std::pair<std::int32_t, std::int32_t>> scores;
        std::int32_t streak;
        std::int32_t bestStreak;
        std::int32_t recent;
        std::int32_t recentWins;
        // The record's last line: the trend only when there are games before
        // the last ten, and no word of several people.
        std::string lastLine;
    };
    const std::vector<Case> cases = {
        {{{1, 0}, {1, 0}, {0, 1}, {1, 1}, {1, 0}, {1, 0}},
         3,
         3,
         6,
         5,
         "  Winning streak 3; best 3"},
        {{{1, 0}, {1, 0}, {1, 0}, {0, 1}}, 0, 3, 4, 3, "  Winning streak 0; best 3"},
        {{{0, 1}}, 0, 0, 1, 0, "  Winning streak 0; best 0"},
        {{{1, 0}, {1, 0}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {1, 0}},
         1,
         2,
         10,
         2,
         "  Last 10 games 20% won; the 1 before 100%"},
    };
    for (const Case& c : cases) {
        const RecordFigures figures =
            figuresOf(headToHead(c.scores), RecordGroup{Strength::Easy, 2, false});
        EXPECT_EQ(figures.games, static_cast<std::int32_t>(c.scores.size()));
        EXPECT_EQ(figures.streak, c.streak) << c.scores.size();
        EXPECT_EQ(figures.bestStreak, c.bestStreak) << c.scores.size();
        EXPECT_EQ(figures.recent, c.recent) << c.scores.size();
        EXPECT_EQ(figures.recentWins, c.recentWins) << c.scores.size();
        EXPECT_EQ(recordLines(headToHead(c.scores)).back(), c.lastLine);
    }
}

// Writes the lines as the results file of the folder.
void writeResults(const std::filesystem::path& folder, const std::vector<std::string>& lines) {
    std::filesystem::create_directories(folder);
    std::ofstream out(resultsFile(folder), std::ios::binary);
    for (const std::string& line : lines) {
        out << line << '\n';
    }
}

std::vector<std::string> mixedResults() {
    std::vector<std::string> lines = {nlohmann::json(played("hard", {10, 20, 30, 5, 0})).dump()};
    const std::vector<SoloResult> easy = headToHead({{30, 20},
                                                     {10, 20},
                                                     {25, 25},
                                                     {30, 10},
                                                     {5, 15},
                                                     {20, 10},
                                                     {20, 10},
                                                     {20, 10},
                                                     {10, 30},
                                                     {10, 20},
                                                     {40, 20},
                                                     {30, 20}});
    for (std::size_t g = 0; g < easy.size(); ++g) {
        lines.push_back(nlohmann::json(easy[g]).dump());
        if (g == 3) {
            lines.push_back(nlohmann::json(played("medium", {10, 30, 20, 25}, 2)).dump());
            lines.emplace_back("damage");
            lines.emplace_back("");
        } else if (g == 7) {
            lines.push_back(nlohmann::json(played("medium", {10, 15, 40, 20}, 2)).dump());
        }
    }
    return lines;
}

// Easy: 8 of 12 won (Wilson 39% to 86%), scores 250 and margins 40 in all,
// 3 wins in a row at best and 2 at the end, 7 of the last 10 won and 1 of the
// 2 before. Several people at Medium: one win by 5 and one loss by 25. Hard:
// one loss by 20.
TEST(RecordStatistics, StatsShowEveryGroupWithinEightyColumnsAndChangeNothing) {
    const TemporaryDataHome home;
    writeResults(home.pellaro(), mixedResults());
    const std::string before = bytesOf(resultsFile(home.pellaro()));
    std::ostringstream out;
    std::ostringstream warnings;
    EXPECT_EQ(showRecord(home.pellaro(), out, warnings), 0);
    EXPECT_EQ(out.str(),
              "Your record from the results file, by strength and table size. The margin\n"
              "is your score less the best other score.\n"
              "\n"
              "Against Easy at two players: 12 games\n"
              "  Won 8: 67% (95% interval 39% to 86%)\n"
              "  Mean score 20.8; mean margin +3.3\n"
              "  Winning streak 2; best 3\n"
              "  Last 10 games 70% won; the 2 before 50%\n"
              "\n"
              "Several people against Medium at four players: 2 games\n"
              "  Won 1: 50% (95% interval 9% to 91%)\n"
              "  Mean score 22.5; mean margin -10.0\n"
              "  Winning streak 0; best 1\n"
              "\n"
              "Against Hard at five players: 1 game\n"
              "  Won 0: 0% (95% interval 0% to 79%)\n"
              "  Mean score 10.0; mean margin -20.0\n"
              "  Winning streak 0; best 0\n"
              "\n"
              "With several people, a game is won when one of them wins; the score is the\n"
              "best of theirs, and the margin its lead over the computer players.\n");
    EXPECT_EQ(warnings.str(), "pellaro-solo: warning: line 7 of " +
                                  resultsFile(home.pellaro()).string() +
                                  " is no game (not JSON); not counted.\n");
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(line.size(), 80U) << line;
    }
    // Read only: the file as it was, and no lock file made.
    EXPECT_EQ(bytesOf(resultsFile(home.pellaro())), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home.pellaro()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(RecordStatistics, WithoutGamesOneLineSaysWhy) {
    struct Case {
        const char* name;
        void (*make)(const std::filesystem::path& folder);
        int status;
        std::string out;
        std::string warning;
    };
    const std::vector<Case> cases = {
        {"no file", [](const std::filesystem::path&) {}, 0,
         "No games recorded yet: there is no results file.\n", ""},
        {"blank lines",
         [](const std::filesystem::path& folder) {
             writeResults(folder, {"", " "});
         },
         0, "No games recorded yet: the results file holds none.\n", ""},
        {"nothing readable",
         [](const std::filesystem::path& folder) { writeResults(folder, {"[]"}); }, 0,
         "No games recorded yet: the results file holds none.\n",
         " is no game (not a game's record); not counted.\n"},
        {"a folder in its place",
         [](const std::filesystem::path& folder) {
             std::filesystem::create_directories(resultsFile(folder));
         },
         1, "", " (not a file)\n"},
        {"a file in the folder's place",
         [](const std::filesystem::path& folder) { std::ofstream(folder) << "not a folder\n"; }, 1,
         "", " (Not a directory)\n"},
    };
    for (const Case& c : cases) {
        const TemporaryDataHome home;
        c.make(home.pellaro());
        std::ostringstream out;
        std::ostringstream warnings;
        EXPECT_EQ(showRecord(home.pellaro(), out, warnings), c.status) << c.name;
        EXPECT_EQ(out.str(), c.out) << c.name;
        EXPECT_TRUE(warnings.str().ends_with(c.warning)) << warnings.str();
        EXPECT_EQ(warnings.str().empty(), c.warning.empty()) << c.name;
    }
    std::ostringstream out;
    std::ostringstream warnings;
    EXPECT_EQ(showRecord({}, out, warnings), 0);
    EXPECT_EQ(out.str(), "No games recorded: neither XDG_DATA_HOME nor HOME is set.\n");
}

// The real program's --stats shows the same record from the results file,
// after a game added under the lock that the reading then shares.
TEST(RecordStatistics, TheRealProgramShowsTheRecordAndExits) {
    const TemporaryDataHome home;
    writeResults(home.pellaro(), mixedResults());
    recordGame(home.pellaro(), played("easy", {30, 20}));
    std::ostringstream out;
    std::ostringstream warnings;
    showRecord(home.pellaro(), out, warnings);
    EXPECT_NE(out.str().find("Against Easy at two players: 13 games\n"), std::string::npos);
    const ProgramRun run = runProgram("", {"--stats"}, {home.setting()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, out.str());
    const TemporaryDataHome empty;
    const ProgramRun none = runProgram("", {"--stats"}, {empty.setting()});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.output, "No games recorded yet: there is no results file.\n");
}

} // namespace

} // namespace pellaro
