#include "bot_tables.h"
#include "bots/pile_score.h"
#include "engine/card.h"
#include "engine/game_state.h"
#include "engine/scoring.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <numeric>
#include <string>

namespace {

using Counts = std::array<std::int32_t, cardKindCount>;

std::string describe(const Counts& counts) {
    std::string text;
    for (int kind = 0; kind < cardKindCount; ++kind) {
        text += std::string(cardLabels.at(kind)) + std::to_string(counts.at(kind)) + ' ';
    }
    return text;
}

PileCounts asPile(const Counts& counts) {
    PileCounts pile{};
    std::transform(counts.begin(), counts.end(), pile.begin(),
                   [](std::int32_t count) { return static_cast<std::int8_t>(count); });
    return pile;
}

// Calls visit with every way of giving the seven colours 0 to 9 cards, up to
// their order: sizes in descending order, 11,440 of them, counted like an
// odometer whose digits never exceed the one before.
template <typename Visit>
void everyColourMakeUp(Visit visit) {
    std::array<std::int32_t, colourCount> sizes{};
    for (;;) {
        visit(sizes);
        int colour = colourCount - 1;
        while (colour >= 0 && sizes.at(colour) == (colour == 0 ? 9 : sizes.at(colour - 1))) {
            --colour;
        }
        if (colour < 0) {
            return;
        }
        ++sizes.at(colour);
        for (int after = colour + 1; after < colourCount; ++after) {
            sizes.at(after) = 0;
        }
    }
}

// Every make-up of the colours, laid out in a different order of colours
// each time, with every number of wilds and a few numbers of +2 cards:
// the searches' scoring and the game's agree on every one.
TEST(PileScore, AgreesWithTheGameOnEveryPile) {
    GameState game = newGame(2, 1U);
    std::array<int, colourCount> order{};
    std::iota(order.begin(), order.end(), 0);
    std::int32_t piles = 0;
    everyColourMakeUp([&](const std::array<std::int32_t, colourCount>& sizes) {
        std::next_permutation(order.begin(), order.end());
        for (std::int32_t wilds = 0; wilds <= 3; ++wilds) {
            for (const std::int32_t plusTwos : {0, 1, 10}) {
                Counts counts{};
                for (int colour = 0; colour < colourCount; ++colour) {
                    counts.at(order.at(colour)) = sizes.at(colour);
                }
                counts[Wild] = wilds;
                counts[PlusTwo] = plusTwos;
                game.players[0].counts = counts;
                ASSERT_EQ(pileScore(asPile(counts)), finalScore(game, 0)) << describe(counts);
                ++piles;
            }
        }
    });
    EXPECT_EQ(piles, 11440 * 4 * 3);
}

// A tally grown card by card, with empty slots among the cards, is the tally
// of the finished pile and scores as it does.
TEST(PileScore, TallyGrownCardByCardMatchesThePile) {
    SeededRandom random = seededRandom(5);
    for (std::int32_t trial = 0; trial < 2000; ++trial) {
        std::array<CardKind, deckSize> deck = orderedDeck();
        for (int position = deckSize - 1; position > 0; --position) {
            std::swap(deck.at(position), deck.at(nextBelow(random, position + 1)));
        }
        const std::int32_t cards = nextBelow(random, 40);
        PileTally grown = pileTally(PileCounts{});
        Counts counts{};
        for (std::int32_t card = 0; card < cards; ++card) {
            addCard(grown, deck.at(card));
            ++counts.at(deck.at(card));
            if (nextBelow(random, 4) == 0) {
                addCard(grown, noCard);
            }
        }
        const PileTally whole = pileTally(counts);
        ASSERT_EQ(grown.sizes, whole.sizes) << describe(counts);
        ASSERT_EQ(grown.allColourPoints, whole.allColourPoints) << describe(counts);
        ASSERT_TRUE(std::equal(whole.counts.begin(), whole.counts.begin() + cardKindCount,
                               grown.counts.begin()))
            << describe(counts);
        ASSERT_EQ(tallyScore(grown), pileScore(asPile(counts))) << describe(counts);
    }
}

} // namespace
