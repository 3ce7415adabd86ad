#pragma once

#include "ratings.h"
#include "simulation.h"
#include "summary.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellaro {

// Several bots ranked from every game they play against each other: each
// pairing on the same deals, every deal rotated, the ratings fitted to all
// the games' finishing orders at once.

struct TournamentConfig {
    std::int32_t players = minPlayers;
    std::vector<BotSettings> bots;
    std::uint64_t seed = 1;
    // Deals of each table, every table dealt the same ones.
    std::int64_t deals = 1;
    std::int32_t budget = defaultBudget;
    // Every bot against the first alone, rather than every pairing.
    bool gauntlet = false;
    std::optional<RequestKey> botKey;
};

// One table of a pairing: the bot `alone` against copies of `other` in every
// other seat. At two players a pairing is one table; at more, two, each bot
// alone once.
struct Table {
    std::int32_t alone = 0;
    std::int32_t other = 0;
    SimResults results;
};

struct Tournament {
    TournamentConfig config;
    std::vector<Table> tables;
    bool interrupted = false;
    std::string botFailure;
    double seconds = 0;
    // For a merge: how many files it adds up.
    std::int32_t mergedFiles = 0;
};

// The tournament's tables, nothing played yet.
Tournament newTournament(const TournamentConfig& config);

// Plays deals `range` of every table, table after table. A Ctrl-C or a
// bot's failure stops it after the deals finished so far.
void playTournament(Tournament& tournament, DealRange range, std::int32_t threads, bool progress);

struct TournamentFigures {
    Ratings ratings;
    // Per bot: the games it played, and its share of the places decided
    // between it and the bots it met.
    std::vector<std::int64_t> games;
    std::vector<double> share;
    // shares[i][j]: bot i's share of the places decided between it and bot
    // j, a tie counting half; meetings[i][j] how many places that is, 0 when
    // they never met.
    std::vector<std::vector<double>> shares;
    std::vector<std::vector<std::int64_t>> meetings;
};

// Worked out from the counts alone, so that equal counts give equal figures.
TournamentFigures tournamentFigures(const Tournament& tournament);

// The bots from the highest rating down, ties in the order named.
std::vector<std::size_t> rankingOf(const TournamentFigures& figures);

// The ranking with ratings and their intervals, then the cross-table.
std::string tournamentReport(const Tournament& tournament, const TournamentFigures& figures);

// The ratings with their intervals, best first, as an SVG picture.
std::string tournamentChart(const Tournament& tournament, const TournamentFigures& figures);

// The configuration, the ranking, the cross-table, and each table's whole
// summary and finishing orders, enough to merge shards exactly; the timing,
// the one part that may differ, last.
std::string tournamentJson(const Tournament& tournament, const TournamentFigures& figures);

// Whether the text is a tournament's --json, by what it says it is.
bool isTournamentJson(std::string_view text);

// Reads back what tournamentJson wrote; false, with the reason, when the text
// is not such a file or contradicts itself.
bool readTournamentJson(std::string_view text, Tournament& tournament, std::string& error);

// Adds a shard's tables to the merge; false, with the reason, when it is of
// another tournament or counts deals already counted.
bool addTournament(Tournament& merged, const Tournament& part, std::string& error);

} // namespace pellaro
