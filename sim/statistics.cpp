#include "statistics.h"

#include <algorithm>
#include <cmath>

Interval wilsonInterval(double proportion, double trials) {
    if (trials <= 0) {
        return Interval{0, 1};
    }
    const double n = trials;
    const double zz = z95 * z95;
    const double centre = (proportion + zz / (2 * n)) / (1 + zz / n);
    const double spread =
        z95 / (1 + zz / n) * std::sqrt(proportion * (1 - proportion) / n + zz / (4 * n * n));
    return Interval{std::max(0.0, centre - spread), std::min(1.0, centre + spread)};
}

double effectiveTrials(double share, double gameMeanSquare, double dealMeanSquare,
                       std::int64_t deals, std::int64_t gamesPerDeal) {
    const auto least = static_cast<double>(deals);
    const auto most = static_cast<double>(deals * gamesPerDeal);
    const double gameSpread = gameMeanSquare - share * share;
    const double dealSpread = dealMeanSquare - share * share;
    if (gameSpread <= 0 || dealSpread <= 0) {
        return most;
    }
    // The design effect of games drawn in clusters: how much more a deal's
    // mean spreads than the mean of as many independent games would.
    const double designEffect = static_cast<double>(gamesPerDeal) * dealSpread / gameSpread;
    return std::clamp(most / designEffect, least, most);
}

double meanOf(std::int64_t sum, std::int64_t count) {
    return count > 0 ? static_cast<double>(sum) / static_cast<double>(count) : 0;
}

Interval meanInterval(std::int64_t sum, std::int64_t dealSquares, std::int64_t deals,
                      std::int64_t gamesPerDeal) {
    const double mean = meanOf(sum, deals * gamesPerDeal);
    if (deals < 2) {
        return Interval{mean, mean};
    }
    const auto n = static_cast<double>(deals);
    // The deals' totals' sum of squared deviations: dealSquares - sum^2 / n.
    const double deviations =
        static_cast<double>(dealSquares) - static_cast<double>(sum) * meanOf(sum, deals);
    const double totalsVariance = std::max(0.0, deviations / (n - 1));
    const auto games = static_cast<double>(gamesPerDeal);
    const double half = z95 * std::sqrt(totalsVariance / n) / games;
    return Interval{mean - half, mean + half};
}
