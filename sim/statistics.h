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
// as shared wins are.
Interval wilsonInterval(double proportion, std::int64_t trials);

// The mean of `count` values from their sum and sum of squares.
double meanOf(std::int64_t sum, std::int64_t count);

// The 95 % interval of that mean, from the sample standard deviation; a
// single value gives an interval of no width.
Interval meanInterval(std::int64_t sum, std::int64_t squares, std::int64_t count);
