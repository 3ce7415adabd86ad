#include "sim_program.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace pellaro {

namespace {

using Json = nlohmann::json;

Json withoutTiming(const std::string& text) {
    Json json = Json::parse(text);
    json.erase("timing");
    return json;
}

// Shards of a tournament, merged in any order, are the whole tournament,
// whatever the threads; at two players and at four, as a gauntlet too.
TEST(TournamentProgram, ShardsMergeIntoTheWholeTournament) {
    const ScratchFolder folder;
    const std::vector<std::vector<std::string>> tournaments = {
        {"--bots", "greedy,random,random:stream=1", "--games", "60"},
        {"--bots", "greedy,random,montecarlo:20", "--players", "4", "--games", "40"},
        {"--bots", "greedy,random,random:stream=1", "--players", "3", "--gauntlet", "--games",
         "30"},
    };
    for (const std::vector<std::string>& options : tournaments) {
        const auto play = [&](std::vector<std::string> more, const std::string& json) {
            std::vector<std::string> arguments = {"tournament", "--quiet", "--json", json};
            arguments.insert(arguments.end(), options.begin(), options.end());
            arguments.insert(arguments.end(), more.begin(), more.end());
            SimRun run = runSim(arguments);
            EXPECT_EQ(run.status, 0) << run.err;
            return run;
        };
        const std::string whole = folder.file("whole.json");
        const SimRun alone = play({"--threads", "1"}, whole);
        play({"--shard", "2/2", "--threads", "2"}, folder.file("b.json"));
        play({"--shard", "1/2"}, folder.file("a.json"));
        const std::string merged = folder.file("merged.json");
        const SimRun merge =
            runSim({"merge", folder.file("b.json"), folder.file("a.json"), "--json", merged});
        ASSERT_EQ(merge.status, 0) << merge.err;
        EXPECT_EQ(merge.out, alone.out) << options[1];
        EXPECT_EQ(withoutTiming(readText(merged)), withoutTiming(readText(whole))) << options[1];
    }
}

// The stronger bot ranks first; the cross-table's shares against each other
// add up to one; the gauntlet's reference sits at 0 with no interval.
TEST(TournamentProgram, RanksTheStrongerFirst) {
    const SimRun run = runSim({"tournament", "--bots", "random,greedy", "--players", "3",
                               "--gauntlet", "--games", "150", "--quiet", "--json", "-"});
    ASSERT_EQ(run.status, 0) << run.err;
    const Json json = Json::parse(run.out);
    const Json& ranking = json["ranking"];
    ASSERT_EQ(ranking.size(), 2U);
    EXPECT_EQ(ranking[0]["bot"], "greedy");
    EXPECT_GT(ranking[0]["interval"]["low"].get<double>(), 0);
    EXPECT_EQ(ranking[1]["bot"], "random");
    EXPECT_EQ(ranking[1]["rating"], 0);
    EXPECT_TRUE(ranking[1]["interval"].is_null());
    const Json& cross = json["crossTable"];
    EXPECT_NEAR(cross[0][1].get<double>() + cross[1][0].get<double>(), 1.0, 1e-12);
    EXPECT_TRUE(cross[0][0].is_null());
    // 150 games a table at three players: 50 deals, each bot alone once.
    EXPECT_EQ(json["tables"].size(), 2U);
    EXPECT_EQ(ranking[0]["games"], 300);
    EXPECT_NE(run.err.find("Rank  Rating  95 % interval"), std::string::npos) << run.err;
}

// A program takes part like a built-in bot: served greedy plays built-in
// greedy's games, so the tournament's figures are the same.
TEST(TournamentProgram, AProgramTakesPartLikeABuiltInBot) {
    const std::string served = std::string("exec:") + PELLARO_SIM_PROGRAM + " bot greedy";
    const auto ranking = [](const std::string& bot) {
        const SimRun run = runSim(
            {"tournament", "--bots", bot + ",random", "--games", "40", "--quiet", "--json", "-"});
        EXPECT_EQ(run.status, 0) << run.err;
        Json json = Json::parse(run.out);
        json["ranking"][0].erase("bot");
        return json["ranking"];
    };
    EXPECT_EQ(ranking(served), ranking("greedy"));
}

TEST(TournamentProgram, BadOptionsAndFilesGetOneLineAndStatusTwo) {
    const ScratchFolder folder;
    const std::string good = folder.file("good.json");
    ASSERT_EQ(
        runSim({"tournament", "--bots", "greedy,random", "--games", "8", "--quiet", "--json", good})
            .status,
        0);
    const std::string other = folder.file("other.json");
    ASSERT_EQ(runSim({"tournament", "--bots", "greedy,random", "--games", "8", "--seed", "2",
                      "--quiet", "--json", other})
                  .status,
              0);
    std::int32_t spoiltFiles = 0;
    const auto spoilt = [&](const char* pointer, const Json& value) {
        Json json = Json::parse(readText(good));
        json[Json::json_pointer(pointer)] = value;
        std::string path = folder.file("spoilt" + std::to_string(++spoiltFiles) + ".json");
        writeText(path, json.dump());
        return path;
    };
    struct Case {
        std::vector<std::string> arguments;
        std::string says;
    };
    const std::vector<Case> cases = {
        {{"tournament", "--bots", "greedy"}, "two bots or more"},
        {{"tournament", "--bots", "greedy,random,greedy"}, "names greedy twice"},
        {{"tournament", "--bots", "greedy,sneaky"}, "sneaky"},
        {{"tournament", "--bots", "greedy,random", "--players", "6"}, "--players"},
        {{"tournament", "--bots", "greedy,random", "--shard", "3/2"}, "--shard"},
        {{"tournament", "--bots", "greedy,random", "--json", "-", "--svg", "-"}, "same file"},
        {{"merge", good, good}, "counts deals that an earlier file counts already"},
        {{"merge", good, other}, "another configuration"},
        {{"merge", good, spoilt("/tables/0/orders/0/1", 1)}, "do not add up"},
        {{"merge", spoilt("/tables/0/orders/0/0", 4096)}, "an order that no game"},
        {{"merge", spoilt("/tables/0/pairsInDeals", Json::array())}, "pairs of orders"},
        {{"merge", spoilt("/tables/0/alone", 1)}, "not the table"},
        {{"merge", spoilt("/configuration/players", 9)}, "configuration is malformed"},
        {{"merge", spoilt("/tables", Json::array())}, "not those of its configuration"},
    };
    for (const Case& c : cases) {
        const std::string shown = testing::PrintToString(c.arguments);
        const SimRun run = runSim(c.arguments);
        EXPECT_EQ(run.status, 2) << shown;
        EXPECT_TRUE(isOneLineError(run.err)) << shown << ": " << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << shown << ": " << run.err;
    }
}

} // namespace

} // namespace pellaro
