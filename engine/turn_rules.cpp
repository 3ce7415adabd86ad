#include "turn_rules.h"

#include <algorithm>

namespace {

bool isEmpty(const Row& row) {
    return row.slots[0] == noCard;
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
    CardKind& slot = *std::find(row.slots.begin(), row.slots.end(), noCard);
    slot = topCard(game);
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

bool isActionPossible(const GameState& game, TurnAction action) {
    return std::any_of(game.rows.begin(), game.rows.end(), [action](const Row& row) {
        if (row.taken) {
            return false;
        }
        switch (action) {
        case TurnAction::Take:
            return !isEmpty(row);
        case TurnAction::Draw:
            return !row.full;
        }
        return false;
    });
}

bool isRowValid(const GameState& game, TurnAction action, std::int32_t row) {
    if (row < 0 || row > game.numberOfPlayers - 1) {
        return false;
    }
    const Row& chosen = game.rows[row];
    if (chosen.taken) {
        return false;
    }
    switch (action) {
    case TurnAction::Take:
        return !isEmpty(chosen);
    case TurnAction::Draw:
        return !chosen.full;
    }
    return false;
}

bool applyMove(GameState& game, TurnAction action, std::int32_t row) {
    if (!isRowValid(game, action, row)) {
        return false;
    }
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
    if (!roundOver) {
        return false;
    }
    clearBoard(game);
    return false;
}
