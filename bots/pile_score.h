#pragma once

#include "../engine/card.h"
#include "../engine/game_state.h"
#include "../engine/scoring.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

// A score pile as searches hold it: nine small counts indexed by CardKind.
using PileCounts = std::array<std::uint8_t, cardKindCount>;

PileCounts pileCounts(const PlayerState& player);

inline std::int32_t pileScore(const PileCounts& pile) {
    return tallyScore(pileTally(pile));
}
