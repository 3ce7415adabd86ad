#include "pile_score.h"

PileCounts pileCounts(const PlayerState& player) {
    PileCounts pile{};
    for (int kind = 0; kind < cardKindCount; ++kind) {
        pile[kind] = static_cast<std::uint8_t>(player.counts[kind]);
    }
    return pile;
}
