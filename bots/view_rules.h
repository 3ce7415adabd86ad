#pragma once

#include "../engine/game_state.h"
#include "../engine/turn_rules.h"
#include "seat_view.h"

#include <array>
#include <bit>
#include <cstdint>

// A set of rows, bit r for row r: what a move may be played on. Seats are
// kept in the same way.
using RowSet = std::uint32_t;

// The rows that allow each action in the view: exactly those that
// isRowValid accepts in the game the view was taken from.
struct RowChoices {
    RowSet draws = 0;
    RowSet takes = 0;
};

RowChoices rowChoices(const SeatView& view);

inline RowSet allowedRows(const RowChoices& choices, TurnAction action) {
    return action == TurnAction::Take ? choices.takes : choices.draws;
}

inline RowSet allowedRows(const SeatView& view, TurnAction action) {
    return allowedRows(rowChoices(view), action);
}

inline bool contains(RowSet rows, std::int32_t row) {
    return row >= 0 && row < maxPlayers && ((rows >> static_cast<unsigned>(row)) & 1U) != 0;
}

// How many rows the set holds. A set never holds more than five rows, and a
// table is cheaper than the library's count on a processor of any age.
inline std::int32_t rowCount(RowSet rows) {
    constexpr std::array<std::uint8_t, 32> counts = {0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2,
                                                     3, 2, 3, 3, 4, 1, 2, 2, 3, 2, 3,
                                                     3, 4, 2, 3, 3, 4, 3, 4, 4, 5};
    return counts[rows & 31U];
}

// The rows of each set of five or fewer rows, lowest first.
inline constexpr auto rowsOfSet = [] {
    std::array<std::array<std::uint8_t, maxPlayers>, 32> rowsOf{};
    for (std::uint32_t set = 0; set < 32; ++set) {
        std::int32_t found = 0;
        for (std::uint8_t row = 0; row < maxPlayers; ++row) {
            if (((set >> static_cast<unsigned>(row)) & 1U) != 0) {
                rowsOf[set][found++] = row;
            }
        }
    }
    return rowsOf;
}();

// The index-th row of the set, counting from the lowest; index < rowCount.
// Looked up rather than counted, since a random index would make a counting
// loop's length unpredictable.
inline std::int32_t nthRow(RowSet rows, std::int32_t index) {
    return rowsOfSet[rows & 31U][static_cast<std::size_t>(index)];
}

// How many cards lie on a row: its slots fill in order.
inline std::int32_t cardsOn(const Row& row) {
    std::int32_t cards = 0;
    while (cards < rowLength && row.slots[cards] != noCard) {
        ++cards;
    }
    return cards;
}
