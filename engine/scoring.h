#pragma once

#include "game_state.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cstdint>

namespace pellaro {

// Points for one colour holding 0 to 9 cards; specialising pays, up to six.
inline constexpr std::array<std::int32_t, 10> ScoringTable = {0, 1, 3, 6, 10, 15, 21, 21, 21, 21};

// Wilds top up a positive colour to six cards and no further.
inline constexpr std::int32_t wildCeiling = 6;

// The table's value for any count: none below zero, 21 from six cards on.
std::int32_t pointsForCount(std::int32_t cards);

// A score pile kept ready for scoring after a few more cards: the counts, how
// many colours hold each number of cards, and the points of all colours as if
// every one were positive. Adding a card and scoring are a few steps each,
// without branches or sorting, since the computer players score thousands of
// piles a decision; hence the definitions here, where every caller can inline
// them. finalScore is this score of the player's pile.
struct PileTally {
    // Indexed by CardKind, with one more place that an empty slot adds to, so
    // that a row's slots are added without looking for its end.
    std::array<std::uint8_t, cardKindCount + 1> counts{};
    // Four bits for each size 0 to 9: how many colours hold that many cards.
    std::uint64_t sizes = 0;
    std::int32_t allColourPoints = 0;
};

namespace pileTallyDetail {

inline std::int32_t points(std::int32_t cards) {
    return ScoringTable[static_cast<std::size_t>(cards)];
}

inline std::uint64_t sizeBit(std::int32_t cards) {
    return std::uint64_t{1} << (4U * static_cast<unsigned>(cards));
}

// The largest size any colour of the tally holds; that colour is then taken
// out of it. Seven colours are tallied, so a colour is always left; the
// lowest bit, which no size uses alone, tells the compiler as much.
inline std::int32_t takeLargest(std::uint64_t& sizes) {
    const std::int32_t largest = (63 - std::countl_zero(sizes | 1U)) / 4;
    sizes -= sizeBit(largest);
    return largest;
}

// Gives the colour as many of the remaining wilds as it can use.
inline void topUp(std::int32_t& colour, std::int32_t& wilds) {
    const std::int32_t added = std::min(wilds, std::max(0, wildCeiling - colour));
    colour += added;
    wilds -= added;
}

} // namespace pileTallyDetail

inline constexpr std::int32_t emptySlotPlace = cardKindCount;

// Adds a card, or nothing for an empty slot (noCard).
inline void addCard(PileTally& tally, std::int32_t card) {
    using pileTallyDetail::points;
    using pileTallyDetail::sizeBit;
    // Wilds, +2 cards and empty slots change only their counts; the colour
    // terms are weighed by zero for them rather than skipped, to keep the
    // step straight.
    const std::int32_t kind = card < 0 ? emptySlotPlace : card;
    const std::int32_t before = std::min<std::int32_t>(tally.counts[kind], 9);
    const auto colour = static_cast<std::int32_t>(kind < colourCount);
    const std::int32_t after = std::min(before + colour, 9);
    tally.sizes += sizeBit(after) - sizeBit(before);
    tally.allColourPoints += points(after) - points(before);
    ++tally.counts[kind];
}

// A tally of the counts, indexed by CardKind; no count may pass what the
// deck holds.
template <typename Count>
PileTally pileTally(const std::array<Count, cardKindCount>& counts) {
    using pileTallyDetail::points;
    using pileTallyDetail::sizeBit;
    PileTally tally;
    for (int kind = 0; kind < cardKindCount; ++kind) {
        assert(static_cast<std::int32_t>(counts[kind]) >= 0 && counts[kind] <= deckMakeUp[kind]);
        tally.counts[kind] = static_cast<std::uint8_t>(counts[kind]);
    }
    for (int colour = 0; colour < colourCount; ++colour) {
        tally.sizes += sizeBit(counts[colour]);
        tally.allColourPoints += points(counts[colour]);
    }
    return tally;
}

// The three largest colours, topped up by the wilds to six cards at most,
// count positively, the other four negatively, and each +2 card adds two.
inline std::int32_t tallyScore(const PileTally& tally) {
    using pileTallyDetail::points;
    std::uint64_t sizes = tally.sizes;
    std::int32_t first = pileTallyDetail::takeLargest(sizes);
    std::int32_t second = pileTallyDetail::takeLargest(sizes);
    std::int32_t third = pileTallyDetail::takeLargest(sizes);
    const std::int32_t largest = points(first) + points(second) + points(third);
    // Most piles hold no wild: their largest colours count as they are.
    std::int32_t topped = largest;
    std::int32_t wilds = tally.counts[Wild];
    if (wilds != 0) {
        pileTallyDetail::topUp(first, wilds);
        pileTallyDetail::topUp(second, wilds);
        pileTallyDetail::topUp(third, wilds);
        topped = points(first) + points(second) + points(third);
    }
    // The other four count against: all colours' points less the largest three's.
    return topped - (tally.allColourPoints - largest) + 2 * tally.counts[PlusTwo];
}

// The player's final score, a 0-based seat of the game.
std::int32_t finalScore(const GameState& game, std::int32_t player);

// One colour of a pile as the score counts it.
struct ColourScore {
    CardKind colour = Red;
    // Cards of the colour in the pile, and wilds added to them.
    std::int32_t cards = 0;
    std::int32_t wilds = 0;
    // What the colour adds to the score; negative for a colour against.
    std::int32_t points = 0;
};

// How a pile comes to its score, for showing a player: the three colours
// that count for the player, largest first, with the wilds given to each;
// the four that count against, largest first; wilds left over once the
// three hold six cards each; the +2 cards. Of colours of equal size, the
// earlier in colour order counts for the player. The parts add up to total,
// which is the pile's final score.
struct ScoreBreakdown {
    std::array<ColourScore, 3> positive{};
    std::array<ColourScore, colourCount - 3> negative{};
    std::int32_t wildsLost = 0;
    std::int32_t plusTwoCards = 0;
    std::int32_t plusTwoPoints = 0;
    std::int32_t total = 0;
};

ScoreBreakdown scoreBreakdown(const PlayerState& player);

} // namespace pellaro
