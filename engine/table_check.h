#pragma once

#include "card.h"
#include "game_state.h"

#include <cstdint>
#include <string_view>

namespace pellaro {

// What makes a table one that no game reaches, as the seat to move sees it:
// the order of the undrawn deck is not looked at. A table read from outside,
// such as a request of the pellaro-bot protocol, is checked before any bot
// plays on it, as play assumes every one of these.
enum class TableFault : std::uint8_t {
    None = 0,
    // Two to five players, each with a row and a pile.
    PlayerCount,
    // A row's cards fill its slots in order; it is full exactly with three.
    RowOutOfOrder,
    // Only a row with cards is ever taken.
    EmptyRowTaken,
    // No pile holds a negative count.
    NegativePile,
    // The piles and rows not taken hold no more of a kind than the deck.
    CountedTwice,
    // Every drawn card lies in a pile or on a row not taken.
    DrawnDisagrees,
    // Each player out of the round took exactly one of the taken rows.
    TakenRowsDisagree,
    // The seat to move is a seat, and one still in the round.
    SeatOutOfRound,
    // The round under way began before the game ended.
    AfterTheEnd,
    // A Place: the drawn card is among the unseen, and a row allows a Draw.
    DrawnNotUnseen,
    NoRowForDraw,
};

// The first fault of the table, or None.
TableFault tableFault(const GameState& game);

// The same for a seat that has drawn `drawn` and has yet to place it.
TableFault placementFault(const GameState& game, CardKind drawn);

// The fault in a few words, for a refusal.
std::string_view faultText(TableFault fault);

} // namespace pellaro
