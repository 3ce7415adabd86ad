#pragma once

#include "../engine/card.h"
#include "../engine/game_state.h"
#include "../engine/row_set.h"
#include "../engine/seeded_random.h"
#include "../engine/turn_rules.h"

#include <array>
#include <cstdint>

namespace pellaro {

// The cards a seat has not seen, one entry per card, to deal from.
struct UnseenCards {
    std::array<CardKind, deckSize> cards{};
    std::int32_t count = 0;
};

UnseenCards unseenCards(const std::array<std::int32_t, cardKindCount>& unseen);

// Takes one card of the kind out of the list: the card just drawn, which the
// seat now knows. The card must be among them.
void setAside(UnseenCards& unseen, CardKind card);

// A determinisation: the unseen cards in a random order on the deck from
// position `from` on. Only the cards that can still be drawn are shuffled.
void deal(GameState& game, const UnseenCards& unseen, std::int32_t from, SeededRandom& random);

// The rows of the set that hold other cards than every lower row of the set:
// rows holding the same cards, in whatever order, offer the same move, so a
// search need weigh only one of them.
RowSet distinctRows(const GameState& game, RowSet rows);

// How the searches play a game to its end.
enum class PlayoutPolicy : std::uint8_t {
    // A uniformly random possible action, then a uniformly random row.
    Random = 0,
    // Draws onto a random row until a row it may take is full, and then
    // takes a random row it may take; a row of two cards tempts it one time
    // in eight. Random players take rows far too early.
    Patient = 1,
};

struct PlayoutMove {
    TurnAction action = TurnAction::Draw;
    std::int32_t row = 0;
};

// The policy's move, given the rows that allow each action.
PlayoutMove policyMove(const GameState& game, const RowChoices& choices, PlayoutPolicy policy,
                       SeededRandom& random);

// A random row for the top card, as both policies place it.
std::int32_t placement(const GameState& game, SeededRandom& random);

// Plays the game on to its end.
void playOut(GameState& game, PlayoutPolicy policy, SeededRandom& random);

// What a finished game is worth to a seat.
enum class Objective : std::uint8_t {
    // The seat's score less the best score of the others.
    Margin = 0,
    // 1 for winning alone, 1/k when k players share the top score, else 0.
    WinShare = 1,
    // The margin head to head, the share of wins at three players or more:
    // what played best at each size. Against several others, a search after
    // the margin spends its moves on beating the leader by more.
    ByTableSize = 2,
    // The margin below five players, the share of wins at five: what the
    // searches sought before the share of wins played better from three on.
    MarginBelowFive = 3,
};

// The objective a search pursues at a table of this many players.
Objective objectiveAt(Objective objective, std::int32_t players);

// Every seat's result of a finished game, by the objective.
std::array<double, maxPlayers> outcomes(const GameState& finished, Objective objective);

} // namespace pellaro
