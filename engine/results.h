#pragma once

#include "game_state.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace pellaro {

// Every player's final score, in seat order.
std::vector<std::int32_t> allScores(const GameState& game);

// The greatest of the first numberOfPlayers scores.
std::int32_t topScore(const GameState& game, std::vector<std::int32_t> scores);

// The 1-based numbers of the players whose final score is top, ascending.
std::vector<std::int32_t> winners(const GameState& game, std::int32_t top);

// A finished game's results in one pass, without the heap, for the computer
// players and the simulator that weigh millions of games: every seat's final
// score, the top score and how many players share it, and the best score
// below the top.
struct Standings {
    std::int32_t players = minPlayers;
    std::array<std::int32_t, maxPlayers> scores{};
    std::int32_t top = 0;
    std::int32_t winnerCount = 0;
    // The best score below the top; the top itself when no other player scored less.
    std::int32_t runnerUp = 0;
};

Standings standings(const GameState& game);

// The same from a score list of 2 to 5 scores, in seat order.
Standings standingsOf(std::span<const std::int32_t> scores);

inline bool isWinner(const Standings& results, std::int32_t seat) {
    return results.scores[seat] == results.top;
}

// A seat's share of the win: 1 alone at the top, 1/k when k players share it,
// else 0.
inline double winShare(const Standings& results, std::int32_t seat) {
    return isWinner(results, seat) ? 1.0 / results.winnerCount : 0.0;
}

// A seat's score less the best score of the others: the top score, unless
// the seat holds it alone.
inline std::int32_t margin(const Standings& results, std::int32_t seat) {
    const bool alone = isWinner(results, seat) && results.winnerCount == 1;
    return results.scores[seat] - (alone ? results.runnerUp : results.top);
}

} // namespace pellaro
