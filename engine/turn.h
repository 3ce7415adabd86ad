#pragma once

#include "card.h"
#include "game_state.h"
#include "turn_rules.h"

#include <array>
#include <cstdint>

namespace pellaro {

// One turn at a time, for whoever drives a game: every table of every
// program plays its moves through playTurn. The caller asks the seat to move
// (game.currentPlayer) and plays the move it gives whenever it comes: at
// once from a computer player, after a question to a person at the keyboard,
// or after a message from a player far away. A seat that draws sees the
// drawn card, topCard(game), before it names the row.

// One move chosen for the seat to play: the action and its 0-based row.
struct ChosenMove {
    TurnAction action = TurnAction::Draw;
    std::int32_t row = 0;

    bool operator==(const ChosenMove&) const = default;
};

// One move as it was played: the action, the 0-based row and, for a Draw, the
// card that was drawn (noCard for a Take).
struct PlayedMove {
    TurnAction action = TurnAction::Draw;
    std::int32_t row = 0;
    CardKind card = noCard;

    bool operator==(const PlayedMove&) const = default;
};

// What every seat knows of a game under way, kept up to date move by move
// rather than read off the whole board at every turn: the rows open to each
// action and the cards not yet drawn.
struct PublicState {
    RowChoices choices;
    // Cards not yet drawn, by kind: the deck's make-up less every drawn card,
    // whether it lies on a row or in a pile.
    std::array<std::int32_t, cardKindCount> unseen{};
};

// Both as the game stands, read off the board.
PublicState publicStateOf(const GameState& game);

// The cards not yet drawn, by kind, read off the board.
std::array<std::int32_t, cardKindCount> unseenOnTable(const GameState& game);

// What one move did: the move with its card, whether it closed a round and
// whether it ended the game.
struct TurnPlayed {
    PlayedMove move;
    bool closedRound = false;
    bool over = false;
};

// Plays the move of the seat to move, which must be one isRowValid accepts,
// and keeps `known` equal to publicStateOf(game).
TurnPlayed playTurn(GameState& game, PublicState& known, ChosenMove move);

} // namespace pellaro
