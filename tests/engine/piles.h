#pragma once

#include "engine/card.h"
#include "engine/game_state.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace pellaro {

// A score pile as nine counts indexed by CardKind.
using Pile = std::array<std::int32_t, cardKindCount>;

inline Pile pileOf(std::int32_t red, std::int32_t green, std::int32_t blue, std::int32_t yellow,
                   std::int32_t pink, std::int32_t silver, std::int32_t violet, std::int32_t wild,
                   std::int32_t plusTwo) {
    return {red, green, blue, yellow, pink, silver, violet, wild, plusTwo};
}

// A pile as its labels and counts, to name it in a failure.
inline std::string describe(const Pile& pile) {
    std::string text;
    for (int kind = 0; kind < cardKindCount; ++kind) {
        text += std::string(cardLabels.at(kind)) + std::to_string(pile.at(kind)) + ' ';
    }
    return text;
}

// A game with one player per pile, each holding that pile.
inline GameState gameWithPiles(const std::vector<Pile>& piles) {
    GameState game = newGame(static_cast<std::int32_t>(piles.size()), 1U);
    for (std::size_t seat = 0; seat < piles.size(); ++seat) {
        game.players[seat].counts = piles[seat];
    }
    return game;
}

} // namespace pellaro
