#include "seat_view.h"

#include <algorithm>

std::array<std::int32_t, cardKindCount> SeatView::unseen() const {
    // Every drawn card lies in a pile or on a row not yet taken; a taken row
    // still shows its cards until the round ends, but they are already in
    // the taker's pile.
    std::array<std::int32_t, cardKindCount> unseen = deckMakeUp;
    for (const PlayerState& player : players()) {
        for (int kind = 0; kind < cardKindCount; ++kind) {
            unseen[kind] -= player.counts[kind];
        }
    }
    for (const Row& row : rows()) {
        for (std::int32_t slot = 0; slot < (row.taken ? 0 : cardsOn(row)); ++slot) {
            --unseen[row.slots[slot]];
        }
    }
    return unseen;
}

GameState SeatView::table() const {
    GameState table = *game_;
    std::fill(table.deck.begin() + table.nextCard, table.deck.end(), noCard);
    return table;
}
