#include "turn_rules.h"

#include <algorithm>
#include <cassert>

namespace {

// A row allows a Draw unless it is full or taken, and a Take unless it is
// empty or taken. Any other value of the action allows nothing.
bool allows(const Row& row, TurnAction action) {
    if (row.taken) {
        return false;
    }
    switch (action) {
    case TurnAction::Take:
        return row.slots[0] != noCard;
    case TurnAction::Draw:
        return !row.full;
    }
    return false;
}

bool everyoneOut(const GameState& game) {
    return std::all_of(game.players.begin(), game.players.end(),
                       [](const PlayerState& player) { return player.outOfRound; });
}

void takeRow(GameState& game, Row& row) {
    PlayerState& player = game.players[game.currentPlayer];
    for (const CardKind card : row.slots) {
        if (card == noCard) {
            break;
        }
        ++player.counts[card];
    }
    row.taken = true;
    player.outOfRound = true;
}

void drawOnto(GameState& game, Row& row) {
    assert(game.nextCard < deckSize);
    row.slots[cardsOn(row)] = topCard(game);
    row.full = row.slots[rowLength - 1] != noCard;
    ++game.nextCard;
}

void clearBoard(GameState& game) {
    for (PlayerState& player : game.players) {
        player.outOfRound = false;
    }
    std::fill(game.rows.begin(), game.rows.end(), Row{});
}

} // namespace

std::int32_t nextActivePlayer(const GameState& game) {
    const std::int32_t n = game.numberOfPlayers;
    assert(game.currentPlayer >= 0 && game.currentPlayer < n);
    const std::int32_t following = game.currentPlayer + 1 >= n ? 0 : game.currentPlayer + 1;
    std::int32_t seat = following;
    // The last seat looked at is the player's own, who plays on when all the
    // others have taken their rows.
    for (std::int32_t step = 1; step <= n; ++step) {
        if (!game.players[seat].outOfRound) {
            return seat;
        }
        seat = seat + 1 == n ? 0 : seat + 1;
    }
    // Everyone is out: the seat after the last taker opens the next round.
    return following;
}

RowSet allowedRows(const GameState& game, TurnAction action) {
    RowSet rows = 0;
    for (std::int32_t row = 0; row < game.numberOfPlayers; ++row) {
        rows |= static_cast<RowSet>(allows(game.rows[row], action)) << static_cast<unsigned>(row);
    }
    return rows;
}

bool isActionPossible(const GameState& game, TurnAction action) {
    return allowedRows(game, action) != 0;
}

bool isRowValid(const GameState& game, TurnAction action, std::int32_t row) {
    return row >= 0 && row < game.numberOfPlayers && allows(game.rows[row], action);
}

bool applyMove(GameState& game, TurnAction action, std::int32_t row) {
    assert(isRowValid(game, action, row));
    Row& chosen = game.rows[row];
    if (action == TurnAction::Take) {
        takeRow(game, chosen);
    } else {
        drawOnto(game, chosen);
    }
    // Only a Take can end a round, and passing the turn changes no player's
    // flag, so one look serves both tests.
    const bool roundOver = action == TurnAction::Take && everyoneOut(game);
    if (roundOver && isLastRound(game)) {
        return true;
    }
    game.currentPlayer = nextActivePlayer(game);
    if (roundOver) {
        clearBoard(game);
    }
    return false;
}

bool closedRound(const GameState& after, TurnAction action, bool gameOver) {
    return action == TurnAction::Take &&
           (gameOver || std::none_of(after.players.begin(), after.players.end(),
                                     [](const PlayerState& player) { return player.outOfRound; }));
}
