#pragma once

#include "bots/bot.h"
#include "engine/game_state.h"
#include "protocol/request_seeds.h"
#include "statistics.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellaro {

// What decides every figure of a run: the same configuration over the same
// deals always gives the same results, whatever the threads or machines.
struct SimConfig {
    std::int32_t players = minPlayers;
    // The bot of each seat, seat 1 first, before any rotation. Every searching
    // bot named without a budget of its own searches on `budget`.
    std::vector<BotSettings> seats;
    std::uint64_t seed = 1;
    // Deal i is dealt from deriveSeed(seed, i), for i from 0 to deals - 1.
    std::int64_t deals = 0;
    // Each deal is played once per cyclic rotation of the seats' bots.
    bool rotate = false;
    std::int32_t budget = defaultBudget;
    // With an exec: bot at the table, the key of its requests' seeds: drawn
    // afresh for each run unless given, and kept in the summary so that the
    // run can be played again. None without one.
    std::optional<RequestKey> botKey;
    // Whether the summary counts the games' finishing orders, as a
    // tournament's ratings need.
    bool countOrders = false;
};

// Deals first to end - 1: the share of a run one machine or one batch plays.
struct DealRange {
    std::int64_t first = 0;
    std::int64_t end = 0;
};

std::int32_t gamesPerDeal(const SimConfig& config);

// Game `rotation` of a deal: seat s plays the bot listed (s + rotation) mod n.
const BotSettings& botOfSeat(const SimConfig& config, std::int32_t rotation, std::int32_t seat);

// The different bots of the seat list, in order of first appearance: the
// per-bot figures pool all seats a bot plays. One strategy on two budgets
// makes two bots.
std::vector<BotSettings> distinctBots(const SimConfig& config);
std::int32_t botIndex(const SimConfig& config, const BotSettings& bot);

// The bot a name of --bots or of a record gives on the budget; nullopt, with
// the reason, when it names none.
std::optional<BotSettings> botCalled(const std::string& name, std::int32_t budget,
                                     std::string& error);
// A bot that reads the order of the deck: the ceiling to measure against.
inline bool readsTheDeck(const BotSettings& bot) {
    return !bot.entry->fair;
}

// "greedy,montecarlo:200,random" for the headings.
std::string botList(const SimConfig& config);

// The deals a summary counts, as ranges in ascending order, none touching
// another: a whole run is one range, shards merged so far as few as can be.
using Coverage = std::vector<DealRange>;

// Adds the part's deals; false, leaving `total` unchanged, when a deal would
// be counted twice.
bool joinCoverage(Coverage& total, const Coverage& part);

// Scores a pile can reach: four colours of six or more cards against, none
// for; three colours of six or more and all ten +2 cards for.
inline constexpr std::int32_t lowestScore = -84;
inline constexpr std::int32_t highestScore = 83;
inline constexpr std::int32_t scoreBins = highestScore - lowestScore + 1;

// A tie among k players gives each 1/k of a win; 60 is the least common
// multiple of 1 to 5, so every share is a whole number of sixtieths and sums
// of shares stay exact in any order.
inline constexpr std::int64_t shareUnit = 60;

// One seat's or one bot's games, as exact integer sums.
struct Tally {
    std::int64_t games = 0;
    std::int64_t shareUnits = 0;
    std::int64_t outrightWins = 0;
    std::int64_t scoreSum = 0;
    // Finishing places in halves: tied players share the mean of their places.
    std::int64_t placeHalves = 0;
    // Squares of each game's share units: how much single games vary.
    std::int64_t shareSquares = 0;
    // The games of one deal are not independent (a rotated deal is played on
    // the same cards, a bot in two seats plays against itself), so the
    // intervals take the deal as the unit: these sum, over the deals, the
    // square of the deal's share units and of its score sum.
    std::int64_t dealShareSquares = 0;
    std::int64_t dealScoreSquares = 0;
};

// A game's finishing order by bot: places best first, four bits a place from
// the lowest, each the index of the place's bot among the run's distinct bots
// and, in the high bit, whether it tied the place before. Tied bots come in
// index order, so that seats of one bot swapped give one code.
using OrderCode = std::uint32_t;
inline constexpr OrderCode tiedWithPlaceBefore = 8;

// The bot of each place of an order, best first, and whether it tied the
// place before.
struct Place {
    std::int32_t bot = 0;
    bool tied = false;
};

// How often each finishing order came out, and how often two came out in one
// deal: what a rating model needs to weigh a deal's games as the one sample
// they are. Counted only when the configuration asks, exact, added like the
// rest.
struct OrderCounts {
    std::map<OrderCode, std::int64_t> games;
    // Pairs of a deal's games, the smaller code first.
    std::map<std::pair<OrderCode, OrderCode>, std::int64_t> pairsInDeals;
};

// A deal's share units and score sums, per seat and per bot, while its games
// are counted, and the orders of its games when they are counted.
struct DealTotals {
    std::array<std::int64_t, maxPlayers> seatShares{};
    std::array<std::int64_t, maxPlayers> seatScores{};
    std::array<std::int64_t, maxPlayers> botShares{};
    std::array<std::int64_t, maxPlayers> botScores{};
    std::array<OrderCode, maxPlayers> orders{};
    std::int32_t games = 0;
};

struct LengthTally {
    std::int64_t sum = 0;
    std::int32_t least = std::numeric_limits<std::int32_t>::max();
    std::int32_t most = 0;
};

// How one game ended, as the summary counts it.
struct GameOutcome {
    std::int32_t players = minPlayers;
    std::array<std::int32_t, maxPlayers> scores{};
    // Index of each seat's bot among the run's distinct bots.
    std::array<std::int32_t, maxPlayers> bots{};
    std::int32_t rounds = 0;
    std::int32_t cardsDrawn = 0;
    std::int32_t turns = 0;
};

// Everything a run measures, in integers only, so that adding the summaries
// of any split of the deals gives exactly the summary of one run over them.
struct Summary {
    std::int64_t deals = 0;
    std::int64_t games = 0;
    std::int64_t tiedGames = 0;
    // Top score less bottom score, summed over games.
    std::int64_t spreadSum = 0;
    LengthTally rounds;
    LengthTally cardsDrawn;
    LengthTally turns;
    std::array<Tally, maxPlayers> seats{};
    // Indexed like distinctBots.
    std::array<Tally, maxPlayers> bots{};
    // Final scores of each bot, bin 0 holding lowestScore.
    std::array<std::array<std::int64_t, scoreBins>, maxPlayers> scoreCounts{};
    // Only when the configuration counts them.
    std::optional<OrderCounts> orders;
};

// A summary of no games, counting finishing orders when the configuration
// asks for them.
Summary emptySummary(const SimConfig& config);

OrderCode finishingOrder(const GameOutcome& outcome);
std::vector<Place> placesOf(OrderCode code, std::int32_t players);

// How long the games took: the one figure that may differ between runs.
struct Timing {
    double seconds = 0;
    std::int32_t threads = 0;
    // For a merge: how many summaries it adds up; seconds is then their sum.
    std::int32_t mergedSummaries = 0;
};

// A run's or a merge's results: what the report, the JSON and the chart show.
struct SimResults {
    SimConfig config;
    Coverage coverage;
    // Stopped by a signal or a bot's failure: the summary counts the deals
    // finished before it, a prefix of the deals in index order.
    bool interrupted = false;
    // Why an external bot stopped the run, one line; empty when none did.
    std::string botFailure;
    Summary summary;
    Timing timing;
};

void addGame(Summary& summary, const GameOutcome& outcome, DealTotals& deal);
// Counts the deal once all its games are in.
void closeDeal(Summary& summary, const DealTotals& deal);
void addSummary(Summary& total, const Summary& part);

// The first count of a summary read back that no run could have made, as
// "counts.seats[0].shareUnits (2370)", or empty when they all agree: with
// the games, with each other and with the score histograms. Counts that
// pass are bounded by their games, so that adding up the summaries of a run
// cannot overflow. `botSeats` gives each distinct bot's seats.
std::string contradiction(const Summary& summary, std::int32_t players, std::int64_t gamesPerDeal,
                          const std::vector<std::int32_t>& botSeats);

struct TallyFigures {
    std::int64_t games = 0;
    double winShare = 0;
    // None from a single deal: nothing shows how much deals vary.
    std::optional<Interval> winInterval;
    std::int64_t outrightWins = 0;
    double meanScore = 0;
    std::optional<Interval> scoreInterval;
    double meanPlace = 0;
};

struct LengthFigures {
    double mean = 0;
    std::int32_t least = 0;
    std::int32_t most = 0;
};

// Everything the report, the JSON and the chart show, worked out once from
// a summary's integers alone, so that equal summaries give equal figures.
struct Figures {
    std::vector<TallyFigures> seats;
    // In the order of distinctBots.
    std::vector<TallyFigures> bots;
    // Seat 1's win share less the fair share 1/n, which means something only
    // where the seats are comparable: one bot in every seat, or the bots rotated.
    bool seatsComparable = false;
    double seatOneAdvantage = 0;
    std::optional<Interval> seatOneInterval;
    // 1 less the largest gap between two seats' win shares.
    double balance = 0;
    LengthFigures rounds;
    LengthFigures cardsDrawn;
    LengthFigures turns;
    double tieRate = 0;
    // Mean of top score less bottom score.
    double meanSpread = 0;
};

Figures figuresOf(const SimConfig& config, const Summary& summary);

// printf-style formatting into a string, for fixed columns.
template <typename... Values>
std::string printed(const char* format, Values... values) {
    std::array<char, 256> text{};
    const int length = std::snprintf(text.data(), text.size(), format, values...);
    return {text.data(), length < 0 ? 0 : std::min<std::size_t>(length, text.size() - 1)};
}

// The report: the configuration, a table per seat and per bot, seat 1's
// advantage, the balance, the games' length, ties, the spread, the throughput.
std::string reportTable(const SimResults& results, const Figures& figures);

// A standalone SVG picture: each seat's win share with its 95 % interval
// beside the fair share, and each bot's distribution of final scores.
std::string svgChart(const SimResults& results, const Figures& figures);

// The --json summary. Apart from the timing, which sorts last, it is a
// function of the configuration and the deals covered alone, byte for byte.
std::string summaryJson(const SimResults& results, const Figures& figures);

// Reads a summary back for merging; false, with the reason, when the text is
// not one this program wrote.
bool readSummaryJson(std::string_view text, SimResults& results, std::string& error);

// Whether two summaries come from the same configuration, so that their
// counts may be added.
bool sameConfiguration(const SimConfig& a, const SimConfig& b);

} // namespace pellaro
