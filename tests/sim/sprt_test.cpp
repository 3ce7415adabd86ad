#include "sim/sprt.h"
#include "sim_program.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <iostream>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <vector>

namespace pellaro {

namespace {

using Json = nlohmann::json;

// Deals of two players, two rotated games each, from A's share units per deal.
DealShares twoPlayerDeals(const std::vector<std::int64_t>& units, std::int64_t repeats) {
    DealShares shares{2, 0, 0, 0};
    for (std::int64_t i = 0; i < repeats; ++i) {
        for (const std::int64_t dealUnits : units) {
            ++shares.deals;
            shares.shareUnits += dealUnits;
            shares.dealShareSquares += dealUnits * dealUnits;
        }
    }
    return shares;
}

TEST(Sprt, BoundsAreWaldsFromTheErrorRates) {
    struct Case {
        double alpha;
        double beta;
        double lower;
        double upper;
    };
    const std::vector<Case> cases = {
        {0.05, 0.05, -2.944439, 2.944439},
        {0.01, 0.1, -2.292535, 4.499810},
    };
    for (const Case& c : cases) {
        const SprtBounds bounds = sprtBounds(SprtSettings{0.5, 0.05, c.alpha, c.beta});
        EXPECT_NEAR(bounds.lower, c.lower, 1e-6) << c.alpha << " " << c.beta;
        EXPECT_NEAR(bounds.upper, c.upper, 1e-6) << c.alpha << " " << c.beta;
    }
}

TEST(Sprt, DealsDecideAsTheirSharesSay) {
    // Share units per deal of two games: 120 both won, 60 one, 0 none.
    struct Case {
        const char* what;
        std::vector<std::int64_t> units;
        std::int64_t repeats;
        SprtVerdict verdict;
    };
    const std::vector<Case> cases = {
        {"every deal split evenly", {60}, 100, SprtVerdict::notStronger},
        {"a few even deals prove nothing yet", {60}, 3, SprtVerdict::undecided},
        {"every deal won whole", {120}, 50, SprtVerdict::stronger},
        {"three quarters of the games won", {120, 60}, 50, SprtVerdict::stronger},
        {"a quarter of the games won", {0, 60}, 50, SprtVerdict::notStronger},
        {"even but far apart deal by deal, over few deals", {0, 120}, 20, SprtVerdict::undecided},
    };
    const SprtSettings settings{0.5, 0.05, 0.05, 0.05};
    for (const Case& c : cases) {
        const double llr = sprtLlr(settings, twoPlayerDeals(c.units, c.repeats));
        EXPECT_EQ(sprtVerdict(llr, sprtBounds(settings)), c.verdict) << c.what << ": " << llr;
    }
}

TEST(Sprt, RatioFollowsTheDealsMeanAndSampleVariance) {
    // Deals of shares 1 and 1/2: mean 3/4, sample variance 1/8, so
    // 2 * 0.05 * (1.5 - 0.5 - 0.55) / (2 / 8) = 0.18.
    const SprtSettings settings{0.5, 0.05, 0.05, 0.05};
    EXPECT_NEAR(sprtLlr(settings, twoPlayerDeals({120, 60}, 1)), 0.18, 1e-12);
    // Three players, three games a deal of shares 2/3 and 0: mean 1/3, fair
    // share too, sample variance 2/9: 2 * 0.1 * (2/3 - 23/30) / (2 * 2/9).
    const SprtSettings three{1.0 / 3, 0.1, 0.05, 0.05};
    const DealShares shares{3, 2, 120, std::int64_t{120} * 120};
    EXPECT_NEAR(sprtLlr(three, shares), 0.2 * (-0.1) / (4.0 / 9), 1e-12);
    EXPECT_EQ(sprtLlr(settings, DealShares{2, 0, 0, 0}), 0.0);
}

// Synthetic deals of two games, each won by A with chance `strength` from a
// seeded generator, tested in batches as the program does: how often each
// verdict comes out of 400 tests.
struct VerdictCounts {
    int notStronger = 0;
    int stronger = 0;
    int undecided = 0;
};

VerdictCounts simulatedTests(double strength, std::uint64_t seed) {
    const SprtSettings settings{0.5, 0.05, 0.05, 0.05};
    const SprtBounds bounds = sprtBounds(settings);
    std::mt19937_64 random(seed);
    // Uniform from 0 to 1 by the generator's bits alone: the same everywhere.
    const auto won = [&random, strength] {
        return static_cast<double>(random() >> 11) * 0x1p-53 < strength;
    };
    VerdictCounts tally;
    for (int test = 0; test < 400; ++test) {
        DealShares shares{2, 0, 0, 0};
        SprtVerdict verdict = SprtVerdict::undecided;
        while (verdict == SprtVerdict::undecided && shares.deals < 20000) {
            for (std::int64_t played = 0; played < sprtBatchDeals; ++played) {
                const std::int64_t units = shareUnit * ((won() ? 1 : 0) + (won() ? 1 : 0));
                ++shares.deals;
                shares.shareUnits += units;
                shares.dealShareSquares += units * units;
            }
            verdict = sprtVerdict(sprtLlr(settings, shares), bounds);
        }
        switch (verdict) {
        case SprtVerdict::stronger:
            ++tally.stronger;
            break;
        case SprtVerdict::notStronger:
            ++tally.notStronger;
            break;
        case SprtVerdict::undecided:
            ++tally.undecided;
            break;
        }
    }
    return tally;
}

TEST(Sprt, ErrorRatesOfSimulatedTestsStayNearAlphaAndBeta) {
    // Equal bots must rarely be called stronger (alpha 0.05, allowing twice
    // that of 400), bots stronger by the margin rarely missed (beta), and a
    // bot twice as much stronger nearly always found.
    const VerdictCounts equal = simulatedTests(0.5, 7);
    const VerdictCounts atMargin = simulatedTests(0.55, 8);
    const VerdictCounts clearly = simulatedTests(0.6, 9);
    EXPECT_LE(equal.stronger, 40);
    EXPECT_LE(atMargin.notStronger, 40);
    EXPECT_GE(clearly.stronger, 390);
    EXPECT_EQ(equal.undecided + atMargin.undecided + clearly.undecided, 0);
    std::cout << "simulated: equal bots called stronger " << equal.stronger
              << "/400, stronger by the margin missed " << atMargin.notStronger
              << "/400, stronger by twice found " << clearly.stronger << "/400\n";
}

std::string lastLine(const std::string& text) {
    const std::size_t end = text.find_last_not_of('\n');
    const std::size_t start = text.rfind('\n', end);
    return text.substr(start == std::string::npos ? 0 : start + 1, end - start);
}

TEST(SprtProgram, GreedyIsFoundStrongerThanRandomWhateverTheThreads) {
    const ScratchFolder folder;
    std::vector<std::string> texts;
    for (const char* threads : {"1", "2"}) {
        const std::string json = folder.file(std::string("sprt") + threads + ".json");
        const SimRun run = runSim({"sprt", "--bots", "greedy,random", "--seed", "1", "--quiet",
                                   "--threads", threads, "--json", json});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(lastLine(run.out),
                  "H1 accepted: greedy is stronger than random by at least 0.05");
        texts.push_back(readText(json));
    }
    EXPECT_EQ(texts[0], texts[1]);
    const Json json = Json::parse(texts[0]);
    EXPECT_EQ(json["verdict"], "H1");
    const std::int64_t deals = json["sums"]["deals"];
    EXPECT_EQ(deals % sprtBatchDeals, 0);
    EXPECT_EQ(json["sums"]["games"], 2 * deals);
    EXPECT_GE(json["llr"].get<double>(), json["bounds"]["upper"].get<double>());
    EXPECT_GT(json["winInterval"]["low"].get<double>(), 0.5);
}

TEST(SprtProgram, StopsAtAVerdictOrTheGameLimit) {
    struct Case {
        std::vector<std::string> arguments;
        std::string verdictLine;
        std::string verdict;
        std::int64_t games;
    };
    const std::vector<Case> cases = {
        {{"--bots", "random,greedy"},
         "H0 accepted: random is not stronger than greedy by 0.05",
         "H0",
         -1},
        // 8 games hold two whole deals of three: too few to decide.
        {{"--bots", "greedy,random", "--players", "3", "--games", "8"},
         "undecided after 6 games",
         "undecided",
         6},
        {{"--bots", "greedy,random", "--games", "1"}, "undecided after 2 games", "undecided", 2},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = {"sprt", "--quiet", "--json", "-"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const SimRun run = runSim(arguments);
        ASSERT_EQ(run.status, 0) << c.verdictLine << ": " << run.err;
        EXPECT_EQ(lastLine(run.err), c.verdictLine);
        const Json json = Json::parse(run.out);
        EXPECT_EQ(json["verdict"], c.verdict) << c.verdictLine;
        // A sits in one seat of every game, whatever the players.
        const Json& sums = json["sums"];
        EXPECT_NEAR(json["winShare"].get<double>() * sums["games"].get<double>() * shareUnit,
                    sums["shareUnits"].get<double>(), 1e-6)
            << c.verdictLine;
        if (c.games >= 0) {
            EXPECT_EQ(json["sums"]["games"], c.games) << c.verdictLine;
        }
    }
}

// A test stopped short, at its game limit or by a signal, and resumed ends
// exactly as the test left alone, byte for byte.
TEST(SprtProgram, AResumedTestEndsAsOneLeftAlone) {
    const ScratchFolder folder;
    const std::vector<std::string> test = {"sprt",   "--bots", "random,random:stream=1",
                                           "--seed", "3",      "--quiet"};
    const auto sprt = [&test](std::vector<std::string> more) {
        more.insert(more.begin(), test.begin(), test.end());
        return runSim(more);
    };
    const std::string whole = folder.file("whole.json");
    const SimRun alone = sprt({"--json", whole});
    ASSERT_EQ(alone.status, 0) << alone.err;
    const std::int64_t games = Json::parse(readText(whole))["sums"]["games"];
    ASSERT_GT(games, 2 * sprtBatchDeals) << "the test should take more than one batch";
    const std::string part = folder.file("part.json");
    // Stopped between two looks, then inside the first batch.
    for (const char* limit : {"130", "2"}) {
        const SimRun stopped = sprt({"--games", limit, "--json", part});
        ASSERT_EQ(stopped.status, 0) << stopped.err;
        EXPECT_EQ(lastLine(stopped.out), std::string("undecided after ") + limit + " games");
        const SimRun resumed =
            runSim({"sprt", "--resume", part, "--games", "100000", "--json", part, "--quiet"});
        ASSERT_EQ(resumed.status, 0) << resumed.err;
        EXPECT_EQ(resumed.out, alone.out) << limit;
        EXPECT_EQ(readText(part), readText(whole)) << limit;
    }
    // A finished test resumed plays nothing and says the same.
    const SimRun again = runSim({"sprt", "--resume", whole, "--quiet"});
    EXPECT_EQ(again.out, alone.out);
}

TEST(SprtProgram, ResumingWhatIsNoTestIsRefused) {
    const ScratchFolder folder;
    const std::string test = folder.file("test.json");
    ASSERT_EQ(runSim({"sprt", "--bots", "greedy,random", "--games", "4", "--json", test}).status,
              0);
    const Json good = Json::parse(readText(test));
    const auto spoilt = [&](const char* pointer, const Json& value) {
        Json json = good;
        json[Json::json_pointer(pointer)] = value;
        return json.dump();
    };
    const std::string summary = folder.file("run.json");
    // The test with the summary of this run in place of its own.
    const auto withRun = [&](std::vector<std::string> run, std::int64_t gameLimit) {
        run.insert(run.begin(), {"run", "--json", summary});
        EXPECT_EQ(runSim(run).status, 0);
        Json json = good;
        json["run"] = Json::parse(readText(summary));
        json["configuration"]["gameLimit"] = gameLimit;
        return json.dump();
    };
    struct Case {
        std::string text;
        std::vector<std::string> more;
        std::string says;
    };
    const std::vector<Case> cases = {
        {good["run"].dump(), {}, "not a test written by pellaro-sim sprt"},
        {"{", {}, "not a test written by pellaro-sim sprt"},
        {spoilt("/configuration/margin", 0.9), {}, "configuration is malformed"},
        {spoilt("/configuration/alpha", "x"), {}, "configuration is malformed"},
        {spoilt("/configuration/gameLimit", 4000), {}, "configuration is malformed"},
        {spoilt("/configuration/batchDeals", 7), {}, "configuration is malformed"},
        {withRun({"--bots", "greedy,random", "--games", "4"}, 4), {}, "not one bot against"},
        {withRun({"--bots", "greedy,greedy", "--rotate", "--games", "2"}, 4),
         {},
         "not one bot against"},
        {withRun({"--bots", "greedy,random", "--rotate", "--games", "4", "--shard", "2/2"}, 8),
         {},
         "not one bot against"},
        {spoilt("/run/counts/bots/0/shareUnits", 1), {}, "contradicts"},
        {readText(test), {"--games", "2"}, "played 4 games already"},
        {readText(test), {"--seed", "2"}, "excludes"},
        {readText(test), {"--bots", "random,greedy"}, "excludes"},
    };
    for (const Case& c : cases) {
        const std::string resumed = folder.file("resumed.json");
        writeText(resumed, c.text);
        std::vector<std::string> arguments = {"sprt", "--quiet", "--resume", resumed};
        arguments.insert(arguments.end(), c.more.begin(), c.more.end());
        const SimRun run = runSim(arguments);
        EXPECT_EQ(run.status, 2) << c.says;
        EXPECT_TRUE(isOneLineError(run.err)) << c.says << ": " << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << c.says << ": " << run.err;
        EXPECT_EQ(readText(resumed), c.text) << c.says;
    }
}

TEST(SprtProgram, BadOptionsGetOneLineAndStatusTwo) {
    const ScratchFolder folder;
    struct Case {
        std::vector<std::string> arguments;
        std::string says;
    };
    const std::vector<Case> cases = {
        {{"--bots", "greedy"}, "two bots"},
        {{"--bots", "greedy,random,random"}, "two bots"},
        {{"--bots", "greedy,greedy"}, "one bot twice"},
        {{"--bots", "greedy,sneaky"}, "unknown bot 'sneaky'"},
        {{"--bots", "greedy,random", "--margin", "0"}, "--margin"},
        {{"--bots", "greedy,random", "--margin", "nan"}, "--margin"},
        {{"--bots", "greedy,random", "--margin", "0.5"}, "--margin must be below 0.5"},
        {{"--bots", "greedy,random", "--players", "5", "--margin", "0.8"},
         "--margin must be below 0.8"},
        {{"--bots", "greedy,random", "--alpha", "0"}, "--alpha"},
        {{"--bots", "greedy,random", "--alpha", "0.5"}, "--alpha"},
        {{"--bots", "greedy,random", "--beta", "-0.1"}, "--beta"},
        {{"--bots", "greedy,random", "--games", "0"}, "--games"},
        {{"--bots", "greedy,random", "--players", "6"}, "--players"},
        {{"--bots", "greedy,random", "--seed", "x"}, "--seed"},
        {{"--bots", "greedy,random", "--json", ""}, "--json"},
        {{"--bots", "greedy,random", "--json", folder.file("missing/sprt.json")}, "cannot write"},
        {{"--players", "3"}, "--bots is required, unless --resume"},
        {{"--resume", folder.file("missing.json")}, "cannot read"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = {"sprt", "--quiet"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const std::string shown = testing::PrintToString(arguments);
        const SimRun run = runSim(arguments);
        EXPECT_EQ(run.status, 2) << shown;
        EXPECT_TRUE(isOneLineError(run.err)) << shown << ": " << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << shown << ": " << run.err;
        EXPECT_EQ(run.out, "") << shown;
    }
    EXPECT_TRUE(folder.names().empty());
}

} // namespace

} // namespace pellaro
