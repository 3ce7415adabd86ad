#include "data_home.h"
#include "solo/record_statistics.h"
#include "solo/results_file.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace pellaro {

namespace fs = std::filesystem;

namespace {

// A game that could have been played: the winner alone holds the top score.
SoloResult game(std::int32_t players, const std::string& strength, std::int32_t winner) {
    std::vector<std::int32_t> scores(static_cast<std::size_t>(players), 10);
    scores[static_cast<std::size_t>(winner - 1)] = 20;
    return SoloResult{"2026-12-09T14:20:00Z", players, 1, strength, 7, scores, {winner}};
}

void writeBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

std::string lineOf(const SoloResult& record) {
    return nlohmann::json(record).dump() + '\n';
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
    const RecordFigures tally = figuresOf(all, RecordGroup{Strength::Hard, 4, false});
    EXPECT_EQ(tally.games, 3);
    EXPECT_EQ(tally.wins, 2);
    const std::vector<std::string> lines = linesOf(home.pellaro() / "results.jsonl");
    ASSERT_EQ(lines.size(), 5U);
    EXPECT_EQ(lines[0],
              R"({"date":"2026-12-09T14:20:00Z","people":1,"players":4,"scores":[20,10,10,10],)"
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
        {"nowhere to write",
         [](const fs::path& folder) {
             fs::remove(folder / "results.jsonl");
             fs::create_symlink(folder / "missing" / "results.jsonl", folder / "results.jsonl");
         },
         "cannot write ", true, 0},
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
    EXPECT_EQ(figuresOf(outcome.earlier, RecordGroup{Strength::Medium, 3, false}).games, games);
}

TEST(ResultsFile, BlankLinesAndAMissingLastLineEndAreNoCorruption) {
    const TemporaryDataHome home;
    fs::create_directories(home.pellaro());
    const fs::path file = resultsFile(home.pellaro());
    // As editors leave them: an empty line, a line of spaces, Windows line
    // ends, and no line end after the last line.
    const std::string before =
        "\n" + lineOf(game(2, "easy", 1)) + "  \t\r\n\r\n" +
        lineOf(game(3, "hard", 2)).insert(0, " ") + "\n" +
        lineOf(game(2, "easy", 2)).substr(0, lineOf(game(2, "easy", 2)).size() - 1);
    writeBytes(file, before);
    const RecordOutcome outcome = recordGame(home.pellaro(), game(4, "medium", 1));
    EXPECT_EQ(outcome.warnings, std::vector<std::string>{});
    EXPECT_EQ(outcome.earlier.size(), 3U);
    // Untouched, and the game on a line of its own.
    EXPECT_EQ(bytesOf(file), before + '\n' + lineOf(game(4, "medium", 1)));
    EXPECT_FALSE(fs::exists(file.string() + ".corrupt"));
}

// A hand-written line that no game of this program could have left is told,
// never counted, and kept byte for byte, whatever its numbers would become.
TEST(ResultsFile, ImpossibleRecordsAreRefusedAndKeptAsTheyWere) {
    const std::string good = lineOf(game(4, "hard", 2));
    const auto spoilt = [&good](const std::string& from, const std::string& to) {
        std::string line = good.substr(0, good.size() - 1);
        const std::size_t at = line.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return line.replace(at, from.size(), to);
    };
    struct Case {
        std::string line;
        std::string why;
    };
    const std::vector<Case> cases = {
        {"{\"date\": 3", "not JSON"},
        {"[1, 2]", "not a game's record"},
        {spoilt(R"("date":"2026-12-09T14:20:00Z")", R"("date":null)"), "no date"},
        {spoilt(R"("date":"2026-12-09T14:20:00Z",)", ""), "no date"},
        {spoilt(R"("players":4)", R"("players":6)"), "no number of players from 2 to 5"},
        {spoilt(R"("players":4)", R"("players":4.5)"), "no number of players from 2 to 5"},
        {spoilt(R"("players":4)", R"("players":"4")"), "no number of players from 2 to 5"},
        {spoilt(R"("people":1)", R"("people":9)"), "no number of people from 1 to 3"},
        {spoilt(R"("people":1)", R"("people":0)"), "no number of people from 1 to 3"},
        {spoilt(R"("people":1)", R"("people":18446744073709551615)"),
         "no number of people from 1 to 3"},
        {spoilt(R"("strength":"hard")", R"("strength":"Hard")"),
         "no strength easy, medium or hard"},
        {spoilt(R"("strength":"hard")", R"("strength":3)"), "no strength easy, medium or hard"},
        {spoilt(R"(,"strength":"hard")", ""), "no strength easy, medium or hard"},
        {spoilt(R"("seed":7,)", ""), "no seed from 0 to 4294967295"},
        {spoilt(R"("seed":7)", R"("seed":-5)"), "no seed from 0 to 4294967295"},
        {spoilt(R"("seed":7)", R"("seed":4294967296)"), "no seed from 0 to 4294967295"},
        {spoilt(R"("scores":[10,20,10,10])", R"("scores":[10,20,10])"),
         "not one score for each of the 4 players"},
        {spoilt(R"("scores":[10,20,10,10])", R"("scores":[10,20,10,2147483648])"),
         "not one score for each of the 4 players"},
        {spoilt(R"("winners":[2])", R"("winners":[1,7])"),
         "winners other than those of the top score"},
        {spoilt(R"("scores":[10,20,10,10])", R"("scores":[10,20,10,18446744073709551615])"),
         "not one score for each of the 4 players"},
        {spoilt(R"("scores":[10,20,10,10])", R"("scores":"10,20,10,10")"),
         "not one score for each of the 4 players"},
        {spoilt(R"("scores":[10,20,10,10],)", ""), "not one score for each of the 4 players"},
        {spoilt(R"("winners":[2])", R"("winners":2)"), "winners other than those of the top score"},
        {spoilt(R"("winners":[2])", R"("winners":[2,3])"),
         "winners other than those of the top score"},
        {spoilt(R"("winners":[2])", R"("winners":[1])"),
         "winners other than those of the top score"},
        {spoilt(R"("winners":[2])", R"("winners":[2.0])"),
         "winners other than those of the top score"},
        {spoilt(R"(,"winners":[2])", ""), "winners other than those of the top score"},
    };
    for (const Case& c : cases) {
        const TemporaryDataHome home;
        fs::create_directories(home.pellaro());
        const fs::path file = resultsFile(home.pellaro());
        writeBytes(file, good + c.line + '\n');
        const ResultsRead read = readResults(file);
        ASSERT_EQ(read.unread.size(), 1U) << c.line;
        EXPECT_EQ(read.unread[0].number, 2) << c.line;
        EXPECT_EQ(read.unread[0].why, c.why) << c.line;
        const RecordOutcome outcome = recordGame(home.pellaro(), game(2, "easy", 1));
        EXPECT_EQ(outcome.earlier.size(), 1U) << c.line;
        ASSERT_EQ(outcome.warnings.size(), 1U) << c.line;
        EXPECT_EQ(outcome.warnings[0], "warning: line 2 of " + file.string() + " is no game (" +
                                           c.why + "); the file as it was is kept as " +
                                           file.string() +
                                           ".corrupt, and results.jsonl keeps the other lines.");
        EXPECT_EQ(bytesOf(file.string() + ".corrupt"), good + c.line + '\n') << c.line;
        EXPECT_EQ(bytesOf(file), good + lineOf(game(2, "easy", 1))) << c.line;
    }
}

// However many lines are no game, the warning is one line.
TEST(ResultsFile, UnreadLinesAreToldInOneLine) {
    const std::vector<UnreadLine> unread = {
        {2, "not JSON"}, {4, "no date"}, {5, "not JSON"}, {9, "not JSON"}, {12, "no date"}};
    const std::vector<std::pair<std::ptrdiff_t, std::string>> told = {
        {1, "warning: line 2 of /r is no game (not JSON)"},
        {2, "warning: 2 lines of /r are no game (line 2: not JSON; line 4: no date)"},
        {5, "warning: 5 lines of /r are no game (line 2: not JSON; line 4: no date; line 5: not "
            "JSON; and 2 more)"}};
    for (const auto& [count, warning] : told) {
        EXPECT_EQ(unreadLinesWarning("/r", {unread.begin(), unread.begin() + count}), warning);
    }
}

// Each file set aside keeps its own name: a second corruption never
// overwrites the first copy, nor one the player made.
TEST(ResultsFile, EachCorruptionIsKeptUnderANewName) {
    const TemporaryDataHome home;
    const fs::path file = resultsFile(home.pellaro());
    const std::string first = lineOf(game(2, "easy", 1));
    recordGame(home.pellaro(), game(2, "easy", 1));
    std::ofstream(file, std::ios::app) << "first damage\n";
    recordGame(home.pellaro(), game(2, "easy", 2));
    writeBytes(file.string() + ".corrupt.2", "the player's own\n");
    std::ofstream(file, std::ios::app) << "second damage\n\n";
    const std::string beforeSecond = bytesOf(file);
    const RecordOutcome outcome = recordGame(home.pellaro(), game(2, "easy", 1));
    ASSERT_EQ(outcome.warnings.size(), 1U);
    EXPECT_NE(outcome.warnings[0].find("line 3 of "), std::string::npos) << outcome.warnings[0];
    EXPECT_NE(outcome.warnings[0].find(file.string() + ".corrupt.3,"), std::string::npos)
        << outcome.warnings[0];
    EXPECT_EQ(bytesOf(file.string() + ".corrupt"), first + "first damage\n");
    EXPECT_EQ(bytesOf(file.string() + ".corrupt.2"), "the player's own\n");
    EXPECT_EQ(bytesOf(file.string() + ".corrupt.3"), beforeSecond);
    EXPECT_EQ(bytesOf(file), first + lineOf(game(2, "easy", 2)) + "\n" + first);
    EXPECT_EQ(fs::status(file).permissions(), fs::status(file.string() + ".corrupt").permissions());
}

// A file the player made read-only is never written, but its games are
// still shown; so are those of a folder whose lock cannot be taken.
TEST(ResultsFile, AFileThatCannotBeWrittenIsLeftAsItIsAndStillRead) {
    struct Case {
        const char* name;
        void (*spoil)(const fs::path& folder);
        std::string warning;
        bool damaged;
    };
    const std::vector<Case> cases = {
        {"read-only",
         [](const fs::path& folder) {
             fs::permissions(resultsFile(folder), fs::perms::owner_read | fs::perms::group_read |
                                                      fs::perms::others_read);
         },
         " is read-only; this game's result was not saved.", true},
        {"no lock",
         [](const fs::path& folder) {
             fs::remove(folder / "results.lock");
             fs::create_directory(folder / "results.lock");
         },
         "cannot lock ", false},
    };
    for (const Case& c : cases) {
        const TemporaryDataHome home;
        const fs::path file = resultsFile(home.pellaro());
        recordGame(home.pellaro(), game(3, "easy", 1));
        if (c.damaged) {
            std::ofstream(file, std::ios::app) << "damage\n";
        }
        c.spoil(home.pellaro());
        const std::string before = bytesOf(file);
        const fs::perms permissions = fs::status(file).permissions();
        const RecordOutcome outcome = recordGame(home.pellaro(), game(3, "easy", 2));
        EXPECT_TRUE(outcome.readEarlier) << c.name;
        EXPECT_EQ(outcome.earlier.size(), 1U) << c.name;
        ASSERT_EQ(outcome.warnings.size(), c.damaged ? 2U : 1U) << c.name;
        if (c.damaged) {
            EXPECT_EQ(outcome.warnings[0], "warning: line 2 of " + file.string() +
                                               " is no game (not JSON); not counted.");
        }
        EXPECT_NE(outcome.warnings.back().find(c.warning), std::string::npos)
            << outcome.warnings.back();
        EXPECT_EQ(bytesOf(file), before) << c.name;
        EXPECT_EQ(fs::status(file).permissions(), permissions) << c.name;
        EXPECT_FALSE(fs::exists(file.string() + ".corrupt")) << c.name;
    }
}

// Where no copy can be made beside the file, its unread lines stay in it,
// and the game is still added.
TEST(ResultsFile, LinesThatCannotBeSetAsideStayAndTheGameIsAdded) {
    const TemporaryDataHome home;
    // A folder so deep that the copy's name is longer than any path may be.
    fs::path folder = home.folder;
    const std::size_t length = 4095 - std::string("/results.jsonl.corrupt").size() + 1;
    while (folder.string().size() < length) {
        const std::size_t room = length - folder.string().size() - 1;
        folder /= std::string(std::min<std::size_t>(room, 200), 'd');
    }
    const fs::path file = resultsFile(folder);
    ASSERT_LT(file.string().size(), 4095U);
    recordGame(folder, game(2, "hard", 1));
    std::ofstream(file, std::ios::app) << "damage\n";
    const std::string before = bytesOf(file);
    const RecordOutcome outcome = recordGame(folder, game(2, "hard", 2));
    ASSERT_EQ(outcome.warnings.size(), 1U);
    EXPECT_NE(outcome.warnings[0].find(
                  "is no game (not JSON); not counted, and left in place: cannot set the file "
                  "aside (File name too long)."),
              std::string::npos)
        << outcome.warnings[0];
    EXPECT_EQ(bytesOf(file), before + lineOf(game(2, "hard", 2)));
}

// In a child process of the test: adds a game while no file may grow beyond
// the limit, tells the warnings, and exits with 0 when the folder holds the
// results file as it was and its lock, and nothing else; exit() rather than
// _Exit(), so that instrumented builds keep what the child ran.
[[noreturn]] void addWithinSizeLimit(const fs::path& folder, rlim_t bytes,
                                     const std::string& earlier) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit usual{};
    getrlimit(RLIMIT_FSIZE, &usual);
    rlimit limit = usual;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
    const RecordOutcome outcome = recordGame(folder, game(2, "easy", 2));
    // The limit holds for the test's record of standard error too.
    setrlimit(RLIMIT_FSIZE, &usual);
    for (const std::string& warning : outcome.warnings) {
        std::cerr << warning << '\n';
    }
    const bool asItWas =
        bytesOf(resultsFile(folder)) == earlier &&
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()) == 2;
    std::exit(asItWas ? 0 : 1);
}

// A results file that is a link to the player's own file stays one, and
// the game goes to that file.
TEST(ResultsFile, ALinkedFileIsNeverReplaced) {
    const TemporaryDataHome home;
    fs::create_directories(home.pellaro());
    const fs::path own = home.folder / "kept elsewhere.jsonl";
    writeBytes(own, lineOf(game(3, "medium", 3)) + "damage\n");
    fs::create_symlink(own, resultsFile(home.pellaro()));
    const RecordOutcome outcome = recordGame(home.pellaro(), game(3, "medium", 1));
    ASSERT_EQ(outcome.warnings.size(), 1U);
    EXPECT_TRUE(outcome.warnings[0].ends_with(
        "; not counted, and left in place: cannot set the file aside (it is a symbolic link)."))
        << outcome.warnings[0];
    EXPECT_TRUE(fs::is_symlink(resultsFile(home.pellaro())));
    EXPECT_EQ(bytesOf(own),
              lineOf(game(3, "medium", 3)) + "damage\n" + lineOf(game(3, "medium", 1)));
}

// A game that cannot be written whole leaves the file as it was: no half
// line, no copy. The file size limit cuts the writes short, in a child
// process of the test.
TEST(ResultsFile, AWriteCutShortLeavesTheFileAsItWas) {
    struct Case {
        const char* name;
        std::string earlier;
        // Bytes the file may grow by.
        rlim_t room;
        // A regular expression.
        std::string warning;
    };
    const std::string line = lineOf(game(2, "easy", 1));
    const std::vector<Case> cases = {
        {"part of the line", line, 5,
         "cannot write .*\\(only part of the line could be written\\)"},
        {"none of it", line, 0, "cannot write .*\\(File too large\\)"},
        {"a file set aside", line + "damage\n", 0,
         "cannot set the file aside \\(File too large\\)"},
    };
    for (const Case& c : cases) {
        const TemporaryDataHome home;
        fs::create_directories(home.pellaro());
        const fs::path file = resultsFile(home.pellaro());
        writeBytes(file, c.earlier);
        EXPECT_EXIT(addWithinSizeLimit(home.pellaro(), c.earlier.size() + c.room, c.earlier),
                    testing::ExitedWithCode(0), c.warning)
            << c.name;
    }
}

TEST(ResultsFile, DatesAreWrittenInUtc) {
    EXPECT_EQ(recordDate(0), "1970-01-01T00:00:00Z");
    EXPECT_EQ(recordDate(1796828400), "2026-12-09T15:00:00Z");
}

} // namespace

} // namespace pellaro
