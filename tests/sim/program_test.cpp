#include "sim_program.h"

#include <csignal>
#include <gtest/gtest.h>
#include <limits>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace pellaro {

namespace {

using Json = nlohmann::json;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

const std::vector<std::string> threePlayers = {"run",     "--bots",    "greedy,random,random",
                                               "--seed",  "11",        "--rotate",
                                               "--quiet", "--threads", "2"};

std::vector<std::string> with(std::vector<std::string> arguments,
                              const std::vector<std::string>& more) {
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

TEST(SimProgram, BadInputGetsOneLineStatusTwoAndNoFile) {
    const ScratchFolder folder;
    writeText(folder.file("summary.json"), "{\"program\": \"another\"}\n");
    const std::string out = folder.file("out");
    const std::vector<std::string> outputs = {"--json",       out + ".json", "--jsonl",
                                              out + ".jsonl", "--svg",       out + ".svg"};
    struct Case {
        std::vector<std::string> arguments;
        std::string says;
    };
    const std::vector<Case> cases = {
        {with({"run", "--bots", "random,sneaky"}, outputs), "unknown bot 'sneaky'"},
        {with({"run", "--players", "4", "--bots", "random,greedy,random"}, outputs),
         "names 3 bots for 4 players"},
        {with({"run", "--players", "1", "--bots", "random"}, outputs), "from 2 to 5, not 1"},
        {with({"run", "--players", "6", "--bots", "random"}, outputs), "from 2 to 5, not 6"},
        {with({"run", "--bots", "random,random,random,random,random,random"}, outputs),
         "from 2 to 5, not 6"},
        {with({"run", "--bots", "random,random", "--games", "0"}, outputs), "--games"},
        {with({"run", "--bots", "random,random", "--games=-5"}, outputs), "--games"},
        {with({"run", "--bots", "random,random", "--games", "many"}, outputs), "--games"},
        {with({"run", "--bots", "random,random", "--shard", "0/4"}, outputs), "--shard"},
        {with({"run", "--bots", "random,random", "--shard", "5/4"}, outputs), "--shard"},
        {with({"run", "--bots", "random,random", "--shard", "2-4"}, outputs), "--shard"},
        {with({"run", "--bots", "random,random", "--shard", "1/4x"}, outputs), "--shard"},
        {with({"run", "--bots", "random,random", "--threads", "0"}, outputs), "--threads"},
        {with({"run", "--bots", "random,random", "--budget", "0"}, outputs), "--budget"},
        {with({"run", "--bots", "random,random", "--bot-timeout", "nan"}, outputs),
         "--bot-timeout"},
        {with({"run", "--bots", "random,random", "--bot-timeout", "-inf"}, outputs),
         "--bot-timeout"},
        {with({"run", "--bots", "random,random", "--bot-timeout", "0"}, outputs), "--bot-timeout"},
        {with({"run", "--bots", "random,random", "--bot-timeout", "1e300"}, outputs),
         "--bot-timeout"},
        {with({"run", "--bots", "montecarlo:,random"}, outputs), "bad budget in 'montecarlo:'"},
        {with({"run", "--bots", "random,montecarlo:0"}, outputs), "bad budget in 'montecarlo:0'"},
        {with({"run", "--bots", "ismcts:x,random"}, outputs), "bad budget in 'ismcts:x'"},
        {with({"run", "--bots", "greedy:10,random"}, outputs), "bad budget in 'greedy:10'"},
        {with({"run", "--bots", "montecarlo:100000001"}, outputs), "bad budget"},
        {with({"run", "--bots", "montecarlo:-5,random"}, outputs), "bad budget"},
        {with({"run", "--bots", "montecarlo:exploration=0.3,random"}, outputs),
         "--bots: montecarlo does not read exploration"},
        {with({"run", "--bots", "sneaky:5,random"}, outputs), "unknown bot 'sneaky:5'"},
        {with({"run", "--bots", "random,random", "--jsonl", out + ".jsonl", "--json",
               folder.file("missing/summary.json")},
              {}),
         "cannot write"},
        {with({"run", "--bots", "random,random", "--json", out + ".json", "--jsonl",
               folder.path.string()},
              {}),
         "not a regular file"},
        {{"merge", folder.file("summary.json"), "--json", out + ".json"}, "not a summary"},
        {{"merge", folder.file("absent.json"), "--svg", out + ".svg"}, "cannot read"},
        {{"show", folder.file("absent.jsonl"), "--game", "0"}, "cannot read"},
        {with({"run", "--bots", "random,random", "--json", out + ".x", "--jsonl", out + ".x"}, {}),
         "same file"},
        {with({"run", "--bots", "random,random", "--json", out + ".x", "--svg",
               folder.file("./out.x")},
              {}),
         "same file"},
        {{"merge", folder.file("summary.json"), "--json", out + ".x", "--svg", out + ".x"},
         "same file"},
        {{"run", "--bots", "random,random", "--json", "-", "--jsonl", "-"}, "same file"},
        {{"run", "--bots", "random,random", "--json", ""}, "--json"},
        {{"run", "--bots", "random,random", "--jsonl", ""}, "--jsonl"},
        {{"run", "--bots", "random,random", "--svg", ""}, "--svg"},
        {{"merge", folder.file("summary.json"), "--json", ""}, "--json"},
        {{"run", "--bots", "random," + std::string(120000, 'x')}, "unknown bot"},
        {{"run", "--bots", "random,random", "--shard", std::string(120000, '7')}, "--shard"},
        {{"run", "--bots", "random,random", "--seed", std::string(120000, '9')}, "--seed"},
        {{"run", "--bots", "random,random", "--games", std::string(120000, '9')}, "--games"},
        {{"run", "--bots", "random,random", "--" + std::string(120000, 'q')}, ""},
        {{"run", "--bots", "exec:true,random", "--bot-key", std::string(63, 'a')}, "--bot-key"},
        {{"run", "--bots", "exec:true,random", "--bot-key", std::string(65, 'a')}, "--bot-key"},
        {{"run", "--bots", "exec:true,random", "--bot-key", std::string(63, 'a') + "g"},
         "--bot-key"},
        {{"run", "--bots", "exec:true,random", "--bot-key", ""}, "--bot-key"},
        {{"run", "--bots", "random,random", "--bot-key", std::string(64, 'a')},
         "--bot-key is for a run with an exec: bot"},
        {{"run", "--games", "10"}, "--bots"},
        {{"fly"}, ""},
        {{}, ""},
    };
    for (const Case& c : cases) {
        const std::string shown = testing::PrintToString(c.arguments);
        const SimRun run = runSim(c.arguments);
        EXPECT_EQ(run.status, 2) << shown;
        EXPECT_TRUE(isOneLineError(run.err)) << shown << ": " << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << shown << ": " << run.err;
        EXPECT_EQ(run.out, "") << shown;
        EXPECT_EQ(folder.names(), std::vector<std::string>{"summary.json"}) << shown;
    }
}

TEST(SimProgram, FourShardsOnSeparateProcessesMergeIntoTheWholeRun) {
    const ScratchFolder folder;
    const std::vector<std::string> run = with(threePlayers, {"--games", "203"});
    std::vector<SimProcess> shards;
    for (int k = 1; k <= 4; ++k) {
        const std::string part = folder.file("part" + std::to_string(k));
        shards.push_back(startSim(with(run, {"--shard", std::to_string(k) + "/4", "--json",
                                             part + ".json", "--jsonl", part + ".jsonl"}),
                                  folder, "shard" + std::to_string(k)));
    }
    const SimRun whole = runSim(
        with(run, {"--json", folder.file("whole.json"), "--jsonl", folder.file("whole.jsonl")}));
    ASSERT_EQ(whole.status, 0) << whole.err;
    std::string joinedRecords;
    std::vector<std::string> merge = {"merge"};
    for (int k = 1; k <= 4; ++k) {
        const SimRun shard = finishSim(shards[static_cast<std::size_t>(k - 1)]);
        ASSERT_EQ(shard.status, 0) << shard.err;
        const std::string part = folder.file("part" + std::to_string(k));
        joinedRecords += readText(part + ".jsonl");
        merge.push_back(part + ".json");
    }
    // In any order.
    std::swap(merge[1], merge[3]);
    const SimRun merged = runSim(with(merge, {"--json", folder.file("merged.json")}));
    ASSERT_EQ(merged.status, 0) << merged.err;

    const std::string wholeJson = readText(folder.file("whole.json"));
    EXPECT_EQ(beforeTiming(readText(folder.file("merged.json"))), beforeTiming(wholeJson));
    EXPECT_EQ(joinedRecords, readText(folder.file("whole.jsonl")));
    EXPECT_EQ(lines(joinedRecords).size(), 203U * 3);
    // The report's figures are the same too; only the throughput line differs.
    const std::vector<std::string> mergedReport = lines(merged.out);
    const std::vector<std::string> wholeReport = lines(whole.out);
    ASSERT_EQ(mergedReport.size(), wholeReport.size());
    for (std::size_t i = 0; i + 1 < wholeReport.size(); ++i) {
        EXPECT_EQ(mergedReport[i], wholeReport[i]);
    }
    EXPECT_TRUE(wholeReport.back().starts_with("Throughput"));
    EXPECT_TRUE(Json::parse(wholeJson)["coverage"]["complete"].get<bool>());
}

TEST(SimProgram, MergeRefusesOtherConfigurationsAndDealsCountedTwice) {
    const ScratchFolder folder;
    const std::vector<std::string> run = {"run", "--rotate", "--quiet"};
    struct Part {
        std::string name;
        std::vector<std::string> arguments;
    };
    const std::vector<Part> parts = {
        {"a", {"--bots", "greedy,random,random", "--games", "40", "--shard", "1/2"}},
        {"b", {"--bots", "greedy,random,random", "--games", "40", "--shard", "2/2"}},
        {"seed",
         {"--bots", "greedy,random,random", "--games", "40", "--shard", "2/2", "--seed", "12"}},
        {"bots", {"--bots", "random,greedy,random", "--games", "40", "--shard", "2/2"}},
        {"games", {"--bots", "greedy,random,random", "--games", "41", "--shard", "2/2"}},
        {"whole", {"--bots", "greedy,random,random", "--games", "40"}},
    };
    for (const Part& part : parts) {
        const SimRun done =
            runSim(with(with(run, part.arguments), {"--json", folder.file(part.name)}));
        ASSERT_EQ(done.status, 0) << part.name << ": " << done.err;
    }
    const std::vector<std::vector<std::string>> refused = {
        {"a", "seed"}, {"a", "bots"}, {"a", "games"}, {"a", "whole"}, {"b", "b"}};
    for (const std::vector<std::string>& names : refused) {
        const SimRun merged = runSim({"merge", folder.file(names[0]), folder.file(names[1]),
                                      "--json", folder.file("merged")});
        EXPECT_EQ(merged.status, 2) << names[1];
        EXPECT_TRUE(isOneLineError(merged.err)) << merged.err;
        EXPECT_EQ(merged.out, "");
        EXPECT_FALSE(std::filesystem::exists(folder.file("merged"))) << names[1];
    }
    EXPECT_EQ(runSim({"merge", folder.file("a"), folder.file("b")}).status, 0);
}

TEST(SimProgram, MergeRefusesCountsThatContradictThemselves) {
    const ScratchFolder folder;
    const std::string good = folder.file("good.json");
    ASSERT_EQ(runSim({"run", "--bots", "greedy,random,random", "--games", "30", "--quiet", "--json",
                      good})
                  .status,
              0);
    const Json summary = Json::parse(readText(good));
    const auto at = [&summary](const char* pointer) {
        return summary.at(Json::json_pointer(pointer)).get<std::int64_t>();
    };
    constexpr std::int64_t most = std::numeric_limits<std::int64_t>::max();
    struct Case {
        const char* pointer;
        Json value;
        // The field the error names.
        const char* field;
    };
    const std::vector<Case> cases = {
        {"/counts/seats/0/shareUnits", 2370, "seats[0].shareUnits"},
        {"/counts/seats/0/outrightWins", 39, "seats[0].outrightWins"},
        {"/counts/bots/1/outrightWins", 61, "bots[1].outrightWins"},
        {"/counts/seats/1/games", -30, "seats[1].games"},
        {"/counts/seats/1/games", 29, "seats[1].games"},
        {"/counts/seats/2/shareUnits", at("/counts/seats/2/shareUnits") + 60,
         "seats[2].shareUnits"},
        {"/counts/tiedGames", 31, "tiedGames"},
        {"/counts/rounds/least", at("/counts/rounds/most") + 1, "rounds"},
        {"/counts/scoreCounts/0/90", at("/counts/scoreCounts/0/90") + 1, "scoreCounts[0]"},
        {"/counts/seats/0/scoreSum", most, "seats[0].scoreSum"},
        {"/counts/bots/0/dealScoreSquares", -1, "bots[0].dealScoreSquares"},
        {"/counts/spreadSum", -5, "spreadSum"},
        // Cut short to 32 bits these would agree with the other counts.
        {"/counts/rounds/least", at("/counts/rounds/least") + (std::int64_t{1} << 32), "counts"},
        {"/configuration/players", 3 + (std::int64_t{1} << 32), "configuration"},
        // Fractions and numbers beyond any integer are not read at all.
        {"/configuration/players", 1e30, "configuration.players"},
        {"/configuration/deals", 2.5, "configuration.deals"},
        {"/configuration/budget", -1e30, "configuration.budget"},
        {"/coverage/deals/0/1", 1e30, "coverage.deals[0][1]"},
    };
    for (const Case& c : cases) {
        Json tampered = summary;
        tampered.at(Json::json_pointer(c.pointer)) = c.value;
        const std::string path = folder.file("tampered.json");
        writeText(path, tampered.dump(2));
        const SimRun merged = runSim({"merge", path});
        EXPECT_EQ(merged.status, 2) << c.pointer;
        EXPECT_TRUE(isOneLineError(merged.err)) << merged.err;
        EXPECT_NE(merged.err.find(path + ": "), std::string::npos) << merged.err;
        EXPECT_NE(merged.err.find(c.field), std::string::npos) << c.pointer << ": " << merged.err;
        EXPECT_EQ(merged.out, "") << c.pointer;
    }

    // Two halves whose score sums each fit but together would not.
    std::vector<std::string> merge = {"merge"};
    for (const char* half : {"1/2", "2/2"}) {
        const std::string path = folder.file(std::string("half") + half[0] + ".json");
        ASSERT_EQ(runSim({"run", "--bots", "greedy,random", "--games", "30", "--quiet", "--shard",
                          half, "--json", path})
                      .status,
                  0);
        Json tampered = Json::parse(readText(path));
        tampered["counts"]["seats"][0]["scoreSum"] = most / 2 + 2;
        writeText(path, tampered.dump());
        merge.push_back(path);
    }
    const SimRun overflowing = runSim(merge);
    EXPECT_EQ(overflowing.status, 2) << overflowing.out;
    EXPECT_NE(overflowing.err.find("seats[0].scoreSum"), std::string::npos) << overflowing.err;
}

TEST(SimProgram, NoSignalLeavesHiddenFilesBehind) {
    struct Case {
        std::vector<int> signals;
        // The status of a run that stopped by itself, reporting what it did.
        int status;
        // Whether the signals may instead end the program, leaving no output.
        bool mayKill;
    };
    const std::vector<Case> cases = {{{SIGTERM}, 143, false},
                                     {{SIGHUP}, 129, false},
                                     {{SIGINT, SIGINT}, 130, true},
                                     {{SIGKILL}, -1, true}};
    for (const Case& c : cases) {
        const ScratchFolder folder;
        // Searching bots, so that the games under way may outlast the second signal.
        const SimProcess process =
            startSim({"run", "--bots", "montecarlo:300,random", "--games", "1000000", "--quiet",
                      "--threads", "2", "--json", folder.file("s.json"), "--jsonl",
                      folder.file("s.jsonl"), "--svg", folder.file("s.svg")},
                     folder, "run");
        ASSERT_TRUE(waitFor([&process] { return catches(process.pid, SIGINT); }, 60));
        for (const int signal : c.signals) {
            kill(process.pid, signal);
            // Each delivered before the next is sent, so that none merge.
            ASSERT_TRUE(signal == SIGKILL ||
                        waitFor([&] { return !pending(process.pid, signal); }, 30));
        }
        const SimRun stopped = finishSim(process);
        if (c.mayKill && stopped.status == -1) {
            // Killed before or after an output was given its name, never
            // with one half-named.
            for (const std::string& name : folder.names()) {
                EXPECT_FALSE(name.starts_with(".")) << c.signals[0] << ": " << name;
            }
            continue;
        }
        EXPECT_EQ(stopped.status, c.status) << c.signals[0] << ": " << stopped.err;
        EXPECT_NE(stopped.out.find("PARTIAL"), std::string::npos) << c.signals[0];
        EXPECT_EQ(folder.names(),
                  (std::vector<std::string>{"run.err", "run.out", "s.json", "s.jsonl", "s.svg"}))
            << c.signals[0];
    }
}

// Two outputs on one file are refused however the file is named, existing
// or not, before anything is written.
TEST(SimProgram, OutputsOnOneFileAreRefusedHoweverNamed) {
    const ScratchFolder folder;
    std::filesystem::create_directory(folder.path / "sub");
    writeText(folder.file("e"), "");
    std::filesystem::create_hard_link(folder.path / "e", folder.path / "h");
    const std::vector<std::string> before = folder.names();
    // Names relative to the folder: the program runs in it.
    const std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::current_path(folder.path);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"o", "./o"}, {"o", folder.file("o")}, {"o", "sub/../o"}, {"e", "h"}};
    for (const auto& [json, records] : cases) {
        const SimRun run = runSim({"run", "--bots", "random,random", "--games", "2", "--quiet",
                                   "--json", json, "--jsonl", records});
        EXPECT_EQ(run.status, 2) << records;
        EXPECT_TRUE(isOneLineError(run.err)) << run.err;
        EXPECT_NE(run.err.find("same file"), std::string::npos) << run.err;
        // The run may not leave a file behind, whatever the analyser infers.
        // cppcheck-suppress knownConditionTrueFalse
        EXPECT_EQ(folder.names(), before) << records;
    }
    std::filesystem::current_path(home);
}

// A second stop that is the first told twice, as `timeout` signals the
// program and then its process group, still gets the partial report.
TEST(SimProgram, AStopToldTwiceStillWritesThePartialReport) {
    // Whether the second signal comes from another process than the first.
    for (const bool otherSender : {false, true}) {
        const ScratchFolder folder;
        // Slow games, so that the games under way outlast the second signal.
        const SimProcess process =
            startSim({"run", "--bots", "montecarlo:5000,random", "--games", "1000000", "--quiet",
                      "--threads", "2", "--json", folder.file("s.json")},
                     folder, "run");
        ASSERT_TRUE(waitFor([&process] { return catches(process.pid, SIGTERM); }, 60));
        kill(process.pid, SIGTERM);
        // Delivered apart, not merged into one pending signal.
        ASSERT_TRUE(waitFor([&process] { return !pending(process.pid, SIGTERM); }, 30));
        if (otherSender) {
            const pid_t sender = fork();
            if (sender == 0) {
                kill(process.pid, SIGTERM);
                _exit(0);
            }
            waitpid(sender, nullptr, 0);
        } else {
            kill(process.pid, SIGTERM);
        }
        const SimRun stopped = finishSim(process);
        EXPECT_EQ(stopped.status, 128 + SIGTERM) << otherSender << ": " << stopped.err;
        EXPECT_NE(stopped.out.find("PARTIAL"), std::string::npos) << otherSender;
        EXPECT_EQ(folder.names(), (std::vector<std::string>{"run.err", "run.out", "s.json"}))
            << otherSender;
    }
}

TEST(SimProgram, OneDealGivesNoIntervalAndFewDealsAWiderOne) {
    const SimRun one = runSim({"run", "--bots", "greedy,random,random", "--games", "1", "--quiet"});
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_NE(one.out.find("no interval from one deal"), std::string::npos) << one.out;
    EXPECT_FALSE(std::regex_search(one.out, std::regex(R"(\d\.\d+%? to -?\d)"))) << one.out;
    EXPECT_NE(one.out.find("\n1 deal, one game each;"), std::string::npos) << one.out;
    EXPECT_NE(one.out.find(": 1 game\n"), std::string::npos) << one.out;
}

TEST(SimProgram, ReportFitsEightyColumnsAndGivesSeatOneOnlyWhereSeatsCompare) {
    struct Case {
        std::vector<std::string> arguments;
        bool seatOneGiven;
    };
    const std::vector<Case> cases = {
        {{"--bots", "greedy,random,clairvoyant", "--budget", "2"}, false},
        {{"--bots", "greedy,random,clairvoyant:2", "--rotate"}, true},
        {{"--bots", "greedy", "--players", "5"}, true},
    };
    for (const Case& c : cases) {
        const SimRun run = runSim(with(with({"run", "--games", "20", "--quiet"}, c.arguments), {}));
        ASSERT_EQ(run.status, 0) << run.err;
        for (const std::string& line : lines(run.out)) {
            EXPECT_LE(line.size(), 80U) << line;
        }
        EXPECT_EQ(run.out.find("Seat 1 advantage   not given") == std::string::npos, c.seatOneGiven)
            << run.out;
    }
}

TEST(SimProgram, OneOutputMayGoToStandardOutputAndTheReportToStandardError) {
    const ScratchFolder folder;
    const std::vector<std::string> run = {"run",     "--bots", "greedy,random",
                                          "--games", "40",     "--quiet"};
    const SimRun toFiles =
        runSim(with(run, {"--jsonl", folder.file("g.jsonl"), "--json", folder.file("s.json"),
                          "--svg", folder.file("c.svg")}));
    ASSERT_EQ(toFiles.status, 0) << toFiles.err;
    for (const auto& [option, file] : std::vector<std::pair<std::string, std::string>>{
             {"--jsonl", "g.jsonl"}, {"--json", "s.json"}, {"--svg", "c.svg"}}) {
        const SimRun piped = runSim(with(run, {option, "-"}));
        ASSERT_EQ(piped.status, 0) << piped.err;
        const std::string expected = readText(folder.file(file));
        if (option == "--json") {
            EXPECT_EQ(beforeTiming(piped.out), beforeTiming(expected));
        } else if (option == "--jsonl") {
            EXPECT_EQ(piped.out, expected);
        } else {
            EXPECT_EQ(piped.out.size(), expected.size());
        }
        const std::vector<std::string> report = lines(piped.err);
        const std::vector<std::string> printed = lines(toFiles.out);
        ASSERT_EQ(report.size(), printed.size()) << option;
        EXPECT_TRUE(std::equal(report.begin(), report.end() - 1, printed.begin())) << option;
    }
}

TEST(SimProgram, CtrlCReportsTheFinishedPrefixOfDeals) {
    const ScratchFolder folder;
    const std::vector<std::string> run = {"run",     "--bots",    "random,greedy",
                                          "--quiet", "--threads", "2"};
    // The records on standard output show when a first deal has been counted.
    const SimProcess process = startSim(
        with(run, {"--games", "1000000000", "--json", folder.file("partial.json"), "--jsonl", "-"}),
        folder, "partial");
    ASSERT_TRUE(waitFor(
        [&process] { return catches(process.pid, SIGINT) && !readText(process.outPath).empty(); },
        60));
    kill(process.pid, SIGINT);
    const SimRun stopped = finishSim(process);
    ASSERT_EQ(stopped.status, 130) << stopped.err;
    EXPECT_NE(stopped.err.find("PARTIAL"), std::string::npos);
    const Json partial = Json::parse(readText(folder.file("partial.json")));
    EXPECT_TRUE(partial["coverage"]["interrupted"].get<bool>());
    const std::int64_t deals = partial["counts"]["deals"].get<std::int64_t>();
    ASSERT_GT(deals, 0);
    EXPECT_EQ(partial["coverage"]["deals"], Json::parse("[[0," + std::to_string(deals) + "]]"));

    // Exactly the counts of a whole run over those deals.
    ASSERT_EQ(
        runSim(with(run, {"--games", std::to_string(deals), "--json", folder.file("prefix.json")}))
            .status,
        0);
    const Json prefix = Json::parse(readText(folder.file("prefix.json")));
    EXPECT_EQ(partial["counts"], prefix["counts"]);
    EXPECT_EQ(partial["results"], prefix["results"]);
}

} // namespace

} // namespace pellaro
