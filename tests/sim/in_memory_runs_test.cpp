#include "sim/records.h"
#include "sim/simulation.h"
#include "sim/summary.h"
#include "sim_program.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <iterator>
#include <nlohmann/json.hpp>
#include <numeric>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace pellaro {

namespace {

SimConfig configOf(const std::vector<std::string_view>& seats, std::int64_t deals, bool rotate) {
    SimConfig config;
    config.players = static_cast<std::int32_t>(seats.size());
    config.seed = 20240607;
    config.deals = deals;
    config.rotate = rotate;
    // Searching bots search little here: the tests are about the runs.
    config.budget = 4;
    for (const std::string_view name : seats) {
        config.seats.push_back(BotSettings{botEntryNamed(name), config.budget});
    }
    return config;
}

struct RecordedRun {
    SimResults results;
    std::string records;
};

RecordedRun runWithRecords(const SimConfig& config, DealRange range, std::int32_t threads) {
    const ScratchFolder folder;
    const std::string path = folder.file("games.jsonl");
    RecordsOut records{std::fopen(path.c_str(), "w"), false};
    RecordedRun run{runSimulation(config, range, threads, &records, nullptr), {}};
    std::fclose(records.file);
    run.records = readText(path);
    EXPECT_FALSE(records.failed);
    return run;
}

std::vector<GameRecord> parsedRecords(const std::string& lines) {
    std::vector<GameRecord> games;
    std::istringstream stream(lines);
    std::string line;
    while (std::getline(stream, line)) {
        GameRecord game;
        std::string error;
        EXPECT_TRUE(parseRecord(line, game, error)) << error;
        games.push_back(game);
    }
    return games;
}

// The summary up to its timing, the one part that may differ between runs.
std::string withoutTiming(const SimResults& results) {
    const std::string json = summaryJson(results, figuresOf(results.config, results.summary));
    return json.substr(0, json.find("\"timing\""));
}

TEST(InMemoryRuns, AnyNumberOfThreadsGivesTheSameSummaryAndRecords) {
    const SimConfig config = configOf({"greedy", "random", "random"}, 240, false);
    const RecordedRun one = runWithRecords(config, {0, 240}, 1);
    for (const std::int32_t threads : {2, 3, 7}) {
        const RecordedRun many = runWithRecords(config, {0, 240}, threads);
        EXPECT_EQ(withoutTiming(many.results), withoutTiming(one.results)) << threads;
        EXPECT_EQ(many.records, one.records) << threads;
    }
    EXPECT_EQ(one.results.summary.games, 240);
    EXPECT_FALSE(one.results.interrupted);
}

// A thread seats each rotation's bots once and reseats them for every game:
// nothing of one game may reach the next, whatever the bots kept.
TEST(InMemoryRuns, ReseatedBotsPlayAsNewlySeatedOnes) {
    const SimConfig config = configOf({"ismcts", "greedy", "random"}, 4, true);
    std::vector<Lineup> reused;
    reused.reserve(static_cast<std::size_t>(gamesPerDeal(config)));
    for (std::int32_t rotation = 0; rotation < gamesPerDeal(config); ++rotation) {
        reused.push_back(lineupOf(config, rotation));
    }
    for (std::int64_t index = 0; index < config.deals; ++index) {
        for (std::int32_t rotation = 0; rotation < gamesPerDeal(config); ++rotation) {
            GameRecord again;
            GameRecord fresh;
            Lineup newlySeated = lineupOf(config, rotation);
            playDeal(config, reused[static_cast<std::size_t>(rotation)], index, &again);
            playDeal(config, newlySeated, index, &fresh);
            std::string lineAgain;
            std::string lineFresh;
            appendRecordLine(lineAgain, again);
            appendRecordLine(lineFresh, fresh);
            EXPECT_EQ(lineAgain, lineFresh) << "deal " << index << ", rotation " << rotation;
        }
    }
}

TEST(InMemoryRuns, CountsAgreeWithTheGamesRecorded) {
    // Every figure recomputed from the records by other means: rounds from
    // one Take per player per round, places by ranking the scores.
    const SimConfig config =
        configOf({"random", "greedy", "random", "random", "greedy"}, 150, false);
    const RecordedRun run = runWithRecords(config, {0, 150}, 2);
    const Summary& summary = run.results.summary;
    Summary expected;
    for (const GameRecord& game : parsedRecords(run.records)) {
        const auto takes = std::count_if(game.moves.begin(), game.moves.end(),
                                         [](auto move) { return move.action == TurnAction::Take; });
        EXPECT_EQ(takes % 5, 0);
        expected.rounds.sum += takes / 5;
        expected.turns.sum += static_cast<std::int64_t>(game.moves.size());
        expected.cardsDrawn.sum += static_cast<std::int64_t>(game.moves.size()) - takes;
        const auto [low, high] = std::minmax_element(game.scores.begin(), game.scores.end());
        expected.spreadSum += *high - *low;
        expected.tiedGames += game.winners.size() > 1 ? 1 : 0;
        // Seats 2 and 5 are greedy: one deal gives the bot two games.
        const auto unitsOf = [&game](std::int32_t number) {
            const bool won =
                std::find(game.winners.begin(), game.winners.end(), number) != game.winners.end();
            return won ? 60 / static_cast<std::int64_t>(game.winners.size()) : 0;
        };
        const std::int64_t greedyUnits = unitsOf(2) + unitsOf(5);
        const std::int64_t greedyScores = game.scores[1] + game.scores[4];
        expected.bots[1].dealShareSquares += greedyUnits * greedyUnits;
        expected.bots[1].dealScoreSquares += greedyScores * greedyScores;
        for (std::size_t seat = 0; seat < 5; ++seat) {
            const std::int32_t score = game.scores[seat];
            Tally& tally = expected.seats[seat];
            ++tally.games;
            tally.scoreSum += score;
            tally.dealScoreSquares += std::int64_t{score} * score;
            const bool won = std::find(game.winners.begin(), game.winners.end(),
                                       static_cast<std::int32_t>(seat) + 1) != game.winners.end();
            const std::int64_t units =
                won ? 60 / static_cast<std::int64_t>(game.winners.size()) : 0;
            tally.shareUnits += units;
            tally.shareSquares += units * units;
            tally.outrightWins += won && game.winners.size() == 1 ? 1 : 0;
            // Twice the mean place among equals: ranks are counted from 1 in
            // descending score, and each of the tied ranks is summed.
            std::vector<std::int32_t> sorted = game.scores;
            std::sort(sorted.rbegin(), sorted.rend());
            std::int64_t rankSum = 0;
            std::int64_t equals = 0;
            for (std::size_t rank = 0; rank < sorted.size(); ++rank) {
                if (sorted[rank] == score) {
                    rankSum += static_cast<std::int64_t>(rank) + 1;
                    ++equals;
                }
            }
            tally.placeHalves += 2 * rankSum / equals;
        }
    }
    EXPECT_EQ(summary.rounds.sum, expected.rounds.sum);
    EXPECT_EQ(summary.turns.sum, expected.turns.sum);
    EXPECT_EQ(summary.cardsDrawn.sum, expected.cardsDrawn.sum);
    EXPECT_EQ(summary.spreadSum, expected.spreadSum);
    EXPECT_EQ(summary.tiedGames, expected.tiedGames);
    std::int64_t shares = 0;
    for (std::size_t seat = 0; seat < 5; ++seat) {
        const Tally& got = summary.seats[seat];
        const Tally& want = expected.seats[seat];
        EXPECT_EQ(got.games, want.games) << seat;
        EXPECT_EQ(got.shareUnits, want.shareUnits) << seat;
        EXPECT_EQ(got.shareSquares, want.shareSquares) << seat;
        EXPECT_EQ(got.outrightWins, want.outrightWins) << seat;
        EXPECT_EQ(got.scoreSum, want.scoreSum) << seat;
        EXPECT_EQ(got.dealScoreSquares, want.dealScoreSquares) << seat;
        EXPECT_EQ(got.placeHalves, want.placeHalves) << seat;
        shares += got.shareUnits;
    }
    // A whole win is shared out in every game.
    EXPECT_EQ(shares, 60 * 150);
    // Seats 2 and 5 are greedy: the bot's tally is theirs together.
    EXPECT_EQ(summary.bots[1].scoreSum, summary.seats[1].scoreSum + summary.seats[4].scoreSum);
    EXPECT_EQ(summary.bots[1].dealShareSquares, expected.bots[1].dealShareSquares);
    EXPECT_EQ(summary.bots[1].dealScoreSquares, expected.bots[1].dealScoreSquares);
    EXPECT_EQ(summary.bots[0].games, 3 * 150);
    EXPECT_EQ(std::accumulate(summary.scoreCounts[1].begin(), summary.scoreCounts[1].end(),
                              std::int64_t{0}),
              2 * 150);
}

TEST(InMemoryRuns, RotationPlaysEveryBotInEverySeatOnTheSameDeal) {
    const SimConfig config = configOf({"greedy", "random", "clairvoyant", "random"}, 12, true);
    const RecordedRun run = runWithRecords(config, {0, 12}, 2);
    const std::vector<GameRecord> games = parsedRecords(run.records);
    ASSERT_EQ(games.size(), 48U);
    const std::vector<std::string> listed = {"greedy", "random", "clairvoyant", "random"};
    for (std::size_t i = 0; i < games.size(); ++i) {
        const GameRecord& game = games[i];
        const std::size_t rotation = i % 4;
        EXPECT_EQ(game.game, static_cast<std::int64_t>(i));
        EXPECT_EQ(game.deal, static_cast<std::int64_t>(i / 4));
        EXPECT_EQ(game.rotation, static_cast<std::int32_t>(rotation));
        const GameRecord& first = games[i - rotation];
        EXPECT_EQ(game.seed, first.seed) << i;
        EXPECT_EQ(game.deck, first.deck) << i;
        for (std::size_t seat = 0; seat < 4; ++seat) {
            EXPECT_EQ(game.bots[seat], listed[(seat + rotation) % 4]) << i << ' ' << seat;
        }
    }
    EXPECT_NE(games[0].deck, games[4].deck);
    const Summary& summary = run.results.summary;
    EXPECT_EQ(summary.deals, 12);
    EXPECT_EQ(summary.games, 48);
    EXPECT_EQ(summary.bots[1].games, 2 * 48);
    EXPECT_EQ(summary.bots[2].games, 48);
}

TEST(InMemoryRuns, RotatedCopiesOfOneGameNarrowNoInterval) {
    // Bots of one strategy draw by seat, so every rotation of a deal replays
    // the same game: the rotated run holds each game four times, and its
    // intervals must be those of the run without rotation.
    const SimConfig plain = configOf(std::vector<std::string_view>(4, "random"), 200, false);
    SimConfig rotated = plain;
    rotated.rotate = true;
    const Figures once =
        figuresOf(plain, runSimulation(plain, {0, 200}, 2, nullptr, nullptr).summary);
    const SimResults copies = runSimulation(rotated, {0, 200}, 2, nullptr, nullptr);
    EXPECT_EQ(copies.summary.games, 800);
    const Figures fourTimes = figuresOf(rotated, copies.summary);
    for (std::size_t seat = 0; seat < 4; ++seat) {
        const TallyFigures& a = once.seats[seat];
        const TallyFigures& b = fourTimes.seats[seat];
        EXPECT_DOUBLE_EQ(b.winShare, a.winShare);
        ASSERT_TRUE(a.winInterval && b.winInterval && a.scoreInterval && b.scoreInterval);
        EXPECT_NEAR(b.winInterval->low, a.winInterval->low, 1e-12) << seat;
        EXPECT_NEAR(b.winInterval->high, a.winInterval->high, 1e-12) << seat;
        EXPECT_NEAR(b.scoreInterval->low, a.scoreInterval->low, 1e-9) << seat;
        EXPECT_NEAR(b.scoreInterval->high, a.scoreInterval->high, 1e-9) << seat;
    }
}

TEST(InMemoryRuns, SplitRangesAddUpToTheWholeRunAndTheSummaryReadsBack) {
    const SimConfig config = configOf({"random", "greedy"}, 90, true);
    const SimResults whole = runSimulation(config, {0, 90}, 2, nullptr, nullptr);
    SimResults joined;
    joined.config = config;
    for (const DealRange range : {DealRange{50, 90}, DealRange{0, 13}, DealRange{13, 50}}) {
        const SimResults results = runSimulation(config, range, 1, nullptr, nullptr);
        const std::string json = summaryJson(results, figuresOf(config, results.summary));
        SimResults part;
        std::string error;
        ASSERT_TRUE(readSummaryJson(json, part, error)) << error;
        EXPECT_TRUE(sameConfiguration(part.config, config));
        ASSERT_TRUE(joinCoverage(joined.coverage, part.coverage));
        addSummary(joined.summary, part.summary);
    }
    EXPECT_EQ(withoutTiming(joined), withoutTiming(whole));
}

TEST(InMemoryRuns, OneStrategyOnTwoBudgetsIsTwoBotsEachOnItsOwnBudget) {
    SimConfig config = configOf({"montecarlo", "montecarlo"}, 3, true);
    config.seats = {BotSettings{botEntryNamed("montecarlo"), 2},
                    BotSettings{botEntryNamed("montecarlo"), 3}};
    const RecordedRun run = runWithRecords(config, {0, 3}, 2);
    ASSERT_EQ(distinctBots(config).size(), 2U);
    EXPECT_EQ(run.results.summary.bots[0].games, 6);
    EXPECT_EQ(run.results.summary.bots[1].games, 6);
    const std::vector<GameRecord> games = parsedRecords(run.records);
    ASSERT_EQ(games.size(), 6U);
    EXPECT_EQ(games[1].bots, (std::vector<std::string>{"montecarlo:3", "montecarlo:2"}));

    const std::string json = summaryJson(run.results, figuresOf(config, run.results.summary));
    const auto parsed = nlohmann::json::parse(json);
    EXPECT_EQ(parsed["configuration"]["bots"],
              nlohmann::json::array({"montecarlo:2", "montecarlo:3"}));
    EXPECT_EQ(parsed["results"]["bots"][1]["bot"], "montecarlo:3");
    SimResults back;
    std::string error;
    ASSERT_TRUE(readSummaryJson(json, back, error)) << error;
    EXPECT_TRUE(sameConfiguration(back.config, config));
    SimConfig otherBudgets = config;
    otherBudgets.seats[1].budget = 5;
    EXPECT_FALSE(sameConfiguration(back.config, otherBudgets));

    // Seat 1's bot plays the same moves when its budget is the run's own, and
    // others when the run's budget is all it gets.
    SimConfig usual = config;
    usual.budget = 2;
    const std::vector<GameRecord> same = parsedRecords(runWithRecords(usual, {0, 3}, 1).records);
    EXPECT_EQ(same[0].bots, (std::vector<std::string>{"montecarlo", "montecarlo:3"}));
    const std::vector<GameRecord> flat = parsedRecords(
        runWithRecords(configOf({"montecarlo", "montecarlo"}, 3, true), {0, 3}, 1).records);
    const auto movesOf = [](const GameRecord& game) {
        std::vector<std::string> moves;
        std::transform(game.moves.begin(), game.moves.end(), std::back_inserter(moves), moveText);
        return moves;
    };
    ASSERT_EQ(same.size(), games.size());
    ASSERT_EQ(flat.size(), games.size());
    std::size_t differ = 0;
    for (std::size_t i = 0; i < games.size(); ++i) {
        EXPECT_EQ(movesOf(same[i]), movesOf(games[i])) << i;
        differ += movesOf(flat[i]) != movesOf(games[i]) ? 1 : 0;
    }
    EXPECT_GT(differ, 0U);
}

TEST(InMemoryRuns, CoverageJoinsNeighboursAndRefusesOverlaps) {
    struct Case {
        Coverage parts;
        bool joins;
        Coverage expected;
    };
    const std::vector<Case> cases = {
        {{{0, 5}, {5, 9}}, true, {{0, 9}}},
        {{{5, 9}, {0, 5}}, true, {{0, 9}}},
        {{{0, 3}, {6, 9}}, true, {{0, 3}, {6, 9}}},
        {{{0, 3}, {6, 9}, {3, 6}}, true, {{0, 9}}},
        {{{0, 5}, {4, 9}}, false, {}},
        {{{0, 5}, {0, 5}}, false, {}},
        {{{2, 4}, {0, 9}}, false, {}},
    };
    for (const Case& c : cases) {
        Coverage total;
        bool joins = true;
        for (const DealRange& part : c.parts) {
            joins = joins && joinCoverage(total, {part});
        }
        EXPECT_EQ(joins, c.joins) << c.parts.size();
        if (c.joins) {
            ASSERT_EQ(total.size(), c.expected.size());
            for (std::size_t i = 0; i < total.size(); ++i) {
                EXPECT_EQ(total[i].first, c.expected[i].first);
                EXPECT_EQ(total[i].end, c.expected[i].end);
            }
        }
    }
}

} // namespace

} // namespace pellaro
