#pragma once

#include <cstdint>

struct Interval {
    double low = 0;
    double high = 0;
};

// The normal quantile of a two-sided 95 % interval.
inline constexpr double z95 = 1.959963984540054;

// The 95 % Wilson score interval of a proportion seen in `trials` trials;
// unlike the normal approximation it stays inside 0 to 1 and is sound for
// shares near 0 or 1 and for few games. The proportion may be fractional,
// as shared wins are, and so may the trials, when they are effective ones.
Interval wilsonInterval(double proportion, double trials);

// What `deals` deals of `gamesPerDeal` games each are worth as independent
// trials for a share: the games of a rotated deal share their cards, and a
// bot in two seats of a deal plays against itself, so the deals' shares may
// spread more than independent games' would. The means over the games of
// the square of a game's share, and over the deals of the square of a
// deal's share, measure the two spreads. The answer lies between the deals
// and the games; with one game per deal it is the games.
double effectiveTrials(double share, double gameMeanSquare, double dealMeanSquare,
                       std::int64_t deals, std::int64_t gamesPerDeal);

// The mean of `count` values from their sum.
double meanOf(std::int64_t sum, std::int64_t count);

// The 95 % interval of the mean per game of a value, from its sum and the sum
// of the squares of its deals' totals, the deals being the independent units;
// fewer than two deals give an interval of no width.
Interval meanInterval(std::int64_t sum, std::int64_t dealSquares, std::int64_t deals,
                      std::int64_t gamesPerDeal);
