#include "turn_rules.h"

#include <algorithm>
#include <cassert>

namespace pellaro {

namespace {

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
    assert(game.nextCard < deckSize && !row.full);
    // A row that takes a card is not full: its free slot is the first or
    // the second of two that may hold cards, counted without the third.
    const auto slot = static_cast<std::size_t>(row.slots[0] != noCard) +
                      static_cast<std::size_t>(row.slots[1] != noCard);
    row.slots[slot] = game.deck[game.nextCard];
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
    const std::int32_t current = game.currentPlayer;
    assert(current >= 0 && current < n);
    // The seats after the current one, then round from the first seat; the
    // last looked at is the player's own, who plays on when all the others
    // have taken their rows. Two plain runs rather than one that wraps, as
    // every move of every playout asks.
    for (std::int32_t seat = current + 1; seat < n; ++seat) {
        if (!game.players[seat].outOfRound) {
            return seat;
        }
    }
    for (std::int32_t seat = 0; seat <= current; ++seat) {
        if (!game.players[seat].outOfRound) {
            return seat;
        }
    }
    // Everyone is out: the seat after the last taker opens the next round.
    return current + 1 == n ? 0 : current + 1;
}

bool isActionPossible(const GameState& game, TurnAction action) {
    return allowedRows(game, action) != 0;
}

bool isRowValid(const GameState& game, TurnAction action, std::int32_t row) {
    if (row < 0 || row >= game.numberOfPlayers) {
        return false;
    }
    switch (action) {
    case TurnAction::Draw:
        return allowsDraw(game.rows[row]);
    case TurnAction::Take:
        return allowsTake(game.rows[row]);
    }
    return false;
}

RowRefusal rowRefusal(const GameState& game, TurnAction action, std::int32_t row) {
    if (row < 0 || row >= game.numberOfPlayers) {
        return RowRefusal::NoSuchRow;
    }
    if (isRowValid(game, action, row)) {
        return RowRefusal::None;
    }
    // A row that refuses while untaken refuses for the one reason its action has.
    if (game.rows[row].taken) {
        return RowRefusal::Taken;
    }
    return action == TurnAction::Take ? RowRefusal::Empty : RowRefusal::Full;
}

namespace {

// The move, and with `choices` given, the rows it leaves open to each action.
template <bool keepsChoices>
bool play(GameState& game, TurnAction action, std::int32_t row, RowChoices& choices) {
    assert(isRowValid(game, action, row));
    Row& chosen = game.rows[row];
    if (action == TurnAction::Take) {
        takeRow(game, chosen);
    } else {
        drawOnto(game, chosen);
    }
    if constexpr (keepsChoices) {
        // A taken row allows nothing more this round; a row drawn onto holds
        // a card, and once full takes no more.
        const RowSet bit = rowBit(row);
        const bool closed = action == TurnAction::Take || chosen.full;
        choices.draws &= closed ? ~bit : ~RowSet{0};
        choices.takes = action == TurnAction::Take ? choices.takes & ~bit : choices.takes | bit;
    }
    // Only a Take can end a round. The next player is one still in, unless
    // nobody is: one look serves both the turn and the round's end.
    const std::int32_t next = nextActivePlayer(game);
    const bool roundOver = action == TurnAction::Take && game.players[next].outOfRound;
    if (roundOver && isLastRound(game)) {
        return true;
    }
    game.currentPlayer = next;
    if (roundOver) {
        clearBoard(game);
        if constexpr (keepsChoices) {
            choices = RowChoices{allRowsOf(game.numberOfPlayers), 0};
        }
    }
    return false;
}

} // namespace

bool applyMove(GameState& game, TurnAction action, std::int32_t row) {
    RowChoices unused;
    return play<false>(game, action, row, unused);
}

bool applyMove(GameState& game, TurnAction action, std::int32_t row, RowChoices& choices) {
    return play<true>(game, action, row, choices);
}

std::int32_t fewestDrawsLeftInRound(const GameState& game) {
    std::int32_t draws = 0;
    for (std::int32_t row = 0; row < game.numberOfPlayers; ++row) {
        const Row& onBoard = game.rows[row];
        draws += static_cast<std::int32_t>(!onBoard.taken && cardsOn(onBoard) == 0);
    }
    return draws;
}

bool isCertainlyLastRound(const GameState& game) {
    // The threshold is only ever nearer after more draws, so the round with
    // the fewest decides.
    GameState fewest = game;
    fewest.nextCard += fewestDrawsLeftInRound(game);
    return isLastRound(fewest);
}

bool closedRound(const GameState& after, TurnAction action, std::int32_t row, bool gameOver) {
    // A row taken stays taken until the board is cleared: one look, rather
    // than one at every player, tells whether the round ended.
    return action == TurnAction::Take && (gameOver || !after.rows[row].taken);
}

} // namespace pellaro
