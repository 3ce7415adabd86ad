#pragma once

#include "engine/game_state.h"
#include "engine/turn_rules.h"

#include <cstdint>
#include <vector>

namespace pellaro {

// The rows that the game lets the current player use for the action, in
// board order: what a scripted player chooses from.
inline std::vector<std::int32_t> rowsAllowing(const GameState& game, TurnAction action) {
    std::vector<std::int32_t> rows;
    for (std::int32_t row = 0; row < game.numberOfPlayers; ++row) {
        if (isRowValid(game, action, row)) {
            rows.push_back(row);
        }
    }
    return rows;
}

} // namespace pellaro
