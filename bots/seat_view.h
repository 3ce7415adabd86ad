#pragma once

#include "../engine/card.h"
#include "../engine/game_state.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// What one seat may know when it is that seat's turn: everything on the table
// and nothing of the order of the undrawn deck. A computer player decides from
// this alone; it is never handed the GameState.
struct SeatView {
    std::int32_t numberOfPlayers = minPlayers;
    // The seat to move: the one deciding.
    std::int32_t seat = 0;
    // Seats and rows 0 to numberOfPlayers - 1 are in play; fixed arrays keep
    // a view free of allocations, as simulations build one per decision.
    std::array<PlayerState, maxPlayers> players{};
    std::array<Row, maxPlayers> rows{};
    std::int32_t cardsDrawn = 0;
    bool lastRound = false;
    // Cards neither on the board nor in any pile, by kind: the undrawn deck's
    // make-up, but not its order.
    std::array<std::int32_t, cardKindCount> unseen{};
    // The real order of the undrawn cards, top first. Filled only by
    // revealedView, for the clairvoyant bot that cheats on purpose.
    std::optional<std::vector<CardKind>> undrawnOrder;
};

// What the player to move may know.
SeatView seatView(const GameState& game);

// The same, plus the undrawn deck's order: only for the clairvoyant bot.
SeatView revealedView(const GameState& game);
