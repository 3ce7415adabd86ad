#pragma once

#include "../bots/bot.h"
#include "../bots/seat_view.h"
#include "../engine/card.h"
#include "../engine/game_state.h"
#include "../engine/turn.h"
#include "bot_process.h"
#include "request_seeds.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace pellaro {

// A seat's bot that is another program (isProgram(bot.settings)), asked
// over the pellaro-bot protocol by the process serving its command.

// The requests of its decisions, for a caller that sends those of many games
// at once: a Move, and after a Draw a Place with the drawn card. The seed is
// requestSeed's for the request, never a word of the bot's own stream, which
// would give the deal away.
void appendMoveRequest(std::string& out, std::uint64_t seed, const SeatView& view);
void appendPlaceRequest(std::string& out, std::uint64_t seed, const SeatView& view, CardKind drawn);

// Its replies, checked against the view: a Draw (row -1, its row asked next)
// or a Take with its row, then a Draw's row. A reply that is no legal move
// throws BotFailure, and the program is stopped.
ChosenMove readMoveReply(const Bot& bot, const SeatView& view, std::string_view reply);
std::int32_t readPlaceReply(const Bot& bot, const SeatView& view, std::string_view reply);

// Its whole turn on the game, one request at a time, seeded from the key,
// the game's number and the turn's (the moves played before it); throws
// BotFailure.
ChosenMove askProgram(const Bot& bot, const GameState& game, const RequestKey& key,
                      std::uint64_t gameNumber, std::uint64_t turn);

} // namespace pellaro
