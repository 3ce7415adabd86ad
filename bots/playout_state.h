#pragma once

#include "../engine/game_state.h"
#include "../engine/turn_rules.h"
#include "pile_score.h"
#include "seat_view.h"
#include "view_rules.h"

#include <array>
#include <cstdint>

// A game as the searches play it to its end thousands of times a decision:
// fixed arrays of small numbers that copy without allocating. It follows the
// engine's rules move for move; the tests play the two side by side.
struct PlayoutState {
    std::int32_t numberOfPlayers = minPlayers;
    std::int32_t currentPlayer = 0;
    std::int32_t nextCard = 0;
    // Seats that have taken a row this round, bit s for seat s.
    std::uint32_t outOfRound = 0;
    RowSet taken = 0;
    std::array<std::uint8_t, maxPlayers> rowCards{};
    // The cards on each row; only the first rowCards places of a row count.
    std::array<std::array<std::uint8_t, rowLength>, maxPlayers> slots{};
    std::array<PileCounts, maxPlayers> piles{};
    // The whole deck; only positions from nextCard on matter to the future.
    std::array<std::uint8_t, deckSize> deck{};
};

// The game exactly, deck order included.
PlayoutState playoutState(const GameState& game);

// The table as the seat sees it; the undrawn part of the deck is left for a
// deal to fill.
PlayoutState playoutState(const SeatView& view);

inline bool isLastRound(const PlayoutState& state) {
    return 75 - state.nextCard <= 3 * state.numberOfPlayers;
}

inline RowSet allRows(const PlayoutState& state) {
    return (RowSet{1} << static_cast<unsigned>(state.numberOfPlayers)) - 1;
}

// The rows that allow a Draw: neither full nor taken.
RowSet drawRows(const PlayoutState& state);

// The rows that allow a Take: neither empty nor taken.
RowSet takeRows(const PlayoutState& state);

// The rows of the set that hold other cards than every lower row of the set:
// rows holding the same cards, in whatever order, offer the same move, so a
// search need weigh only one of them.
RowSet distinctRows(const PlayoutState& state, RowSet rows);

// Plays a move that the rules allow, as applyMove does; true when it ends the game.
bool playMove(PlayoutState& state, TurnAction action, std::int32_t row);

inline std::int32_t scoreOf(const PlayoutState& state, std::int32_t seat) {
    return pileScore(state.piles[seat]);
}
