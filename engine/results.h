#pragma once

#include "game_state.h"

#include <cstdint>
#include <vector>

// Every player's final score, in seat order.
std::vector<std::int32_t> allScores(const GameState& game);

// The greatest of the first numberOfPlayers scores.
std::int32_t topScore(const GameState& game, std::vector<std::int32_t> scores);

// The 1-based numbers of the players whose final score is top, ascending.
std::vector<std::int32_t> winners(const GameState& game, std::int32_t top);
