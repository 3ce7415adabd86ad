#pragma once

#include "engine/game_state.h"

#include <array>
#include <cstdint>
#include <limits>

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
    std::int64_t scoreSquares = 0;
    // Finishing places in halves: tied players share the mean of their places.
    std::int64_t placeHalves = 0;
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

void addGame(Summary& summary, const GameOutcome& outcome);

void addSummary(Summary& total, const Summary& part);
