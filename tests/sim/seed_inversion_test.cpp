#include "bots/bot.h"
#include "engine/game_state.h"
#include "engine/seeded_random.h"
#include "sim_program.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace pellaro {

namespace {

using Json = nlohmann::json;

// What a bot that knows this program's source may try on the seed words it
// is sent: every run seed below this, the first deals of the run, every
// seat, and the first words of the seat's stream as built-in bots draw them.
constexpr std::uint64_t runSeedsTried = 50'000;
constexpr std::uint64_t dealsTried = 2;
constexpr std::int32_t wordsTried = 4;

// The deal's seed, and so the order of every card, when one of the words
// is a word of some seat's stream.
std::optional<std::uint64_t> invertedDealSeed(const std::set<std::uint64_t>& words,
                                              std::int32_t players) {
    for (std::uint64_t run = 0; run < runSeedsTried; ++run) {
        for (std::uint64_t index = 0; index < dealsTried; ++index) {
            const std::uint64_t dealSeed = deriveSeed(run, index);
            for (std::int32_t seat = 0; seat < players; ++seat) {
                SeededRandom stream =
                    seededRandom(deriveSeed(dealSeed, static_cast<std::uint64_t>(seat)));
                for (std::int32_t word = 0; word < wordsTried; ++word) {
                    if (words.contains(nextBits(stream))) {
                        return dealSeed;
                    }
                }
            }
        }
    }
    return std::nullopt;
}

// The seed words of the requests a bot was sent, its greeting left out.
std::set<std::uint64_t> seedWords(const std::string& requests) {
    std::set<std::uint64_t> words;
    std::istringstream lines(requests);
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string kind;
        std::uint64_t seed = 0;
        if (fields >> kind >> seed) {
            words.insert(seed);
        }
    }
    return words;
}

// A program's bot learns nothing of the deal from its requests' seeds, even
// on the small run seeds people choose: an attacker's search over them,
// which finds the deal from the words the built-in bots of the same games
// draw, finds nothing from the words the program is sent.
TEST(SeedInversion, AProgramsSeedWordsGiveAwayNoDeal) {
    constexpr std::int32_t players = 2;
    for (const std::string runSeed : {"1", "2026", "40111"}) {
        const ScratchFolder folder;
        // The program plays random, drawing on its seeds, and keeps what it
        // was sent.
        const std::string bot =
            "exec:tee " + folder.file("requests") + " | " + PELLARO_SIM_PROGRAM + " bot random";
        const SimRun run =
            runSim({"run", "--bots", bot + ",greedy", "--games", "2", "--seed", runSeed, "--quiet",
                    "--threads", "1", "--jsonl", folder.file("games.jsonl")});
        ASSERT_EQ(run.status, 0) << run.err;

        std::set<std::uint64_t> dealSeeds;
        std::set<std::uint64_t> builtInWords;
        std::istringstream records(readText(folder.file("games.jsonl")));
        for (std::string line; std::getline(records, line);) {
            const auto dealSeed = Json::parse(line)["seed"].get<std::uint64_t>();
            dealSeeds.insert(dealSeed);
            for (std::int32_t seat = 0; seat < players; ++seat) {
                Bot builtIn = newBot(*botNamed("random", defaultBudget), dealSeed, seat);
                builtInWords.insert(nextBits(builtIn.random));
            }
        }
        const auto fromBuiltIn = invertedDealSeed(builtInWords, players);
        ASSERT_TRUE(fromBuiltIn && dealSeeds.contains(*fromBuiltIn)) << "run seed " << runSeed;

        const std::set<std::uint64_t> sent = seedWords(readText(folder.file("requests")));
        ASSERT_GE(sent.size(), 10U) << "run seed " << runSeed;
        if (const auto found = invertedDealSeed(sent, players)) {
            ADD_FAILURE() << "run seed " << runSeed << ": the bot found deal seed " << *found
                          << ", whose deck " << (dealSeeds.contains(*found) ? "is" : "is not")
                          << " a deck of the run";
        }
    }
}

} // namespace

} // namespace pellaro
