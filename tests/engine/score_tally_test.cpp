#include "engine/card.h"
#include "engine/game_state.h"
#include "engine/scoring.h"
#include "piles.h"
#include "small_random.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>

namespace pellaro {

namespace {

Pile randomPile(SmallRandom& random) {
    Pile pile{};
    for (int colour = 0; colour < colourCount; ++colour) {
        pile.at(colour) = random.below(10);
    }
    pile[Wild] = random.below(4);
    pile[PlusTwo] = random.below(11);
    return pile;
}

// A tally grown card by card, with empty slots among the cards, is the tally
// of the finished pile and scores as the game scores the pile.
TEST(ScoreTally, GrownCardByCardItMatchesThePile) {
    SmallRandom random{5};
    for (std::int32_t trial = 0; trial < 2000; ++trial) {
        std::array<CardKind, deckSize> deck = orderedDeck();
        std::shuffle(deck.begin(), deck.end(), random);
        const std::int32_t cards = random.below(40);
        PileTally grown = pileTally(Pile{});
        Pile counts{};
        for (std::int32_t card = 0; card < cards; ++card) {
            addCard(grown, deck.at(card));
            ++counts.at(deck.at(card));
            if (random.below(4) == 0) {
                addCard(grown, noCard);
            }
        }
        const PileTally whole = pileTally(counts);
        ASSERT_EQ(grown.sizes, whole.sizes) << describe(counts);
        ASSERT_EQ(grown.allColourPoints, whole.allColourPoints) << describe(counts);
        ASSERT_TRUE(std::equal(whole.counts.begin(), whole.counts.begin() + cardKindCount,
                               grown.counts.begin()))
            << describe(counts);
        ASSERT_EQ(tallyScore(grown), finalScore(gameWithPiles({counts, Pile{}}), 0))
            << describe(counts);
    }
}

// The breakdown shown to players adds up to the final score on every pile:
// seven different colours, the three largest for the player (the earlier
// colour of equal ones), wilds only on those and never past six, the rest
// of the wilds lost only when all three hold six.
TEST(ScoreBreakdown, AddsUpToTheFinalScoreOnEveryPile) {
    SmallRandom random{8};
    for (std::int32_t trial = 0; trial < 50000; ++trial) {
        const Pile pile = randomPile(random);
        PlayerState player;
        player.counts = pile;
        const ScoreBreakdown parts = scoreBreakdown(player);
        ASSERT_EQ(parts.total, finalScore(gameWithPiles({pile, Pile{}}), 0)) << describe(pile);
        std::int32_t sum = parts.plusTwoPoints;
        std::array<bool, colourCount> seen{};
        std::int32_t wilds = parts.wildsLost;
        for (const ColourScore& colour : parts.positive) {
            ASSERT_FALSE(seen.at(colour.colour)) << describe(pile);
            seen.at(colour.colour) = true;
            ASSERT_EQ(colour.cards, pile.at(colour.colour)) << describe(pile);
            ASSERT_LE(colour.cards + colour.wilds, std::max(colour.cards, wildCeiling));
            ASSERT_EQ(colour.points, pointsForCount(colour.cards + colour.wilds));
            sum += colour.points;
            wilds += colour.wilds;
        }
        for (const ColourScore& colour : parts.negative) {
            ASSERT_FALSE(seen.at(colour.colour)) << describe(pile);
            seen.at(colour.colour) = true;
            ASSERT_EQ(colour.cards, pile.at(colour.colour)) << describe(pile);
            ASSERT_EQ(colour.wilds, 0);
            ASSERT_LE(colour.cards, parts.positive.back().cards) << describe(pile);
            ASSERT_EQ(colour.points, -pointsForCount(colour.cards));
            sum += colour.points;
        }
        ASSERT_EQ(sum, parts.total) << describe(pile);
        ASSERT_EQ(wilds, pile[Wild]) << describe(pile);
        ASSERT_EQ(parts.plusTwoPoints, 2 * pile[PlusTwo]);
        if (parts.wildsLost > 0) {
            for (const ColourScore& colour : parts.positive) {
                ASSERT_GE(colour.cards + colour.wilds, wildCeiling) << describe(pile);
            }
        }
    }
}

// Equal colours: the earlier in colour order counts for the player.
TEST(ScoreBreakdown, NamesTheColoursAndWhereTheWildsWent) {
    PlayerState player;
    player.counts = pileOf(5, 3, 3, 2, 1, 0, 3, 2, 0);
    const ScoreBreakdown parts = scoreBreakdown(player);
    EXPECT_EQ(parts.positive[0].colour, Red);
    EXPECT_EQ(parts.positive[0].wilds, 1);
    EXPECT_EQ(parts.positive[1].colour, Green);
    EXPECT_EQ(parts.positive[1].wilds, 1);
    EXPECT_EQ(parts.positive[2].colour, Blue);
    EXPECT_EQ(parts.negative[0].colour, Violet);
    EXPECT_EQ(parts.negative[3].colour, Silver);
    EXPECT_EQ(parts.total, 21 + 10 + 6 - 6 - 3 - 1 - 0);
}

} // namespace

} // namespace pellaro
