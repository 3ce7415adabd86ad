#include "choice_values.h"

#include "playout.h"

#include <algorithm>
#include <cassert>

std::vector<ChoiceValue> choiceValues(const SeatView& view, std::optional<TurnAction> action,
                                      CardKind drawn, std::int32_t playouts, std::uint64_t seed) {
    assert(playouts > 0);
    const GameState table = view.table();
    std::vector<ChoiceValue> values;
    if (!action) {
        if (allowedRows(table, TurnAction::Draw) != 0) {
            values.push_back(ChoiceValue{});
        }
        action = TurnAction::Take;
    } else {
        assert(*action == TurnAction::Take || drawn != noCard);
    }
    const RowSet rows = *action == TurnAction::Draw ? allowedRows(table, TurnAction::Draw)
                                                    : allowedRows(table, TurnAction::Take);
    for (RowSet left = rows; left != 0; left &= left - 1) {
        values.push_back(ChoiceValue{*action, lowestRow(left), 0.0});
    }
    // Rows holding the same cards are played once, and copied to their twins.
    const RowSet distinct = distinctRows(table, rows);
    UnseenCards unseen = unseenCards(view.unseen());
    std::int32_t from = view.cardsDrawn();
    GameState root = table;
    if (*action == TurnAction::Draw) {
        setAside(unseen, drawn);
        root.deck[from++] = drawn;
    }
    SeededRandom random = seededRandom(seed);
    const std::int32_t deals =
        std::max<std::int32_t>(1, playouts / std::max<std::size_t>(values.size(), 1));
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
            value.margin += outcomes(state, Objective::Margin)[view.seat()];
        }
    }
    for (ChoiceValue& value : values) {
        value.margin /= deals;
    }
    // A twin row is worth what the first row holding the same cards is worth.
    for (ChoiceValue& value : values) {
        if (value.row < 0 || contains(distinct, value.row)) {
            continue;
        }
        for (const ChoiceValue& first : values) {
            if (first.row >= 0 && first.action == value.action && contains(distinct, first.row) &&
                distinctRows(table, rowBit(first.row) | rowBit(value.row)) == rowBit(first.row)) {
                value.margin = first.margin;
                break;
            }
        }
    }
    return values;
}
