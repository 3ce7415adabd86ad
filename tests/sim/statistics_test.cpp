#include "sim/statistics.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

TEST(Statistics, WilsonIntervalsMatchPublishedValues) {
    // Wilson's 95 % score interval: Newcombe's (1998) worked examples, and
    // the usual table values for ten trials.
    struct Case {
        double proportion;
        std::int64_t trials;
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

TEST(Statistics, MeanIntervalUsesTheSampleDeviation) {
    // 1, 2, 3, 4, 5: mean 3, sample deviation sqrt(2.5), half width 1.96 * sqrt(0.5).
    const Interval interval = meanInterval(15, 55, 5);
    EXPECT_NEAR(interval.low, 1.6141, 5e-5);
    EXPECT_NEAR(interval.high, 4.3859, 5e-5);
    // Negative scores: -84 and 83 once each.
    const Interval wide = meanInterval(-1, 84 * 84 + 83 * 83, 2);
    EXPECT_NEAR(wide.low + wide.high, -1.0, 1e-9);
    EXPECT_NEAR(wide.high - wide.low, 2 * 1.959964 * 83.5, 1e-3);
    const Interval single = meanInterval(7, 49, 1);
    EXPECT_EQ(single.low, 7);
    EXPECT_EQ(single.high, 7);
}

} // namespace
