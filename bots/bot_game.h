#pragma once

#include "../engine/card.h"
#include "../engine/game_state.h"
#include "../engine/turn_rules.h"
#include "bot.h"

#include <cstdint>
#include <span>
#include <vector>

// One move as it was played: the action, the 0-based row and, for a Draw, the
// card that was drawn (noCard for a Take).
struct PlayedMove {
    TurnAction action = TurnAction::Draw;
    std::int32_t row = 0;
    CardKind card = noCard;
};

// The current player's bot decides one move from what its seat may know (the
// clairvoyant bot alone is shown the deck); the move is applied, and `known`,
// publicStateOf(game) before it, kept so. Returns true when the game is over.
bool playBotTurn(GameState& game, PublicState& known, std::span<Bot> bots, PlayedMove& played);

// Plays the game to its end, one bot per seat; appends every move to `moves`
// when it is given.
void playBotGame(GameState& game, std::span<Bot> bots, std::vector<PlayedMove>* moves);
