#include "turn.h"

#include <cassert>

namespace pellaro {

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

PublicState publicStateOf(const GameState& game) {
    return PublicState{rowChoices(game), unseenOnTable(game)};
}

TurnPlayed playTurn(GameState& game, PublicState& known, ChosenMove move) {
    assert(isRowValid(game, move.action, move.row));
    TurnPlayed played;
    played.move = PlayedMove{move.action, move.row, noCard};
    // A Draw takes the top card out of the unseen ones; a Take moves cards
    // already seen into a pile. A move the rules allow never draws past
    // the deck, so the top card is read without topCard's check.
    if (move.action == TurnAction::Draw) {
        assert(game.nextCard >= 0 && game.nextCard < deckSize);
        played.move.card = game.deck[game.nextCard];
        --known.unseen[played.move.card];
    }
    played.over = applyMove(game, move.action, move.row, known.choices);
    played.closedRound = closedRound(game, move.action, move.row, played.over);
    return played;
}

} // namespace pellaro
