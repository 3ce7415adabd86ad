#pragma once

#include "game_state.h"
#include "row_set.h"

#include <cstdint>

namespace pellaro {

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

// Why a row refuses the action, for a player who asked for it: the first
// that applies of no such row, taken this round, empty (a Take) and full (a
// Draw). None exactly when isRowValid accepts the row.
enum class RowRefusal : std::uint8_t {
    None = 0,
    NoSuchRow = 1,
    Taken = 2,
    Empty = 3,
    Full = 4,
};

RowRefusal rowRefusal(const GameState& game, TurnAction action, std::int32_t row);

// A row allows a Draw unless it is full or taken, and a Take unless it is
// empty or taken.
inline bool allowsDraw(const Row& row) {
    return !row.taken && !row.full;
}

inline bool allowsTake(const Row& row) {
    return !row.taken && row.slots[0] != noCard;
}

// The rows that allow each action, found in one pass: the computer players
// ask for both at every move of every playout.
struct RowChoices {
    RowSet draws = 0;
    RowSet takes = 0;
};

inline RowChoices rowChoices(const GameState& game) {
    RowChoices choices;
    for (std::int32_t row = 0; row < game.numberOfPlayers; ++row) {
        const Row& onBoard = game.rows[row];
        choices.draws |= static_cast<RowSet>(allowsDraw(onBoard)) << static_cast<unsigned>(row);
        choices.takes |= static_cast<RowSet>(allowsTake(onBoard)) << static_cast<unsigned>(row);
    }
    return choices;
}

// The rows that allow the action: exactly those isRowValid accepts.
inline RowSet allowedRows(const GameState& game, TurnAction action) {
    switch (action) {
    case TurnAction::Draw:
        return rowChoices(game).draws;
    case TurnAction::Take:
        return rowChoices(game).takes;
    }
    return 0;
}

// Plays the move for the current player, passes the turn and clears the board
// at a round's end. Returns true when the game is over. The move must be one
// that isRowValid accepts: it is not checked again.
bool applyMove(GameState& game, TurnAction action, std::int32_t row);

// The same, keeping `choices` equal to rowChoices(game) as the move changes
// the board, at a few steps a move rather than a look at every row: for the
// searches' playouts, which play millions of moves a decision.
bool applyMove(GameState& game, TurnAction action, std::int32_t row, RowChoices& choices);

// The fewest cards still to be drawn before the round under way can end:
// every seat still in takes a row of its own, and a row must hold a card to
// be taken, so each row not yet taken that holds none needs one draw; a
// seat can always draw onto such a row or take one that holds cards.
std::int32_t fewestDrawsLeftInRound(const GameState& game);

// Whether the round under way ends the game whatever the players do: even
// with no draw beyond the fewest it needs, the round closes with the deck at
// the last round's threshold.
bool isCertainlyLastRound(const GameState& game);

// Whether the move just played on the row, with the game's state after it,
// closed a round: only a Take can, and the round's end clears the board
// unless it ended the game.
bool closedRound(const GameState& after, TurnAction action, std::int32_t row, bool gameOver);

} // namespace pellaro
