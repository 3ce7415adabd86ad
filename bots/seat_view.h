#pragma once

#include "../engine/card.h"
#include "../engine/game_state.h"
#include "../engine/row_set.h"
#include "../engine/turn.h"
#include "../engine/turn_rules.h"

#include <array>
#include <cstdint>

namespace pellaro {

// What the player to move may know: everything on the table and nothing of
// the order of the undrawn deck. A fair computer player decides from this
// alone. It reads the game in place, as simulations take one per move, and
// offers no way to the deck's order.
class SeatView {
public:
    // The game must not change while the view is in use: a view serves one
    // turn, and knows from the start which rows allow each action.
    explicit SeatView(const GameState& game) : game_(&game), choices_(rowChoices(game)) {}
    // The same from what a loop of turns keeps, which must be the game's:
    // nothing is read off the board. `known` must outlive the view.
    SeatView(const GameState& game, const PublicState& known);

    std::int32_t numberOfPlayers() const { return game_->numberOfPlayers; }
    // The seat to move: the one deciding.
    std::int32_t seat() const { return game_->currentPlayer; }
    const PlayerList& players() const { return game_->players; }
    const RowList& rows() const { return game_->rows; }
    std::int32_t cardsDrawn() const { return game_->nextCard; }
    bool lastRound() const { return isLastRound(*game_); }
    RowChoices choices() const { return choices_; }
    // The rows that allow the action, as allowedRows gives them.
    RowSet rowsFor(TurnAction action) const {
        switch (action) {
        case TurnAction::Draw:
            return choices_.draws;
        case TurnAction::Take:
            return choices_.takes;
        }
        return 0;
    }

    // The seat that moves after this one, or this seat itself when all the
    // others have taken their rows.
    std::int32_t nextSeat() const { return nextActivePlayer(*game_); }

    // Cards neither on the board nor in any pile, by kind: the undrawn
    // deck's make-up, but not its order.
    std::array<std::int32_t, cardKindCount> unseen() const;

    // The game as this seat may picture it, for a search to play on: the
    // table exactly, and the undrawn cards left for a deal to fill (noCard
    // until then).
    GameState table() const;

private:
    const GameState* game_;
    RowChoices choices_;
    // Kept by the loop of turns, or null when counted on request.
    const std::array<std::int32_t, cardKindCount>* unseen_ = nullptr;
};

// What the player to move may know.
inline SeatView seatView(const GameState& game) {
    return SeatView(game);
}

} // namespace pellaro
