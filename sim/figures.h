#pragma once

#include "sim_config.h"
#include "statistics.h"
#include "summary.h"

#include <cstdint>
#include <vector>

// The report's figures for one seat or one bot.
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

// Everything the report shows, worked out from a summary's integers alone,
// so that equal summaries always give equal figures.
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
