#pragma once

#include "engine/game_state.h"
#include "engine/turn_rules.h"

#include <cstdint>

namespace pellaro {

// A tiny xorshift generator for picking moves, so that choosing a move costs
// next to nothing beside the engine's own work and never touches rand(),
// whose sequence belongs to the deck.
struct MoveRandom {
    std::uint32_t state = 2463534242U;
};

std::uint32_t nextRandom(MoveRandom& random);

struct Move {
    TurnAction action = TurnAction::Draw;
    std::int32_t row = 0;
};

// One of the moves that the engine allows the current player; any of them can
// be picked, though not all equally often.
Move randomLegalMove(const GameState& game, MoveRandom& random);

// Plays random legal moves until the game is over; returns how many were made.
std::int32_t playRandomGame(GameState& game, MoveRandom& random);

} // namespace pellaro
