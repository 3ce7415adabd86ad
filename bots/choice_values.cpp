#include "choice_values.h"

#include "playout.h"

#include <algorithm>
#include <cassert>

namespace pellaro {

namespace {

// Draw first when the question is Draw or Take, then every row the action allows.
std::vector<ChoiceValue> choicesOf(const GameState& table, std::optional<TurnAction> action) {
    std::vector<ChoiceValue> values;
    if (!action && allowedRows(table, TurnAction::Draw) != 0) {
        values.push_back(ChoiceValue{});
    }
    const TurnAction rowsFor = action.value_or(TurnAction::Take);
    for (RowSet left = allowedRows(table, rowsFor); left != 0; left &= left - 1) {
        values.push_back(ChoiceValue{rowsFor, lowestRow(left), 0.0});
    }
    return values;
}

// A twin row is worth what the first row holding the same cards is worth.
void copyToTwins(std::vector<ChoiceValue>& values, const GameState& table, RowSet distinct) {
    for (ChoiceValue& value : values) {
        if (value.row < 0 || contains(distinct, value.row)) {
            continue;
        }
        const auto first = std::find_if(values.begin(), values.end(), [&](const ChoiceValue& row) {
            return row.row >= 0 && row.action == value.action && contains(distinct, row.row) &&
                   distinctRows(table, rowBit(row.row) | rowBit(value.row)) == rowBit(row.row);
        });
        assert(first != values.end());
        value.value = first->value;
    }
}

} // namespace

std::vector<ChoiceValue> choiceValues(const SeatView& view, std::optional<TurnAction> action,
                                      CardKind drawn, std::int32_t playouts, std::uint64_t seed,
                                      Objective objective) {
    assert(playouts > 0);
    assert(action != TurnAction::Draw || drawn != noCard);
    const GameState table = view.table();
    std::vector<ChoiceValue> values = choicesOf(table, action);
    // Rows holding the same cards are played once, and copied to their twins.
    const RowSet distinct =
        distinctRows(table, allowedRows(table, action.value_or(TurnAction::Take)));
    UnseenCards unseen = unseenCards(view.unseen());
    std::int32_t from = view.cardsDrawn();
    GameState root = table;
    if (action == TurnAction::Draw) {
        setAside(unseen, drawn);
        root.deck[from++] = drawn;
    }
    SeededRandom random = seededRandom(seed);
    const auto choices = static_cast<std::int32_t>(std::max<std::size_t>(values.size(), 1));
    const std::int32_t deals = std::max(1, playouts / choices);
    for (std::int32_t round = 0; round < deals; ++round) {
        GameState dealt = root;
        deal(dealt, unseen, from, random);
        for (ChoiceValue& value : values) {
            if (value.row >= 0 && !contains(distinct, value.row)) {
                continue;
            }
            GameState state = dealt;
            const std::int32_t row = value.row >= 0 ? value.row : placement(state, random);
            if (!applyMove(state, value.action, row)) {
                playOut(state, PlayoutPolicy::Patient, random);
            }
            value.value += outcomes(state, objective)[view.seat()];
        }
    }
    for (ChoiceValue& value : values) {
        value.value /= deals;
    }
    copyToTwins(values, table, distinct);
    return values;
}

} // namespace pellaro
