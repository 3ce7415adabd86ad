#include "sim/statistics.h"
#include "sim/summary.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace pellaro {

namespace {

TEST(Statistics, WilsonIntervalsMatchPublishedValues) {
    // Wilson's 95 % score interval: Newcombe's (1998) worked examples, and
    // the usual table values for ten trials.
    struct Case {
        double proportion;
        double trials;
        double low;
        double high;
    };
    const std::vector<Case> cases = {
        {81.0 / 263, 263, 0.2553, 0.3662},
        {15.0 / 148, 148, 0.0624, 0.1605},
        {0.0, 20, 0.0, 0.1611},
        {1.0 / 29, 29, 0.0061, 0.1718},
        {0.5, 10, 0.2366, 0.7634},
        {1.0, 10, 0.7225, 1.0},
    };
    for (const Case& c : cases) {
        const Interval interval = wilsonInterval(c.proportion, c.trials);
        EXPECT_NEAR(interval.low, c.low, 5e-5) << c.proportion << " of " << c.trials;
        EXPECT_NEAR(interval.high, c.high, 5e-5) << c.proportion << " of " << c.trials;
    }
}

TEST(Statistics, TQuantilesMatchPublishedValues) {
    const std::vector<std::pair<std::int64_t, double>> cases = {
        {1, 12.7062}, {2, 4.3027},  {4, 2.7764},   {10, 2.2281},    {11, 2.2010},
        {20, 2.0860}, {30, 2.0423}, {120, 1.9799}, {100000, 1.9600}};
    for (const auto& [freedom, quantile] : cases) {
        EXPECT_NEAR(t95(freedom), quantile, 5e-5) << freedom;
    }
}

TEST(Statistics, MeanIntervalUsesTheSampleDeviationOfTheDealsAndT) {
    // 1, 2, 3, 4, 5 in deals of one game: mean 3, sample deviation sqrt(2.5),
    // half width t(4) * sqrt(0.5).
    const auto interval = meanInterval(15, 55, 5, 1);
    ASSERT_TRUE(interval);
    EXPECT_NEAR(interval->low, 3 - 2.776445 * std::sqrt(0.5), 5e-6);
    EXPECT_NEAR(interval->high, 3 + 2.776445 * std::sqrt(0.5), 5e-6);
    // Two deals of two games whose totals are 2 and 6: mean 2 per game, the
    // totals' variance 8, half width t(1) * sqrt(8 / 2) / 2.
    const auto paired = meanInterval(8, 2 * 2 + 6 * 6, 2, 2);
    ASSERT_TRUE(paired);
    EXPECT_NEAR(paired->low, 2 - t95(1), 1e-9);
    EXPECT_NEAR(paired->high, 2 + t95(1), 1e-9);
    // Negative scores: -84 and 83 once each.
    const auto wide = meanInterval(-1, 84 * 84 + 83 * 83, 2, 1);
    ASSERT_TRUE(wide);
    EXPECT_NEAR(wide->low + wide->high, -1.0, 1e-9);
    EXPECT_NEAR(wide->high - wide->low, 2 * t95(1) * 83.5, 1e-9);
    // One deal says nothing of how deals vary.
    EXPECT_FALSE(meanInterval(7, 49, 1, 1));
    EXPECT_FALSE(shareInterval(0.5, 0.5, 0.25, 1, 3));
}

TEST(Statistics, ShareIntervalsTakeTheDealsSpreadUncapped) {
    struct Case {
        double share;
        double gameMeanSquare;
        double dealMeanSquare;
        std::int64_t gamesPerDeal;
        // The Wilson trials before the scaling for the deals' freedom.
        double trials;
    };
    const std::vector<Case> cases = {
        // Single-game deals, ties or not: every game is a trial.
        {0.3, 0.3, 0.3, 1, 100},
        {0.25, 0.125, 0.125, 1, 100},
        // Four games per deal, always won or lost together: one trial a deal.
        {0.25, 0.25, 0.25, 4, 100},
        // A deal's share spreads half as much as one game's: twice the deals.
        {0.5, 0.5, 0.25 + 0.125, 4, 200},
        // Less than four independent games would, as the rotation pairs the
        // games of a deal: more trials than games.
        {0.5, 0.5, 0.25 + 0.01, 4, 2500},
        // Every deal's share the same: the spread one more deal would add
        // at the widest spread, 0.1875 / 101, stands for the deals unseen.
        {0.25, 0.25, 0.0625, 4, 10100},
        // Every game alike: the games.
        {1.0, 1.0, 1.0, 4, 400},
    };
    const double scale = (z95 / t95(99)) * (z95 / t95(99));
    for (const Case& c : cases) {
        const auto interval =
            shareInterval(c.share, c.gameMeanSquare, c.dealMeanSquare, 100, c.gamesPerDeal);
        ASSERT_TRUE(interval);
        const Interval expected = wilsonInterval(c.share, c.trials * scale);
        EXPECT_NEAR(interval->low, expected.low, 1e-9) << c.share << ' ' << c.dealMeanSquare;
        EXPECT_NEAR(interval->high, expected.high, 1e-9) << c.share << ' ' << c.dealMeanSquare;
    }
}

} // namespace

namespace {

// A model of games whose truth is known: in deal d, bot A wins a game with
// probability a(d), seat 1 wins with probability b, and otherwise a seat
// drawn evenly wins. The winner scores 41 to 61 and the others 10 to 30, all
// shifted by the deal's own -5 to 5, so that a seat's mean score is
// 20 + 31 times its win share.
struct CoverageModel {
    SimConfig config;
    std::uint64_t state = 0x9e3779b97f4a7c15U;

    std::uint64_t next() {
        state ^= state << 13U;
        state ^= state >> 7U;
        state ^= state << 17U;
        return state;
    }
    std::int32_t uniform(std::int32_t least, std::int32_t most) {
        return least +
               static_cast<std::int32_t>(next() % static_cast<std::uint64_t>(most - least + 1));
    }
    double chance() { return static_cast<double>(next() >> 11U) * 0x1.0p-53; }
};

constexpr double seatOneBonus = 0.2;
constexpr std::array<double, 2> botAChances = {0.1, 0.7};

// The chance that `seat` wins game `rotation` of a deal where A wins with chance `a`.
double winChance(const SimConfig& config, std::int32_t rotation, std::int32_t seat, double a) {
    const bool holdsA = botOfSeat(config, rotation, seat) == config.seats.front();
    return (holdsA ? a : 0) + (seat == 0 ? seatOneBonus : 0) +
           (1 - a - seatOneBonus) / config.players;
}

Summary playModel(CoverageModel& model, std::int64_t deals) {
    const SimConfig& config = model.config;
    Summary summary;
    for (std::int64_t played = 0; played < deals; ++played) {
        const double a = botAChances[model.next() % botAChances.size()];
        const std::int32_t shift = model.uniform(-5, 5);
        DealTotals totals;
        for (std::int32_t rotation = 0; rotation < gamesPerDeal(config); ++rotation) {
            GameOutcome outcome;
            outcome.players = config.players;
            std::int32_t winner = model.uniform(0, config.players - 1);
            const double draw = model.chance();
            double below = 0;
            for (std::int32_t seat = 0; seat < config.players; ++seat) {
                below +=
                    winChance(config, rotation, seat, a) - (1 - a - seatOneBonus) / config.players;
                if (draw < below) {
                    winner = seat;
                    break;
                }
            }
            for (std::int32_t seat = 0; seat < config.players; ++seat) {
                outcome.scores[seat] =
                    shift + (seat == winner ? model.uniform(41, 61) : model.uniform(10, 30));
                outcome.bots[seat] = botIndex(config, botOfSeat(config, rotation, seat));
            }
            addGame(summary, outcome, totals);
        }
        closeDeal(summary, totals);
    }
    return summary;
}

// The win shares of the model's seats and bots, averaged over the two kinds
// of deal and the rotations; bot A holds seat 1 of the list, B the others.
struct Truth {
    std::vector<double> seats = std::vector<double>(3, 0);
    std::vector<double> bots = std::vector<double>(2, 0);
};

Truth truthOf(const SimConfig& config) {
    Truth truth;
    const double weight = 1.0 / static_cast<double>(botAChances.size() * gamesPerDeal(config));
    for (const double a : botAChances) {
        for (std::int32_t rotation = 0; rotation < gamesPerDeal(config); ++rotation) {
            for (std::int32_t seat = 0; seat < 3; ++seat) {
                const double chance = winChance(config, rotation, seat, a) * weight;
                truth.seats[seat] += chance;
                const std::int32_t bot = botIndex(config, botOfSeat(config, rotation, seat));
                truth.bots[bot] += bot == 0 ? chance : chance / 2;
            }
        }
    }
    return truth;
}

TEST(Statistics, EveryPrintedIntervalCoversTheTruthNineteenTimesInTwenty) {
    for (const bool rotate : {true, false}) {
        CoverageModel model;
        std::string ignored;
        model.config.players = 3;
        model.config.rotate = rotate;
        model.config.seats = {*botCalled("greedy", 1, ignored), *botCalled("random", 1, ignored),
                              *botCalled("random", 1, ignored)};
        const SimConfig& config = model.config;
        const Truth truth = truthOf(config);
        const std::vector<double>& seatTruth = truth.seats;
        const std::vector<double>& botTruth = truth.bots;
        constexpr int runs = 2000;
        std::vector<int> covered(11, 0);
        const auto count = [&covered](std::size_t which, const std::optional<Interval>& interval,
                                      double truth) {
            ASSERT_TRUE(interval);
            covered[which] += interval->low <= truth && truth <= interval->high ? 1 : 0;
        };
        for (int run = 0; run < runs; ++run) {
            const Figures figures = figuresOf(config, playModel(model, 30));
            for (std::size_t seat = 0; seat < 3; ++seat) {
                count(seat, figures.seats[seat].winInterval, seatTruth[seat]);
                count(3 + seat, figures.seats[seat].scoreInterval, 20 + 31 * seatTruth[seat]);
            }
            for (std::size_t bot = 0; bot < 2; ++bot) {
                count(6 + bot, figures.bots[bot].winInterval, botTruth[bot]);
                count(8 + bot, figures.bots[bot].scoreInterval, 20 + 31 * botTruth[bot]);
            }
            count(10, figures.seatOneInterval, seatTruth[0] - 1.0 / 3);
        }
        for (std::size_t which = 0; which < covered.size(); ++which) {
            const double coverage = static_cast<double>(covered[which]) / runs;
            EXPECT_GE(coverage, 0.93) << which << (rotate ? " rotated" : "");
            EXPECT_LE(coverage, 0.97) << which << (rotate ? " rotated" : "");
        }
    }
}

// Deals mostly alike, as when one bot wins every game it plays and the
// rotation gives each seat one win a deal: a few deals may all be alike by
// chance, and their interval must still cover the share 19 times in 20.
TEST(Statistics, FewDealsAllAlikeByChanceStillGiveAnHonestInterval) {
    // A seat wins one game of a deal's three in nine deals of ten, two in
    // six of a hundred and none in the others.
    constexpr double truth = (0.9 * 1 + 0.06 * 2) / 3;
    for (const std::int64_t deals : {5, 10, 20, 40}) {
        CoverageModel model;
        constexpr int runs = 4000;
        int covered = 0;
        for (int run = 0; run < runs; ++run) {
            double wins = 0;
            double dealSquares = 0;
            for (std::int64_t index = 0; index < deals; ++index) {
                const double draw = model.chance();
                const double won = draw < 0.9 ? 1 : (draw < 0.96 ? 2 : 0);
                wins += won;
                dealSquares += (won / 3) * (won / 3);
            }
            const double share = wins / (3 * static_cast<double>(deals));
            // A game is won or lost: its share's square is the share.
            const auto interval =
                shareInterval(share, share, dealSquares / static_cast<double>(deals), deals, 3);
            ASSERT_TRUE(interval);
            covered += interval->low <= truth && truth <= interval->high ? 1 : 0;
        }
        EXPECT_GE(static_cast<double>(covered) / runs, 0.94) << deals << " deals";
    }
}

} // namespace

} // namespace pellaro
