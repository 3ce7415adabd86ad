#include "seat_view.h"

#include <algorithm>

SeatView seatView(const GameState& game) {
    SeatView view;
    view.numberOfPlayers = game.numberOfPlayers;
    view.seat = game.currentPlayer;
    std::copy(game.players.begin(), game.players.end(), view.players.begin());
    std::copy(game.rows.begin(), game.rows.end(), view.rows.begin());
    view.cardsDrawn = game.nextCard;
    view.lastRound = isLastRound(game);
    // Every drawn card lies on the board or in a pile until the game ends, so
    // the unseen cards are the deck's make-up less what the table shows.
    view.unseen = {9, 9, 9, 9, 9, 9, 9, 3, 10};
    for (const Row& row : game.rows) {
        for (const CardKind card : row.slots) {
            if (card != noCard) {
                --view.unseen[card];
            }
        }
    }
    for (const PlayerState& player : game.players) {
        for (int kind = 0; kind < cardKindCount; ++kind) {
            view.unseen[kind] -= player.counts[kind];
        }
    }
    return view;
}

SeatView revealedView(const GameState& game) {
    SeatView view = seatView(game);
    view.undrawnOrder.emplace(game.deck.begin() + game.nextCard, game.deck.end());
    return view;
}
