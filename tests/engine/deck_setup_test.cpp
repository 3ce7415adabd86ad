#include "engine/card.h"
#include "engine/game_state.h"
#include "engine/seeded_random.h"
#include "support/pinned_clock.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <numeric>
#include <set>
#include <string>
#include <utility>

namespace pellaro {

namespace {

constexpr std::array<std::int32_t, cardKindCount> cardsOfEachKind = {9, 9, 9, 9, 9, 9, 9, 3, 10};

// The unshuffled deck, built from the count of each kind in kind order.
std::array<CardKind, deckSize> orderedDeck() {
    std::array<CardKind, deckSize> deck{};
    std::size_t position = 0;
    for (int kind = 0; kind < cardKindCount; ++kind) {
        for (std::int32_t copy = 0; copy < cardsOfEachKind[kind]; ++copy) {
            deck.at(position++) = static_cast<CardKind>(kind);
        }
    }
    return deck;
}

// The deck the game must deal for a seed: the permutation of positions that
// 75 draws from rand describe, applied to the ordered deck.
std::array<CardKind, deckSize> expectedDeck(std::uint32_t seed) {
    std::array<int, deckSize> source{};
    std::iota(source.begin(), source.end(), 0);
    std::srand(seed);
    for (int step = 0; step < 75; ++step) {
        const int other = step + std::rand() % (deckSize - step);
        std::swap(source[step], source[other]);
    }
    const auto ordered = orderedDeck();
    std::array<CardKind, deckSize> deck{};
    for (int position = 0; position < deckSize; ++position) {
        deck[position] = ordered[source[position]];
    }
    return deck;
}

std::array<std::int32_t, cardKindCount> kindCounts(const std::array<CardKind, deckSize>& deck) {
    std::array<std::int32_t, cardKindCount> counts{};
    for (const CardKind card : deck) {
        EXPECT_GE(card, Red);
        EXPECT_LE(card, PlusTwo);
        if (card >= Red && card <= PlusTwo) {
            ++counts[card];
        }
    }
    return counts;
}

TEST(DeckSetup, PlayerCountIsKeptWithinTwoToFive) {
    const std::array<std::pair<std::int32_t, std::int32_t>, 11> cases = {{
        {0, 2},
        {1, 2},
        {-3, 2},
        {INT_MIN, 2},
        {2, 2},
        {3, 3},
        {4, 4},
        {5, 5},
        {6, 5},
        {100, 5},
        {INT_MAX, 5},
    }};
    for (const auto& [requested, expected] : cases) {
        SCOPED_TRACE("requested " + std::to_string(requested));
        const GameState game = newGame(requested, 7U);
        EXPECT_EQ(game.numberOfPlayers, expected);
        EXPECT_EQ(game.players.size(), static_cast<std::size_t>(expected));
        EXPECT_EQ(game.rows.size(), static_cast<std::size_t>(expected));
    }
}

TEST(DeckSetup, NewGameIsReadyForTheFirstTurn) {
    for (std::int32_t players = minPlayers; players <= maxPlayers; ++players) {
        SCOPED_TRACE(std::to_string(players) + " players");
        const GameState game = newGame(players, 12345U);
        EXPECT_EQ(game.currentPlayer, 0);
        EXPECT_EQ(game.nextCard, 0);
        ASSERT_EQ(game.players.size(), static_cast<std::size_t>(players));
        for (const PlayerState& player : game.players) {
            EXPECT_FALSE(player.outOfRound);
            EXPECT_EQ(player.counts, (std::array<std::int32_t, cardKindCount>{}));
        }
        ASSERT_EQ(game.rows.size(), static_cast<std::size_t>(players));
        for (const Row& row : game.rows) {
            EXPECT_FALSE(row.full);
            EXPECT_FALSE(row.taken);
            EXPECT_EQ(row.slots, (std::array<CardKind, rowLength>{noCard, noCard, noCard}));
        }
        EXPECT_FALSE(isLastRound(game));
        EXPECT_EQ(topCard(game), game.deck[0]);
    }
}

TEST(DeckSetup, ShuffleIsTheSeededSwapOfEveryPositionButTheLast) {
    for (const std::uint32_t seed : {0U, 1U, 2U, 1234567U, 1700000000U, UINT32_MAX}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const auto expected = expectedDeck(seed);
        for (std::int32_t players = minPlayers; players <= maxPlayers; ++players) {
            EXPECT_EQ(newGame(players, seed).deck, expected) << players << " players";
        }
    }
}

// Simulations deal through the same shuffle with draws from their own
// generator: the same draws must give the same deck, and every deck must hold
// the whole card set.
TEST(DeckSetup, DealFromDrawsIsTheGamesOwnShuffle) {
    for (const std::uint32_t seed : {5U, 77U, 4000000000U}) {
        std::srand(seed);
        ShuffleDraws draws{};
        std::generate(draws.begin(), draws.end(), [] { return std::rand(); });
        EXPECT_EQ(dealGame(4, draws).deck, expectedDeck(seed)) << "seed " << seed;
    }
    SeededRandom random = seededRandom(9);
    std::set<std::array<CardKind, deckSize>> decks;
    for (int deal = 0; deal < 100; ++deal) {
        ShuffleDraws draws{};
        for (std::int32_t& draw : draws) {
            draw = nextDraw(random);
            ASSERT_GE(draw, 0);
        }
        const GameState game = dealGame(3, draws);
        EXPECT_EQ(kindCounts(game.deck), cardsOfEachKind);
        decks.insert(game.deck);
    }
    EXPECT_EQ(decks.size(), 100U);
}

TEST(DeckSetup, ShuffleDrawsExactlySeventyFiveNumbers) {
    for (const std::uint32_t seed : {3U, 99U, 65536U}) {
        std::srand(seed);
        for (int draw = 0; draw < 75; ++draw) {
            static_cast<void>(std::rand());
        }
        const int seventySixth = std::rand();
        static_cast<void>(newGame(4, seed));
        EXPECT_EQ(std::rand(), seventySixth) << "seed " << seed;
    }
}

TEST(DeckSetup, SameSeedSameDeckAndOtherSeedsOtherDecks) {
    EXPECT_EQ(newGame(3, 42U).deck, newGame(3, 42U).deck);
    std::set<std::array<CardKind, deckSize>> decks;
    for (std::uint32_t seed = 1; seed <= 200; ++seed) {
        decks.insert(newGame(2, seed).deck);
    }
    EXPECT_EQ(decks.size(), 200U);
    EXPECT_EQ(decks.count(orderedDeck()), 0U);
}

TEST(DeckSetup, GamesSetUpInTheSameSecondGetTheSameDeck) {
    constexpr std::time_t second = 1700000000;
    pinClock(second);
    const GameState first = newGame(2);
    const GameState again = newGame(5);
    EXPECT_EQ(first.deck, again.deck);
    EXPECT_EQ(first.deck, expectedDeck(static_cast<std::uint32_t>(second)));

    pinClock(second + 1);
    EXPECT_NE(newGame(2).deck, first.deck);
}

TEST(DeckSetup, ClockIsReducedToThirtyTwoBitsForTheSeed) {
    constexpr std::time_t beyond = (static_cast<std::time_t>(1) << 32U) + 77;
    pinClock(beyond);
    EXPECT_EQ(newGame(3).deck, expectedDeck(77U));
    EXPECT_EQ(newGame(3).deck, newGame(3, 77U).deck);
}

TEST(DeckSetup, EveryShuffledDeckHoldsTheWholeSetAndMixesEveryPosition) {
    const auto ordered = orderedDeck();
    ASSERT_EQ(kindCounts(ordered), cardsOfEachKind);
    // Over many seeds every position must see every kind, the last one included.
    std::array<std::array<bool, cardKindCount>, deckSize> seen{};
    for (std::uint32_t seed = 0; seed < 10000; ++seed) {
        const GameState game = newGame(2 + static_cast<std::int32_t>(seed % 4), seed * 2654435761U);
        ASSERT_EQ(kindCounts(game.deck), cardsOfEachKind) << "seed " << seed;
        for (int position = 0; position < deckSize; ++position) {
            seen[position][game.deck[position]] = true;
        }
    }
    for (int position = 0; position < deckSize; ++position) {
        for (int kind = 0; kind < cardKindCount; ++kind) {
            EXPECT_TRUE(seen[position][kind]) << "kind " << kind << " never at " << position;
        }
    }
}

TEST(DeckSetup, CardValuesAndLabels) {
    struct Case {
        CardKind kind;
        std::int32_t value;
        std::string_view label;
    };
    const std::array<Case, cardKindCount> cases = {{
        {Red, 0, "R"},
        {Green, 1, "G"},
        {Blue, 2, "B"},
        {Yellow, 3, "Y"},
        {Pink, 4, "P"},
        {Silver, 5, "S"},
        {Violet, 6, "V"},
        {Wild, 7, "W"},
        {PlusTwo, 8, "+2"},
    }};
    for (const Case& card : cases) {
        EXPECT_EQ(static_cast<std::int32_t>(card.kind), card.value);
        EXPECT_EQ(cardLabels.at(card.value), card.label);
    }
    EXPECT_EQ(static_cast<std::int32_t>(noCard), -1);
    EXPECT_EQ(sizeof(CardKind), 4U);
}

TEST(DeckSetup, LastRoundBeginsAtTheDrawThatLeavesThreeCardsPerPlayerPlusOne) {
    // Cards drawn when the round becomes the last, by player count.
    const std::array<std::pair<std::int32_t, std::int32_t>, 4> firstLastRoundDraw = {{
        {2, 69},
        {3, 66},
        {4, 63},
        {5, 60},
    }};
    for (const auto& [players, threshold] : firstLastRoundDraw) {
        GameState game = newGame(players, 5U);
        for (std::int32_t drawn = 0; drawn <= 74; ++drawn) {
            game.nextCard = drawn;
            EXPECT_EQ(isLastRound(game), drawn >= threshold)
                << players << " players, " << drawn << " drawn";
        }
    }
    GameState two = newGame(2, 5U);
    two.nextCard = 68;
    EXPECT_FALSE(isLastRound(two));
    two.nextCard = 69;
    EXPECT_TRUE(isLastRound(two));
    GameState five = newGame(5, 5U);
    five.nextCard = 59;
    EXPECT_FALSE(isLastRound(five));
    five.nextCard = 60;
    EXPECT_TRUE(isLastRound(five));
}

TEST(DeckSetup, TopCardReadsTheNextCardWithoutDrawingIt) {
    GameState game = newGame(3, 31U);
    for (const std::int32_t position : {0, 1, 37, 73, 74}) {
        game.nextCard = position;
        EXPECT_EQ(topCard(game), game.deck[position]);
        EXPECT_EQ(topCard(game), game.deck[position]);
        EXPECT_EQ(game.nextCard, position);
    }
}

} // namespace

} // namespace pellaro
