#pragma once

#include "../bots/bot.h"
#include "../bots/seat_view.h"
#include "../engine/card.h"
#include "../engine/game_state.h"
#include "../engine/turn.h"
#include "bot_process.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace pellaro {

// A seat's bot that is another program (isProgram(bot.settings)), asked
// over the pellaro-bot protocol by the process serving its command.

// The requests of its decisions, for a caller that sends those of many games
// at once: a Move, and after a Draw a Place with the drawn card. The seed of
// a request comes from the bot's own stream.
void appendMoveRequest(std::string& out, Bot& bot, const SeatView& view);
void appendPlaceRequest(std::string& out, Bot& bot, const SeatView& view, CardKind drawn);

// Its replies, checked against the view: a Draw (row -1, its row asked next)
// or a Take with its row, then a Draw's row. A reply that is no legal move
// throws BotFailure, and the program is stopped.
ChosenMove readMoveReply(const Bot& bot, const SeatView& view, std::string_view reply);
std::int32_t readPlaceReply(const Bot& bot, const SeatView& view, std::string_view reply);

// Its whole turn on the game, one request at a time; throws BotFailure.
ChosenMove askProgram(Bot& bot, const GameState& game);

} // namespace pellaro
