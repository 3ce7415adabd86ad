#include "seat_view.h"

#include <algorithm>
#include <cassert>

namespace {

std::array<std::int32_t, cardKindCount> unseenOnTable(const GameState& game) {
    // Every drawn card lies in a pile or on a row not yet taken; a taken row
    // still shows its cards until the round ends, but they are already in
    // the taker's pile.
    std::array<std::int32_t, cardKindCount> unseen = deckMakeUp;
    for (const PlayerState& player : game.players) {
        for (int kind = 0; kind < cardKindCount; ++kind) {
            unseen[kind] -= player.counts[kind];
        }
    }
    for (const Row& row : game.rows) {
        for (std::int32_t slot = 0; slot < (row.taken ? 0 : cardsOn(row)); ++slot) {
            --unseen[row.slots[slot]];
        }
    }
    return unseen;
}

} // namespace

PublicState publicStateOf(const GameState& game) {
    return PublicState{rowChoices(game), unseenOnTable(game)};
}

bool applyKnownMove(GameState& game, PublicState& known, TurnAction action, std::int32_t row) {
    // A Draw takes the top card out of the unseen ones; a Take moves cards
    // already seen into a pile. A move the rules allow never draws past
    // the deck, so the top card is read without topCard's check.
    if (action == TurnAction::Draw) {
        assert(game.nextCard >= 0 && game.nextCard < deckSize);
        --known.unseen[game.deck[game.nextCard]];
    }
    return applyMove(game, action, row, known.choices);
}

SeatView::SeatView(const GameState& game, const PublicState& known)
    : game_(&game), choices_(known.choices), unseen_(&known.unseen) {
    assert(known.choices.draws == rowChoices(game).draws &&
           known.choices.takes == rowChoices(game).takes);
    assert(known.unseen == unseenOnTable(game));
}

std::array<std::int32_t, cardKindCount> SeatView::unseen() const {
    return unseen_ != nullptr ? *unseen_ : unseenOnTable(*game_);
}

GameState SeatView::table() const {
    GameState table = *game_;
    std::fill(table.deck.begin() + table.nextCard, table.deck.end(), noCard);
    return table;
}
