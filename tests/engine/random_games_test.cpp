#include "engine/card.h"
#include "engine/game_state.h"
#include "engine/turn_rules.h"
#include "small_random.h"

#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>

#ifndef PELLARO_RANDOM_GAMES_PER_COUNT
#define PELLARO_RANDOM_GAMES_PER_COUNT 25000
#endif

namespace pellaro {

namespace {

constexpr int gamesPerPlayerCount = PELLARO_RANDOM_GAMES_PER_COUNT;
// No game can last this long: at most 74 draws and 74 takes.
constexpr int moveLimit = 200;

using Counts = std::array<std::int32_t, cardKindCount>;

struct Move {
    TurnAction action = TurnAction::Draw;
    std::int32_t row = -1;
};

// Picks the action at random among the possible ones, then the row at random
// among the valid ones, checking on the way that both questions agree.
void chooseRandomMove(const GameState& game, SmallRandom& random, Move& move) {
    const std::int32_t n = game.numberOfPlayers;
    std::array<TurnAction, 2> possible{};
    std::int32_t possibleCount = 0;
    for (const TurnAction action : {TurnAction::Draw, TurnAction::Take}) {
        ASSERT_FALSE(isRowValid(game, action, -1));
        ASSERT_FALSE(isRowValid(game, action, n));
        std::int32_t validRows = 0;
        for (std::int32_t row = 0; row < n; ++row) {
            validRows += isRowValid(game, action, row) ? 1 : 0;
        }
        ASSERT_EQ(isActionPossible(game, action), validRows > 0);
        if (validRows > 0) {
            possible.at(possibleCount++) = action;
        }
    }
    ASSERT_GT(possibleCount, 0) << "the player to move has no possible action";
    move.action = possible.at(random.below(possibleCount));
    std::int32_t validRows = 0;
    std::array<std::int32_t, maxPlayers> rows{};
    for (std::int32_t row = 0; row < n; ++row) {
        if (isRowValid(game, move.action, row)) {
            rows.at(validRows++) = row;
        }
    }
    move.row = rows.at(random.below(validRows));
}

std::int32_t cardsIn(const Row& row) {
    std::int32_t cards = 0;
    while (cards < rowLength && row.slots.at(cards) != noCard) {
        ++cards;
    }
    return cards;
}

// The drawn cards lie either in a pile or on a row not yet taken.
void expectCardsConserved(const GameState& game, const Counts& drawn) {
    Counts found{};
    for (const PlayerState& player : game.players) {
        for (int kind = 0; kind < cardKindCount; ++kind) {
            found[kind] += player.counts[kind];
        }
    }
    for (const Row& row : game.rows) {
        for (const CardKind card : row.slots) {
            if (card != noCard && !row.taken) {
                ++found[card];
            }
        }
    }
    ASSERT_EQ(found, drawn);
}

void assertClearedBoard(const GameState& game) {
    for (const PlayerState& player : game.players) {
        ASSERT_FALSE(player.outOfRound);
    }
    for (const Row& row : game.rows) {
        ASSERT_FALSE(row.full);
        ASSERT_FALSE(row.taken);
        ASSERT_EQ(cardsIn(row), 0);
    }
}

// The seats whose bits are set are exactly the players out of the round.
void expectOutSeats(const GameState& game, std::uint32_t outSeats) {
    for (std::int32_t seat = 0; seat < game.numberOfPlayers; ++seat) {
        ASSERT_EQ(game.players[seat].outOfRound, ((outSeats >> seat) & 1U) != 0) << seat;
    }
}

// A Draw puts the top card into the first empty slot of the row and fills the
// row with its third card.
void expectDrawnOnto(const Row& before, const Row& after, CardKind top) {
    const std::int32_t filled = cardsIn(before);
    for (std::int32_t slot = 0; slot < rowLength; ++slot) {
        ASSERT_EQ(after.slots[slot], slot == filled ? top : before.slots[slot]);
    }
    ASSERT_EQ(after.full, filled == rowLength - 1);
}

// A Take adds the cards of the row to the taker's pile.
void expectTakenInto(const Row& before, const Counts& pileBefore, const Counts& pileAfter) {
    Counts expectedPile = pileBefore;
    for (std::int32_t slot = 0; slot < cardsIn(before); ++slot) {
        ++expectedPile.at(before.slots[slot]);
    }
    ASSERT_EQ(pileAfter, expectedPile);
}

void playRandomGame(std::int32_t players, std::uint32_t seed, SmallRandom& random) {
    GameState game = newGame(players, seed);
    const auto deck = game.deck;
    const std::int32_t n = players;
    Counts drawn{};
    std::uint32_t outSeats = 0;
    std::int32_t takesThisRound = 0;
    std::int32_t drawsThisRound = 0;
    std::int32_t round = 0;
    std::int32_t firstLastRound = -1;
    ASSERT_FALSE(isLastRound(game));

    bool over = false;
    for (int moveNumber = 0; !over; ++moveNumber) {
        ASSERT_LT(moveNumber, moveLimit) << "the game does not end";
        const std::int32_t mover = game.currentPlayer;
        ASSERT_GE(mover, 0);
        ASSERT_LT(mover, n);
        ASSERT_NO_FATAL_FAILURE(expectOutSeats(game, outSeats));
        ASSERT_FALSE(game.players[mover].outOfRound) << "the player to move is out";

        Move move;
        chooseRandomMove(game, random, move);
        if (::testing::Test::HasFatalFailure()) {
            return;
        }
        const Row before = game.rows[move.row];
        const Counts pileBefore = game.players[mover].counts;
        const std::int32_t drawnBefore = game.nextCard;
        const CardKind top = topCard(game);

        over = applyMove(game, move.action, move.row);

        if (move.action == TurnAction::Draw) {
            ASSERT_FALSE(over) << "a Draw cannot end the game";
            ASSERT_EQ(game.nextCard, drawnBefore + 1);
            ASSERT_EQ(top, deck.at(drawnBefore));
            ++drawn[top];
            ++drawsThisRound;
            ASSERT_NO_FATAL_FAILURE(expectDrawnOnto(before, game.rows[move.row], top));
        } else {
            ASSERT_EQ(game.nextCard, drawnBefore);
            ASSERT_NO_FATAL_FAILURE(
                expectTakenInto(before, pileBefore, game.players[mover].counts));
            outSeats |= 1U << mover;
            ++takesThisRound;
        }
        ASSERT_EQ(closedRound(game, move.action, move.row, over), takesThisRound == n)
            << "a round closes with its last take, and only then";
        ASSERT_LE(game.nextCard, 74);
        expectCardsConserved(game, drawn);
        if (::testing::Test::HasFatalFailure()) {
            return;
        }

        const bool last = isLastRound(game);
        if (firstLastRound >= 0) {
            ASSERT_TRUE(last) << "the last round was called off";
        } else if (last) {
            firstLastRound = round;
        }

        if (takesThisRound < n) {
            ASSERT_FALSE(over);
            std::int32_t expected = (mover + 1) % n;
            while (((outSeats >> expected) & 1U) != 0) {
                expected = (expected + 1) % n;
            }
            ASSERT_EQ(game.currentPlayer, expected);
            continue;
        }
        ASSERT_GE(drawsThisRound, n);
        ASSERT_LE(drawsThisRound, 3 * n);
        ASSERT_EQ(over, last) << "a round ends the game exactly when it is the last";
        if (!over) {
            ASSERT_EQ(game.currentPlayer, (mover + 1) % n) << "next round's opener";
            assertClearedBoard(game);
            if (::testing::Test::HasFatalFailure()) {
                return;
            }
            outSeats = 0;
            takesThisRound = 0;
            drawsThisRound = 0;
            ++round;
        } else {
            ASSERT_EQ(game.currentPlayer, mover);
        }
    }

    ASSERT_EQ(firstLastRound, round) << "the game must end with the round that became the last";
    ASSERT_GE(game.nextCard, 75 - 3 * n);
    ASSERT_LE(game.nextCard, 74);
    for (const PlayerState& player : game.players) {
        ASSERT_TRUE(player.outOfRound);
    }
    for (const Row& row : game.rows) {
        ASSERT_TRUE(row.taken);
    }
    ASSERT_EQ(game.deck, deck) << "the deck changed during play";
}

class RandomGames : public ::testing::TestWithParam<std::int32_t> {};

TEST_P(RandomGames, EveryGameKeepsTheRulesOfPlay) {
    const std::int32_t players = GetParam();
    SmallRandom random{static_cast<std::uint64_t>(players)};
    for (int number = 0; number < gamesPerPlayerCount; ++number) {
        const auto seed = static_cast<std::uint32_t>(players * 1000003 + number);
        ASSERT_NO_FATAL_FAILURE(playRandomGame(players, seed, random))
            << players << " players, seed " << seed;
    }
    RecordProperty("games", gamesPerPlayerCount);
}

INSTANTIATE_TEST_SUITE_P(PlayerCounts, RandomGames, ::testing::Values(2, 3, 4, 5),
                         [](const ::testing::TestParamInfo<std::int32_t>& info) {
                             return std::to_string(info.param) + "Players";
                         });

} // namespace

} // namespace pellaro
