#pragma once

#include "../engine/card.h"
#include "../engine/turn_rules.h"
#include "seat_view.h"

#include <cstdint>

// How the one-move heuristic weighs its terms. The rival is the next player
// still in the round: the first who may take a row after the seat, and the
// first to see what the seat left on the board.
struct GreedyWeights {
    // Share of what a row is worth to the rival that counts for taking it
    // from him, spread over all the other players of the game.
    double denial = 0.5;
    // Share of what a drawn card adds to a row for the rival that counts
    // against placing it there.
    double spite = 0.5;
    // How likely the row the seat wants is to survive the rival's turn.
    double patience = 0.9;
};

// Draw or Take, by what the best row is worth to the seat's pile now
// against what it may expect by drawing first.
TurnAction greedyAction(const SeatView& view, const GreedyWeights& weights);

// The row for the action: the row to take, or where the drawn card helps the
// seat most and the rival least.
std::int32_t greedyRow(const SeatView& view, TurnAction action, CardKind drawn,
                       const GreedyWeights& weights);
