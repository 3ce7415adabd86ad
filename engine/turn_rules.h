#pragma once

#include "game_state.h"
#include "row_set.h"

#include <cstdint>

enum class TurnAction : std::uint8_t {
    Draw = 0,
    Take = 1,
};

// The seat after the current one that is still in the round; when nobody is
// in, simply the next seat.
std::int32_t nextActivePlayer(const GameState& game);

// Whether at least one row allows the action.
bool isActionPossible(const GameState& game, TurnAction action);

// Whether this row, a 0-based index of any value, allows the action.
bool isRowValid(const GameState& game, TurnAction action, std::int32_t row);

// The rows that allow the action: exactly those isRowValid accepts.
RowSet allowedRows(const GameState& game, TurnAction action);

// Plays the move for the current player, passes the turn and clears the board
// at a round's end. Returns true when the game is over. The move must be one
// that isRowValid accepts: it is not checked again.
bool applyMove(GameState& game, TurnAction action, std::int32_t row);

// Whether the move just played, with the game's state after it, closed a
// round: only a Take can, and the round's end puts everybody back in unless
// it ended the game.
bool closedRound(const GameState& after, TurnAction action, bool gameOver);
