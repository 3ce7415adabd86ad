#pragma once

#include "simulation.h"
#include "summary.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pellaro {

// Whether bot A wins more than bot B by a margin, played out until the
// evidence says so or says not: a sequential probability ratio test, in its
// generalised normal form, on A's share of the wins of each rotated deal.
// A deal's games share their cards, so the deal is the sample.

struct SprtSettings {
    // A's share when the bots are equally strong: 1 / players.
    double fair = 0.5;
    // How much more than the fair share makes A stronger.
    double margin = 0.05;
    // The chances of calling A stronger when it is not, and of missing it
    // when it is stronger by the margin.
    double alpha = 0.05;
    double beta = 0.05;
};

// A's wins over the deals so far, in sixtieths of a game, as the summary
// counts them: exact in any order.
struct DealShares {
    std::int64_t gamesPerDeal = 1;
    std::int64_t deals = 0;
    std::int64_t shareUnits = 0;
    // Each deal's share units squared, summed over the deals.
    std::int64_t dealShareSquares = 0;
};

struct SprtBounds {
    double lower = 0;
    double upper = 0;
};

enum class SprtVerdict : std::uint8_t { undecided, notStronger, stronger };

SprtBounds sprtBounds(const SprtSettings& settings);

// The log-likelihood ratio of "A's mean share is fair plus the margin" to
// "it is fair", from the deals' sample mean and variance.
double sprtLlr(const SprtSettings& settings, const DealShares& shares);

SprtVerdict sprtVerdict(double llr, const SprtBounds& bounds);

// A's deals in a summary: A sits first, so it is the first distinct bot.
DealShares dealSharesOf(const Summary& summary, std::int64_t gamesPerDeal);

struct SprtOutcome {
    // The configuration, the deals covered and their counts.
    SimResults results;
    SprtSettings settings;
    std::int64_t gameLimit = 0;
    double llr = 0;
    SprtVerdict verdict = SprtVerdict::undecided;
};

// Deals are played in batches of this many, the verdict looked at after
// each, so that where a test stops depends on the seed and options alone.
inline constexpr std::int64_t sprtBatchDeals = 50;

// A test about to start: A, the first seat of the configuration, against B
// in the others, rotated, nothing played yet.
SprtOutcome newSprt(const SimConfig& config, const SprtSettings& settings, std::int64_t gameLimit);

// Goes on with the test until the ratio crosses a bound at the end of a
// batch or no whole deal fits under the game limit; at least one deal is
// played. A Ctrl-C or a bot's failure stops it after the deals finished so
// far, undecided; resumed, it looks at the verdict where an uninterrupted
// test would have, so that it ends exactly as that test.
void playSprt(SprtOutcome& outcome, std::int32_t threads, ProgressBar* progress);

// The report: the bots, the error rates, the deals played, A's share with its
// interval, the ratio and its bounds, and the verdict on the last line.
std::string sprtReport(const SprtOutcome& outcome);

// The configuration, the sums, the ratio, its bounds and the verdict, and
// the run's whole summary, enough to go on later; a function of the options
// and the seed alone.
std::string sprtJson(const SprtOutcome& outcome);

// Reads back what sprtJson wrote, to go on with the test; false, with the
// reason, when the text is not such a test or contradicts itself.
bool readSprtJson(std::string_view text, SprtOutcome& outcome, std::string& error);

// Makes the test's game limit `gameLimit`; false, with the reason, when the
// test has played more games already.
bool setSprtGameLimit(SprtOutcome& outcome, std::int64_t gameLimit, std::string& error);

} // namespace pellaro
