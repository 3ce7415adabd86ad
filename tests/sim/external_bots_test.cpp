#include "sim_program.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace pellaro {

namespace {

using Json = nlohmann::json;

// A bot that fails on purpose: folder, program, fault, good requests first.
std::string failingBot(const ScratchFolder& folder, const std::string& fault, int good) {
    return std::string("exec:") + PELLARO_FAILING_BOT + " " + folder.path.string() + " " +
           PELLARO_SIM_PROGRAM + " " + fault + " " + std::to_string(good);
}

// The lines the simulator wrote itself: a bot may add its own.
std::vector<std::string> ownLines(const std::string& err) {
    std::vector<std::string> own;
    std::istringstream stream(err);
    for (std::string line; std::getline(stream, line);) {
        if (line.starts_with("pellaro-sim: ")) {
            own.push_back(line);
        }
    }
    return own;
}

// Every bot process the folder's bots started has ended, waiting for the
// kernel to deliver a parent's death.
bool noneLeft(const ScratchFolder& folder) {
    std::istringstream pids(readText(folder.file("pids")));
    for (pid_t pid = 0; pids >> pid;) {
        if (!waitFor([pid] { return kill(pid, 0) != 0; }, 30)) {
            return false;
        }
    }
    return true;
}

// Whatever way a program's bot fails, the run stops with status 2 and one
// line that names the bot, the deal and the move; the deals finished before
// count in a report marked partial; no bot process is left.
TEST(ExternalBots, EveryFailureStopsTheRunWithOneLineAndAPartialReport) {
    struct Case {
        std::string fault;
        int good;
        std::vector<std::string> more;
        std::string says;
        // The most seconds the run may take, 0 for any: far above the
        // limit it names, far below what a slow bot would stretch it to.
        int within;
    };
    const std::vector<Case> cases = {
        {"no-such-program", 0, {}, "could not be started", 0},
        {"exit-at-once", 0, {}, "exited with status 3", 0},
        {"exit-mid-game", 150, {}, "exited with status 4", 0},
        {"sleep", 150, {"--bot-timeout", "5"}, "gave no answer within 5 seconds", 0},
        // 20 bytes, one every half second: the limit is on the whole reply.
        {"trickle", 0, {"--bot-timeout", "2"}, "gave no answer within 2 seconds", 8},
        {"garbage", 150, {}, "wrote \"hello there\", which is not", 0},
        {"illegal", 150, {}, "chose row 5", 0},
        {"long", 150, {}, "wrote a line longer than 4096 bytes", 0},
    };
    for (const Case& test : cases) {
        const ScratchFolder folder;
        writeText(folder.file("pids"), "");
        const std::string bot = test.fault == "no-such-program"
                                    ? "exec:" + folder.file("no-such-program") + "  a   b"
                                    : failingBot(folder, test.fault, test.good);
        std::vector<std::string> arguments = {"run",
                                              "--bots",
                                              bot + ",greedy",
                                              "--games",
                                              "4",
                                              "--quiet",
                                              "--threads",
                                              "1",
                                              "--json",
                                              folder.file("summary.json")};
        arguments.insert(arguments.end(), test.more.begin(), test.more.end());
        const auto start = std::chrono::steady_clock::now();
        const SimRun run = runSim(arguments);
        const auto seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
        EXPECT_TRUE(test.within == 0 || seconds.count() < test.within) << test.fault;
        EXPECT_EQ(run.status, 2) << test.fault;
        const std::vector<std::string> own = ownLines(run.err);
        ASSERT_EQ(own.size(), 1U) << test.fault << run.err;
        const std::string deal = test.good == 0 ? "deal 0," : "deal 1,";
        EXPECT_TRUE(own[0].starts_with("pellaro-sim: bot exec:") &&
                    own[0].find(deal) != std::string::npos &&
                    std::regex_search(own[0], std::regex(", move [0-9]+: ")) &&
                    own[0].find(test.says) != std::string::npos)
            << own[0];
        // The command as given, its runs of spaces kept.
        EXPECT_TRUE(test.fault != "no-such-program" ||
                    own[0].starts_with("pellaro-sim: bot " + bot))
            << own[0];
        EXPECT_NE(run.out.find("PARTIAL: stopped by a bot's failure"), std::string::npos);
        const Json summary = Json::parse(readText(folder.file("summary.json")));
        EXPECT_TRUE(summary["coverage"]["interrupted"].get<bool>());
        EXPECT_EQ(summary["counts"]["deals"].get<int>(), test.good == 0 ? 0 : 1) << test.fault;
        EXPECT_TRUE(noneLeft(folder)) << test.fault;
    }
}

// No bot outlives the simulator: not at SIGTERM, which ends the run after
// its games under way, nor at SIGKILL, which gives it no time at all.
TEST(ExternalBots, NoBotOutlivesTheSimulator) {
    for (const int signal : {SIGTERM, SIGKILL}) {
        const ScratchFolder folder;
        writeText(folder.file("pids"), "");
        const SimProcess process =
            startSim({"run", "--bots", failingBot(folder, "none", 1'000'000'000) + ",greedy",
                      "--games", "1000", "--quiet", "--threads", "2"},
                     folder, "stopped");
        ASSERT_TRUE(waitFor(
            [&] { return catches(process.pid, SIGTERM) && !readText(folder.file("pids")).empty(); },
            60));
        kill(process.pid, signal);
        const SimRun stopped = finishSim(process);
        EXPECT_EQ(stopped.status, signal == SIGTERM ? 128 + SIGTERM : -1) << stopped.err;
        EXPECT_NE(readText(folder.file("pids")), "");
        EXPECT_TRUE(noneLeft(folder)) << signal;
    }
}

// A built-in bot served over the protocol plays the built-in bot's games,
// move for move, and a run with a program's bot is the same at any number
// of threads.
TEST(ExternalBots, AServedBotPlaysTheBuiltInGamesAtAnyThreads) {
    const ScratchFolder folder;
    const std::string served = std::string("exec:") + PELLARO_SIM_PROGRAM + " bot greedy";
    const std::string key = std::string(64, '7');
    const auto run = [&folder, &key](const std::string& bots, const std::string& threads,
                                     const std::string& name) {
        std::vector<std::string> arguments = {"run",
                                              "--bots",
                                              bots,
                                              "--games",
                                              "40",
                                              "--rotate",
                                              "--seed",
                                              "5",
                                              "--quiet",
                                              "--threads",
                                              threads,
                                              "--json",
                                              folder.file(name + ".json"),
                                              "--jsonl",
                                              folder.file(name + ".jsonl")};
        if (bots.starts_with("exec:")) {
            arguments.insert(arguments.end(), {"--bot-key", key});
        }
        const SimRun done = runSim(arguments);
        EXPECT_EQ(done.status, 0) << done.err;
        return std::make_pair(beforeTiming(readText(folder.file(name + ".json"))),
                              readText(folder.file(name + ".jsonl")));
    };
    const auto builtIn = run("greedy,random,greedy", "1", "built-in");
    const auto one = run(served + ",random,greedy", "1", "one");
    const auto two = run(served + ",random,greedy", "2", "two");
    EXPECT_EQ(one.first, two.first);
    EXPECT_EQ(one.second, two.second);
    // The records differ in the first bot's name alone.
    std::string renamed = one.second;
    for (std::size_t at = renamed.find(served); at != std::string::npos;
         at = renamed.find(served, at)) {
        renamed.replace(at, served.size(), "greedy");
    }
    EXPECT_EQ(renamed, builtIn.second);
}

// A run with a program's bot draws a key of its own for its requests' seeds
// and keeps it in its summary: given back, the key plays the run again, at
// any number of threads; another key plays other games. Shards merge only
// under one key.
TEST(ExternalBots, TheSummarysKeyPlaysTheRunAgain) {
    const ScratchFolder folder;
    // A program that plays at random, from its requests' seeds.
    const std::string served = std::string("exec:") + PELLARO_SIM_PROGRAM + " bot random";
    struct Played {
        std::string key;
        std::string summary;
        std::string records;
    };
    const auto run = [&folder, &served](const std::string& name,
                                        const std::vector<std::string>& more) {
        std::vector<std::string> arguments = {"run",
                                              "--bots",
                                              served + ",random",
                                              "--games",
                                              "30",
                                              "--seed",
                                              "3",
                                              "--quiet",
                                              "--json",
                                              folder.file(name + ".json"),
                                              "--jsonl",
                                              folder.file(name + ".jsonl")};
        if (std::find(more.begin(), more.end(), "--threads") == more.end()) {
            arguments.insert(arguments.end(), {"--threads", "1"});
        }
        arguments.insert(arguments.end(), more.begin(), more.end());
        const SimRun done = runSim(arguments);
        EXPECT_EQ(done.status, 0) << done.err;
        const std::string summary = readText(folder.file(name + ".json"));
        return Played{Json::parse(summary)["configuration"]["botKey"].get<std::string>(),
                      beforeTiming(summary), readText(folder.file(name + ".jsonl"))};
    };
    const Played first = run("first", {});
    const Played again = run("again", {"--bot-key", first.key});
    const Played twice = run("twice", {"--bot-key", first.key, "--threads", "2"});
    const Played fresh = run("fresh", {});
    EXPECT_EQ(first.key.size(), 64U);
    EXPECT_EQ(again.summary, first.summary);
    EXPECT_EQ(again.records, first.records);
    EXPECT_EQ(twice.summary, first.summary);
    EXPECT_EQ(twice.records, first.records);
    EXPECT_NE(fresh.key, first.key);
    EXPECT_NE(fresh.records, first.records);

    const auto merge = [&folder](const std::string& other) {
        return runSim({"merge", folder.file("half.json"), folder.file(other + ".json"), "--json",
                       folder.file("merged.json")});
    };
    run("half", {"--shard", "1/2", "--bot-key", first.key});
    run("other", {"--shard", "2/2"});
    const SimRun refused = merge("other");
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("another configuration"), std::string::npos) << refused.err;
    run("rest", {"--shard", "2/2", "--bot-key", first.key});
    const SimRun merged = merge("rest");
    ASSERT_EQ(merged.status, 0) << merged.err;
    EXPECT_EQ(beforeTiming(readText(folder.file("merged.json"))), first.summary);
}

} // namespace

} // namespace pellaro
