#include "seat_view.h"

#include <cstdint>
#include <numeric>

// Simulations build a view for every move, so this is kept lean: one pass
// over the seats and one over the rows, each copying and counting at once.
SeatView seatView(const GameState& game) {
    // Copying a blank view is cheaper than clearing one field by field.
    static const SeatView blank;
    SeatView view = blank;
    view.numberOfPlayers = game.numberOfPlayers;
    view.seat = game.currentPlayer;
    view.cardsDrawn = game.nextCard;
    view.lastRound = isLastRound(game);
    // Every drawn card lies in a pile or on a row not yet taken, so the
    // unseen cards are the deck's make-up less what the table shows.
    std::array<std::int32_t, cardKindCount> seen{};
    for (std::int32_t seat = 0; seat < game.numberOfPlayers; ++seat) {
        const PlayerState& player = game.players[seat];
        view.players[seat] = player;
        for (int kind = 0; kind < cardKindCount; ++kind) {
            seen[kind] += player.counts[kind];
        }
    }
    // The board's cards tallied in one register, four bits per kind (no kind
    // has more than fifteen cards on the board), at bit 4 * (card + 1) so that
    // an empty slot lands in the lowest four bits and needs no test. A taken
    // row still shows its cards until the round ends, but they are already
    // in the taker's pile.
    std::uint64_t onBoard = 0;
    for (std::int32_t row = 0; row < game.numberOfPlayers; ++row) {
        const Row& shown = game.rows[row];
        view.rows[row] = shown;
        const std::uint64_t cards = std::accumulate(
            shown.slots.begin(), shown.slots.end(), std::uint64_t{0},
            [](std::uint64_t tally, CardKind card) {
                return tally + (std::uint64_t{1} << (4U * static_cast<unsigned>(card + 1)));
            });
        onBoard += shown.taken ? 0 : cards;
    }
    for (int kind = 0; kind < cardKindCount; ++kind) {
        const auto board = static_cast<std::int32_t>((onBoard >> (4U * (kind + 1U))) & 15U);
        view.unseen[kind] = deckMakeUp[kind] - seen[kind] - board;
    }
    return view;
}

SeatView revealedView(const GameState& game) {
    SeatView view = seatView(game);
    view.undrawnOrder.emplace(game.deck.begin() + game.nextCard, game.deck.end());
    return view;
}
