#include "seat_view.h"

#include <algorithm>
#include <cassert>

namespace pellaro {

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

} // namespace pellaro
