#include "view_rules.h"

RowChoices rowChoices(const SeatView& view) {
    // Every place of the view is looked at, the unused ones too (they are
    // blank rows), and the seats beyond the game masked off afterwards: a
    // fixed count of steps in plain arithmetic, without a branch to guess
    // wrong, as this runs twice a move.
    RowSet draws = 0;
    RowSet takes = 0;
    for (std::int32_t row = 0; row < maxPlayers; ++row) {
        const Row& onBoard = view.rows[row];
        const auto open = static_cast<RowSet>(!onBoard.taken);
        const auto shift = static_cast<unsigned>(row);
        draws |= (open & static_cast<RowSet>(!onBoard.full)) << shift;
        takes |= (open & static_cast<RowSet>(onBoard.slots[0] != noCard)) << shift;
    }
    const RowSet inGame = (RowSet{1} << static_cast<unsigned>(view.numberOfPlayers)) - 1;
    return RowChoices{draws & inGame, takes & inGame};
}
