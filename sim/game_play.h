#pragma once

#include "bots/bot_game.h"
#include "engine/game_state.h"
#include "sim_config.h"
#include "summary.h"

#include <array>
#include <cstdint>
#include <vector>

// All that a game record holds: enough to replay the game move by move.
struct GameRecord {
    std::int64_t game = 0;
    std::int64_t deal = 0;
    std::int32_t rotation = 0;
    std::uint64_t seed = 0;
    std::array<CardKind, deckSize> deck{};
    std::vector<PlayedMove> moves;
    // The state after the last move, with every score pile.
    GameState end;
};

// The seed of a deal: a function of the run's seed and the deal's index alone.
std::uint64_t dealSeed(const SimConfig& config, std::int64_t deal);

// A deal's game for the rotation: the engine's shuffle fed by the deal's own
// generator, and each seat's bot seeded from the deal's seed and its seat.
// Fills the record when one is given.
GameOutcome playGame(const SimConfig& config, std::int64_t deal, std::int32_t rotation,
                     GameRecord* record);
