#pragma once

#include "../engine/card.h"
#include "../engine/turn_rules.h"
#include "playout.h"
#include "seat_view.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace pellaro {

// One choice open to a seat and what it is worth: the mean result by the
// objective (such as the final margin over the best other player) that the
// seat may expect from it, over random deals of the cards it has not seen,
// everyone then playing on by the searches' playout policy. A Draw chosen
// before its card is seen has row -1.
struct ChoiceValue {
    TurnAction action = TurnAction::Draw;
    std::int32_t row = -1;
    double value = 0.0;
};

// Every choice of one decision with its value, in the order Draw, then rows
// from the lowest: at the Draw-or-Take question (action unset) Draw and each
// row to take; at the row question each row the action allows, with the drawn
// card for a Draw. Rows holding the same cards share one value. It reads the
// view alone, so it never depends on the order of the undrawn cards; the same
// view, playouts and seed give the same values.
std::vector<ChoiceValue> choiceValues(const SeatView& view, std::optional<TurnAction> action,
                                      CardKind drawn, std::int32_t playouts, std::uint64_t seed,
                                      Objective objective);

} // namespace pellaro
