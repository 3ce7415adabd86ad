#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace pellaro {

// The value of a card. The colours are 0 to 6; a slot with no card holds noCard.
enum CardKind : std::int32_t {
    Red = 0,
    Green = 1,
    Blue = 2,
    Yellow = 3,
    Pink = 4,
    Silver = 5,
    Violet = 6,
    Wild = 7,
    PlusTwo = 8,
};

inline constexpr CardKind noCard = static_cast<CardKind>(-1);

inline constexpr int colourCount = 7;
inline constexpr int cardKindCount = 9;

// How many cards of each kind the deck holds, indexed by CardKind: nine of
// each colour, three wilds and ten +2 cards, 76 in all.
inline constexpr std::array<std::int32_t, cardKindCount> deckMakeUp = {9, 9, 9, 9, 9, 9, 9, 3, 10};

// Labels shown on the board and in the row prompt, indexed by CardKind.
inline constexpr std::array<std::string_view, cardKindCount> cardLabels = {
    "R", "G", "B", "Y", "P", "S", "V", "W", "+2",
};

} // namespace pellaro
