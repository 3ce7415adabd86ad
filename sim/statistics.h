#pragma once

#include <cstdint>
#include <optional>

namespace pellaro {

// The simulator's statistics: the 95 % intervals of its figures, from sums
// of integers alone.

// A sum's mean over a count, 0 over none.
double meanOf(std::int64_t sum, std::int64_t count);

struct Interval {
    double low = 0;
    double high = 0;
};

// The normal quantile of a two-sided 95 % interval.
inline constexpr double z95 = 1.959963984540054;

// Student's t quantile for a two-sided 95 % interval: published values up
// to 10 degrees of freedom, then the Cornish-Fisher expansion, within 5e-6.
double t95(std::int64_t freedom);

// The 95 % Wilson score interval; unlike the normal approximation it stays
// inside 0 to 1 and is sound for shares near 0 or 1 and for few games. The
// proportion may be fractional, as shared wins are, and so may the trials,
// when they are effective ones.
Interval wilsonInterval(double proportion, double trials);

// The 95 % interval of a share of games won, from `deals` deals of
// `gamesPerDeal` games each. The deals are the independent units: the games
// of a rotated deal share their cards and a bot in two seats plays against
// itself, so a deal's share may spread more or, by the rotation's pairing,
// less than that of as many independent games. The Wilson interval takes
// as trials the games divided by that ratio (the design effect, from the
// means over the games of a game's share squared and over the deals of a
// deal's share squared, the deals' spread no less than one more deal at the
// widest spread a share allows would add, so that few deals all alike by
// chance leave room for the kinds unseen), scaled by (z / t)^2 for the
// deals' degrees of freedom. One deal gives no interval.
std::optional<Interval> shareInterval(double share, double gameMeanSquare, double dealMeanSquare,
                                      std::int64_t deals, std::int64_t gamesPerDeal);

// The 95 % t interval of the mean per game of a value, from its sum and the
// sum of the squares of its deals' totals; one deal gives no interval.
std::optional<Interval> meanInterval(std::int64_t sum, std::int64_t dealSquares, std::int64_t deals,
                                     std::int64_t gamesPerDeal);

} // namespace pellaro
