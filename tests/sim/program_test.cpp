#include "sim_program.h"

#include <csignal>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Json = nlohmann::json;

bool isOneLineError(const std::string& err) {
    return err.starts_with("pellaro-sim: ") && err.ends_with("\n") &&
           err.find('\n') == err.size() - 1;
}

std::string beforeTiming(const std::string& json) {
    const auto timing = json.find("\"timing\"");
    EXPECT_NE(timing, std::string::npos);
    return json.substr(0, timing);
}

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
        {with({"run", "--bots", "montecarlo:,random"}, outputs), "bad budget in 'montecarlo:'"},
        {with({"run", "--bots", "random,montecarlo:0"}, outputs), "bad budget in 'montecarlo:0'"},
        {with({"run", "--bots", "ismcts:x,random"}, outputs), "bad budget in 'ismcts:x'"},
        {with({"run", "--bots", "greedy:10,random"}, outputs), "bad budget in 'greedy:10'"},
        {with({"run", "--bots", "montecarlo:100000001"}, outputs), "bad budget"},
        {with({"run", "--bots", "montecarlo:-5,random"}, outputs), "bad budget"},
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

TEST(SimProgram, CtrlCReportsTheFinishedPrefixOfDeals) {
    const ScratchFolder folder;
    const std::vector<std::string> run = {"run",     "--bots",    "random,greedy",
                                          "--quiet", "--threads", "2"};
    const SimProcess process =
        startSim(with(run, {"--games", "1000000000", "--json", folder.file("partial.json")}),
                 folder, "partial");
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    kill(process.pid, SIGINT);
    const SimRun stopped = finishSim(process);
    ASSERT_EQ(stopped.status, 130) << stopped.err;
    EXPECT_NE(stopped.out.find("PARTIAL"), std::string::npos);
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
