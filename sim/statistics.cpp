#include "statistics.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <limits>

namespace pellaro {

double meanOf(std::int64_t sum, std::int64_t count) {
    return count > 0 ? static_cast<double>(sum) / static_cast<double>(count) : 0;
}

double t95(std::int64_t freedom) {
    assert(freedom >= 1);
    constexpr std::array<double, 10> published = {
        12.706204736, 4.302652730, 3.182446305, 2.776445105, 2.570581836,
        2.446911851,  2.364624252, 2.306004135, 2.262157163, 2.228138852};
    if (freedom <= static_cast<std::int64_t>(published.size())) {
        return published[static_cast<std::size_t>(freedom - 1)];
    }
    const auto n = static_cast<double>(freedom);
    const double z = z95;
    const double z2 = z * z;
    return z + z * (z2 + 1) / (4 * n) + z * ((5 * z2 + 16) * z2 + 3) / (96 * n * n) +
           z * (((3 * z2 + 19) * z2 + 17) * z2 - 15) / (384 * n * n * n) +
           z * ((((79 * z2 + 776) * z2 + 1482) * z2 - 1920) * z2 - 945) / (92160 * n * n * n * n);
}

Interval wilsonInterval(double proportion, double trials) {
    if (trials <= 0) {
        return Interval{0, 1};
    }
    if (std::isinf(trials)) {
        return Interval{proportion, proportion};
    }
    const double n = trials;
    const double zz = z95 * z95;
    const double centre = (proportion + zz / (2 * n)) / (1 + zz / n);
    const double spread =
        z95 / (1 + zz / n) * std::sqrt(proportion * (1 - proportion) / n + zz / (4 * n * n));
    return Interval{std::max(0.0, centre - spread), std::min(1.0, centre + spread)};
}

std::optional<Interval> shareInterval(double share, double gameMeanSquare, double dealMeanSquare,
                                      std::int64_t deals, std::int64_t gamesPerDeal) {
    if (deals < 2) {
        return std::nullopt;
    }
    const auto games = static_cast<double>(deals * gamesPerDeal);
    const double gameSpread = gameMeanSquare - share * share;
    // A few deals may all be alike by chance, a rarer kind of deal unseen:
    // the deals' spread is taken as no less than one more deal would add at
    // the widest spread a share allows. Deals that differ are not widened.
    const auto n = static_cast<double>(deals);
    const double dealSpread =
        std::max(dealMeanSquare - share * share, share * (1 - share) / (n + 1));
    // Every game alike (always won or always lost) leaves the games as the
    // trials.
    double trials = games;
    if (gameSpread > 1e-12) {
        trials = dealSpread > 1e-12
                     ? games * gameSpread / (static_cast<double>(gamesPerDeal) * dealSpread)
                     : std::numeric_limits<double>::infinity();
    }
    const double widen = z95 / t95(deals - 1);
    return wilsonInterval(share, trials * widen * widen);
}

std::optional<Interval> meanInterval(std::int64_t sum, std::int64_t dealSquares, std::int64_t deals,
                                     std::int64_t gamesPerDeal) {
    if (deals < 2) {
        return std::nullopt;
    }
    const double mean = meanOf(sum, deals * gamesPerDeal);
    const auto n = static_cast<double>(deals);
    // The deals' totals' sum of squared deviations: dealSquares - sum^2 / n.
    const double deviations =
        static_cast<double>(dealSquares) - static_cast<double>(sum) * meanOf(sum, deals);
    const double totalsVariance = std::max(0.0, deviations / (n - 1));
    const auto games = static_cast<double>(gamesPerDeal);
    const double half = t95(deals - 1) * std::sqrt(totalsVariance / n) / games;
    return Interval{mean - half, mean + half};
}

} // namespace pellaro
