#pragma once

#include "../engine/game_state.h"
#include "../engine/turn.h"
#include "bot.h"

#include <span>
#include <vector>

namespace pellaro {

// The current player's built-in bot decides one move from what its seat may
// know and the move is played, `known` kept equal to publicStateOf(game).
TurnPlayed playBotTurn(GameState& game, PublicState& known, std::span<Bot> bots);

// Plays the game to its end, one bot per seat; appends every move to `moves`
// when it is given.
void playBotGame(GameState& game, std::span<Bot> bots, std::vector<PlayedMove>* moves);

} // namespace pellaro
