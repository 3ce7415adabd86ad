#pragma once

#include "../bots/bot.h"
#include "../engine/game_state.h"
#include "../engine/turn.h"
#include "../protocol/request_seeds.h"
#include "strengths.h"

#include <cstdint>
#include <vector>

namespace pellaro {

// The move of the computer player whose turn it is, decided from its seat's
// view alone: the bot is never shown the deck's order. Nothing is applied.
// A built-in bot alone.
ChosenMove decideComputerMove(const GameState& game, Bot& bot);

// The same for any bot: a program is asked, its requests seeded from the
// session's key, the game's number in the session and the moves played, and
// throws BotFailure when it gives no legal move.
ChosenMove decideComputerMove(const GameState& game, Bot& bot, const RequestKey& key,
                              std::uint64_t gameNumber, std::uint64_t movesPlayed);

// One bot per seat of a game of the given size, all of the same strength;
// the seats of people get one too and never use it. The game's seed alone
// decides their play, so a seed replays a whole session.
std::vector<Bot> computerPlayers(Strength strength, std::uint64_t gameSeed, std::int32_t players);

// The same with the given bot in every seat, as pellaro-solo --bot asks.
std::vector<Bot> computerPlayers(const BotSettings& bot, std::uint64_t gameSeed,
                                 std::int32_t players);

} // namespace pellaro
