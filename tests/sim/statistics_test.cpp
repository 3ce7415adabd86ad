#include "sim/statistics.h"

#include <gtest/gtest.h>
#include <vector>

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

TEST(Statistics, MeanIntervalUsesTheSampleDeviationOfTheDeals) {
    // 1, 2, 3, 4, 5 in deals of one game: mean 3, sample deviation sqrt(2.5),
    // half width 1.96 * sqrt(0.5).
    const Interval interval = meanInterval(15, 55, 5, 1);
    EXPECT_NEAR(interval.low, 1.6141, 5e-5);
    EXPECT_NEAR(interval.high, 4.3859, 5e-5);
    // Two deals of two games whose totals are 2 and 6: mean 2 per game, the
    // totals' variance 8, half width 1.96 * sqrt(8 / 2) / 2.
    const Interval paired = meanInterval(8, 2 * 2 + 6 * 6, 2, 2);
    EXPECT_NEAR(paired.low, 2 - z95, 1e-9);
    EXPECT_NEAR(paired.high, 2 + z95, 1e-9);
    // Negative scores: -84 and 83 once each.
    const Interval wide = meanInterval(-1, 84 * 84 + 83 * 83, 2, 1);
    EXPECT_NEAR(wide.low + wide.high, -1.0, 1e-9);
    EXPECT_NEAR(wide.high - wide.low, 2 * z95 * 83.5, 1e-9);
    const Interval single = meanInterval(7, 49, 1, 1);
    EXPECT_EQ(single.low, 7);
    EXPECT_EQ(single.high, 7);
}

TEST(Statistics, DealsAreWorthBetweenTheirNumberAndTheirGames) {
    struct Case {
        double share;
        double gameMeanSquare;
        double dealMeanSquare;
        std::int64_t gamesPerDeal;
        double trials;
    };
    const std::vector<Case> cases = {
        // Single-game deals, ties or not: every game is a trial.
        {0.3, 0.3, 0.3, 1, 100},
        {0.25, 0.125, 0.125, 1, 100},
        // Four games per deal, always won or lost together: one trial a deal.
        {0.25, 0.25, 0.25, 4, 100},
        // Every deal's share the same: nothing varies between deals.
        {0.25, 0.25, 0.0625, 4, 400},
        // A deal's share spreads half as much as one game's: twice the deals.
        {0.5, 0.5, 0.25 + 0.125, 4, 200},
        // Less than four independent games would: all the games, no more.
        {0.5, 0.5, 0.25 + 0.01, 4, 400},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(
            effectiveTrials(c.share, c.gameMeanSquare, c.dealMeanSquare, 100, c.gamesPerDeal),
            c.trials, 1e-9)
            << c.share << ' ' << c.dealMeanSquare;
    }
}

} // namespace
