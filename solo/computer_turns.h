#pragma once

#include "../bots/bot.h"
#include "../bots/bot_game.h"
#include "../engine/game_state.h"

#include <cstdint>
#include <span>

// The move of the computer player whose turn it is, decided from its seat's
// view alone: the bot is never shown the deck's order. Nothing is applied.
PlayedMove decideComputerMove(const GameState& game, Bot& bot);

// The one line that tells the people what a computer player did, with the
// seat and row numbered from 1 as the board shows them.
void showComputerMove(std::int32_t seat, const PlayedMove& move);
