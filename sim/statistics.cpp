#include "statistics.h"

#include <algorithm>
#include <cmath>

Interval wilsonInterval(double proportion, std::int64_t trials) {
    if (trials <= 0) {
        return Interval{0, 1};
    }
    const auto n = static_cast<double>(trials);
    const double zz = z95 * z95;
    const double centre = (proportion + zz / (2 * n)) / (1 + zz / n);
    const double spread =
        z95 / (1 + zz / n) * std::sqrt(proportion * (1 - proportion) / n + zz / (4 * n * n));
    return Interval{std::max(0.0, centre - spread), std::min(1.0, centre + spread)};
}

double meanOf(std::int64_t sum, std::int64_t count) {
    return count > 0 ? static_cast<double>(sum) / static_cast<double>(count) : 0;
}

Interval meanInterval(std::int64_t sum, std::int64_t squares, std::int64_t count) {
    const double mean = meanOf(sum, count);
    if (count < 2) {
        return Interval{mean, mean};
    }
    const auto n = static_cast<double>(count);
    // Sum of squared deviations, from exact integers: squares - sum^2 / n.
    const double deviations = static_cast<double>(squares) - static_cast<double>(sum) * mean;
    const double variance = std::max(0.0, deviations / (n - 1));
    const double half = z95 * std::sqrt(variance / n);
    return Interval{mean - half, mean + half};
}
