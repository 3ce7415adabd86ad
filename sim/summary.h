#pragma once

#include "engine/game_state.h"

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

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

// A deal's share units and score sums, per seat and per bot, while its games
// are counted.
struct DealTotals {
    std::array<std::int64_t, maxPlayers> seatShares{};
    std::array<std::int64_t, maxPlayers> seatScores{};
    std::array<std::int64_t, maxPlayers> botShares{};
    std::array<std::int64_t, maxPlayers> botScores{};
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
    // Indexed like distinctBots of the configuration.
    std::array<Tally, maxPlayers> bots{};
    // Final scores of each bot, bin 0 holding lowestScore.
    std::array<std::array<std::int64_t, scoreBins>, maxPlayers> scoreCounts{};
};

// Counts a game of the deal whose totals are given.
void addGame(Summary& summary, const GameOutcome& outcome, DealTotals& deal);

// Counts the deal once all its games are in.
void closeDeal(Summary& summary, const DealTotals& deal);

void addSummary(Summary& total, const Summary& part);

// The first count of a summary read back that no run could have made, as
// "counts.seats[0].shareUnits (2370)", or empty when they all agree:
// with the games, with each other and with the score histograms. Counts
// that pass are bounded by their games, so that adding up the summaries of
// a run cannot overflow. `botSeats` gives each distinct bot's seats.
std::string contradiction(const Summary& summary, std::int32_t players, std::int64_t gamesPerDeal,
                          const std::vector<std::int32_t>& botSeats);
