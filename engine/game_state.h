#pragma once

#include "card.h"

#include <array>
#include <boost/container/static_vector.hpp>
#include <cstdint>

namespace pellaro {

inline constexpr int deckSize = 76;
inline constexpr int rowLength = 3;
inline constexpr std::int32_t minPlayers = 2;
inline constexpr std::int32_t maxPlayers = 5;

struct PlayerState {
    // True from taking a row until the round ends; such a player is skipped.
    bool outOfRound = false;
    // Cards in the score pile, indexed by CardKind.
    std::array<std::int32_t, cardKindCount> counts{};
};

struct Row {
    bool full = false;
    bool taken = false;
    // Filled in order from slot 0; a taken row keeps its cards until the round ends.
    std::array<CardKind, rowLength> slots{noCard, noCard, noCard};
};

// How many cards lie on a row: its slots fill in order.
inline std::int32_t cardsOn(const Row& row) {
    return static_cast<std::int32_t>(row.slots[0] != noCard) +
           static_cast<std::int32_t>(row.slots[1] != noCard) +
           static_cast<std::int32_t>(row.slots[2] != noCard);
}

// One entry per seat, held in place: a game copies without touching the heap,
// as the computer players' searches copy thousands of games a decision.
using PlayerList = boost::container::static_vector<PlayerState, maxPlayers>;
using RowList = boost::container::static_vector<Row, maxPlayers>;

struct GameState {
    std::int32_t numberOfPlayers = minPlayers;
    PlayerList players;
    std::int32_t currentPlayer = 0;
    RowList rows;
    // The shuffled deck, position 0 drawn first.
    std::array<CardKind, deckSize> deck{};
    std::int32_t nextCard = 0;
};

// The 75 random numbers the shuffle consumes, one per swap, each from 0 up to
// the generator's maximum; taken modulo the cards left to choose from.
inline constexpr int shuffleSteps = deckSize - 1;
using ShuffleDraws = std::array<std::int32_t, shuffleSteps>;

// The deck in kind order: nine of each colour, then the wilds, then the +2 cards.
std::array<CardKind, deckSize> orderedDeck();

// The game's one shuffle: step j swaps position j with j + draws[j] mod (76 - j).
void shuffleDeck(std::array<CardKind, deckSize>& deck, const ShuffleDraws& draws);

// A new game for the requested number of players (kept within 2 to 5), with
// the deck shuffled from a generator seeded by the clock.
GameState newGame(std::int32_t requestedPlayers);

// The same set-up with the generator seeded by the given value, so that a
// known seed always yields the same deck.
GameState newGame(std::int32_t requestedPlayers, std::uint32_t seed);

// A new game whose deck is shuffled by the given draws, for simulations that
// use a generator of their own.
GameState dealGame(std::int32_t requestedPlayers, const ShuffleDraws& draws);

// The simulations' deal: the shuffle's draws from a SeededRandom of the given
// seed, so that a deal of the simulator, a benchmark or a test is a function
// of its seed alone and leaves rand() to the game's own deal.
GameState seededDeal(std::int32_t requestedPlayers, std::uint64_t seed);

// The card the next Draw would place.
CardKind topCard(const GameState& game);

// True once so few cards remain that the current round must be the last.
bool isLastRound(const GameState& game);

} // namespace pellaro
