#pragma once

#include "game_state.h"

#include <array>
#include <bit>
#include <cassert>
#include <cstdint>

namespace pellaro {

// A set of rows, bit r for row r: the rows a move may be played on. Seats
// are kept in the same way.
using RowSet = std::uint32_t;

inline RowSet rowBit(std::int32_t row) {
    assert(row >= 0 && row < maxPlayers);
    return RowSet{1} << static_cast<unsigned>(row);
}

inline bool contains(RowSet rows, std::int32_t row) {
    return row >= 0 && row < maxPlayers && ((rows >> static_cast<unsigned>(row)) & 1U) != 0;
}

// Every row of a table of this many players.
inline RowSet allRowsOf(std::int32_t players) {
    assert(players >= minPlayers && players <= maxPlayers);
    return (RowSet{1} << static_cast<unsigned>(players)) - 1;
}

// How many rows the set holds. A set never holds more than five rows, and a
// table is cheaper than the library's count on a processor of any age.
inline std::int32_t rowCount(RowSet rows) {
    static constexpr std::array<std::uint8_t, 32> counts = {0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2,
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

// The index-th row of the set, counting from the lowest. Looked up rather
// than counted, since a random index would make a counting loop's length
// unpredictable.
inline std::int32_t nthRow(RowSet rows, std::int32_t index) {
    assert(index >= 0 && index < rowCount(rows));
    return rowsOfSet[rows & 31U][static_cast<std::size_t>(index)];
}

inline std::int32_t lowestRow(RowSet rows) {
    assert(rows != 0);
    return std::countr_zero(rows);
}

} // namespace pellaro
