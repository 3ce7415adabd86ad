#include "playout_state.h"

#include "view_rules.h"

#include <array>
#include <bit>

namespace {

void copyTable(PlayoutState& state, const PlayerState* players, const Row* rows) {
    for (std::int32_t seat = 0; seat < state.numberOfPlayers; ++seat) {
        state.piles[seat] = pileCounts(players[seat]);
        if (players[seat].outOfRound) {
            state.outOfRound |= 1U << static_cast<unsigned>(seat);
        }
        const Row& row = rows[seat];
        if (row.taken) {
            state.taken |= RowSet{1} << static_cast<unsigned>(seat);
        }
        state.rowCards[seat] = static_cast<std::uint8_t>(cardsOn(row));
        for (int slot = 0; slot < rowLength; ++slot) {
            state.slots[seat][slot] = static_cast<std::uint8_t>(row.slots[slot]);
        }
    }
}

// The first seat after the current one that is still in, wrapping round to
// the current seat itself; somebody must be in.
std::int32_t nextSeatIn(const PlayoutState& state) {
    const std::uint32_t in = ~state.outOfRound & allRows(state);
    const std::uint32_t after = in & ~((2U << static_cast<unsigned>(state.currentPlayer)) - 1U);
    return std::countr_zero(after != 0 ? after : in);
}

} // namespace

PlayoutState playoutState(const GameState& game) {
    PlayoutState state;
    state.numberOfPlayers = game.numberOfPlayers;
    state.currentPlayer = game.currentPlayer;
    state.nextCard = game.nextCard;
    copyTable(state, game.players.data(), game.rows.data());
    for (int position = 0; position < deckSize; ++position) {
        state.deck[position] = static_cast<std::uint8_t>(game.deck[position]);
    }
    return state;
}

PlayoutState playoutState(const SeatView& view) {
    PlayoutState state;
    state.numberOfPlayers = view.numberOfPlayers;
    state.currentPlayer = view.seat;
    state.nextCard = view.cardsDrawn;
    copyTable(state, view.players.data(), view.rows.data());
    return state;
}

RowSet drawRows(const PlayoutState& state) {
    RowSet rows = 0;
    for (std::int32_t row = 0; row < state.numberOfPlayers; ++row) {
        rows |= static_cast<RowSet>(state.rowCards[row] < rowLength) << static_cast<unsigned>(row);
    }
    return rows & ~state.taken;
}

RowSet takeRows(const PlayoutState& state) {
    RowSet rows = 0;
    for (std::int32_t row = 0; row < state.numberOfPlayers; ++row) {
        rows |= static_cast<RowSet>(state.rowCards[row] > 0) << static_cast<unsigned>(row);
    }
    return rows & ~state.taken;
}

RowSet distinctRows(const PlayoutState& state, RowSet rows) {
    // Each row's cards as four bits of count per kind: equal exactly when
    // the rows hold the same cards.
    std::array<std::uint64_t, maxPlayers> holdings{};
    RowSet distinct = 0;
    for (; rows != 0; rows &= rows - 1) {
        const std::int32_t row = std::countr_zero(rows);
        std::uint64_t holding = 0;
        for (std::int32_t slot = 0; slot < state.rowCards[row]; ++slot) {
            holding += std::uint64_t{1} << (4U * state.slots[row][slot]);
        }
        holdings[row] = holding;
        bool seen = false;
        for (RowSet earlier = distinct; earlier != 0; earlier &= earlier - 1) {
            seen = seen || holdings[std::countr_zero(earlier)] == holding;
        }
        if (!seen) {
            distinct |= RowSet{1} << static_cast<unsigned>(row);
        }
    }
    return distinct;
}

bool playMove(PlayoutState& state, TurnAction action, std::int32_t row) {
    if (action == TurnAction::Draw) {
        state.slots[row][state.rowCards[row]++] = state.deck[state.nextCard++];
        state.currentPlayer = nextSeatIn(state);
        return false;
    }
    PileCounts& pile = state.piles[state.currentPlayer];
    for (std::int32_t slot = 0; slot < state.rowCards[row]; ++slot) {
        ++pile[state.slots[row][slot]];
    }
    state.taken |= RowSet{1} << static_cast<unsigned>(row);
    state.outOfRound |= 1U << static_cast<unsigned>(state.currentPlayer);
    if (state.outOfRound != allRows(state)) {
        state.currentPlayer = nextSeatIn(state);
        return false;
    }
    if (isLastRound(state)) {
        return true;
    }
    // The seat after the last taker opens the next round on a cleared board.
    state.currentPlayer =
        state.currentPlayer + 1 == state.numberOfPlayers ? 0 : state.currentPlayer + 1;
    state.outOfRound = 0;
    state.taken = 0;
    state.rowCards = {};
    return false;
}
