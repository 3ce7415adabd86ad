#pragma once

#include "game_state.h"

#include <array>
#include <cstdint>

// Points for one colour holding 0 to 9 cards; specialising pays, up to six.
inline constexpr std::array<std::int32_t, 10> ScoringTable = {0, 1, 3, 6, 10, 15, 21, 21, 21, 21};

// The table's value for any count: none below zero, 21 from six cards on.
std::int32_t pointsForCount(std::int32_t cards);

// The player's final score: the three largest colours, with the wilds added,
// count positively; the other four negatively; each +2 card adds two.
std::int32_t finalScore(const GameState& game, std::int32_t player);
