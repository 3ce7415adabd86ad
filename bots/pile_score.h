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

// A pile kept ready for scoring after a few more cards: the counts, how many
// colours hold each number of cards, and the points of all colours as if
// every one were positive. Adding a card and scoring are a few steps each,
// without branches, as the greedy bot scores dozens of piles per decision;
// hence also the definitions here, where every caller can inline them.
struct PileTally {
    // Indexed by CardKind, with one more place that an empty slot adds to,
    // so that a row's slots are added without looking for its end.
    std::array<std::uint8_t, cardKindCount + 1> counts{};
    // Four bits for each size 0 to 9: how many colours hold that many cards.
    std::uint64_t sizes = 0;
    std::int32_t allColourPoints = 0;
};

namespace pileTallyDetail {

// Wilds top up a positive colour to six cards and no further.
inline constexpr std::int32_t wildCeiling = 6;

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

template <typename Count>
PileTally pileTally(const std::array<Count, cardKindCount>& counts) {
    using pileTallyDetail::points;
    using pileTallyDetail::sizeBit;
    PileTally tally;
    for (int kind = 0; kind < cardKindCount; ++kind) {
        tally.counts[kind] = static_cast<std::uint8_t>(counts[kind]);
    }
    for (int colour = 0; colour < colourCount; ++colour) {
        tally.sizes += sizeBit(counts[colour]);
        tally.allColourPoints += points(counts[colour]);
    }
    return tally;
}

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

// The score the game's final scoring gives the pile: the three largest
// colours, topped up by the wilds to six cards at most, count positively,
// the other four negatively, and each +2 card adds two.
inline std::int32_t tallyScore(const PileTally& tally) {
    using pileTallyDetail::points;
    std::uint64_t sizes = tally.sizes;
    std::int32_t first = pileTallyDetail::takeLargest(sizes);
    std::int32_t second = pileTallyDetail::takeLargest(sizes);
    std::int32_t third = pileTallyDetail::takeLargest(sizes);
    const std::int32_t negative =
        tally.allColourPoints - points(first) - points(second) - points(third);
    std::int32_t wilds = tally.counts[Wild];
    pileTallyDetail::topUp(first, wilds);
    pileTallyDetail::topUp(second, wilds);
    pileTallyDetail::topUp(third, wilds);
    return points(first) + points(second) + points(third) - negative + 2 * tally.counts[PlusTwo];
}

inline std::int32_t pileScore(const PileCounts& pile) {
    return tallyScore(pileTally(pile));
}
