#pragma once

#include "../bots/bot.h"
#include "bot_protocol.h"

#include <string>

namespace pellaro {

// The server's side of the protocol, as pellaro-sim bot runs it: a built-in
// bot that decides from its seat's view answers another program's requests.

// The reply line to a request: the bot decides from the request's table with
// its stream seeded by the request's seed.
std::string servedReply(const BotSettings& bot, const BotRequest& request);

// Answers the requests read from the `input` descriptor with the bot's
// moves on `output`, greeting as `name`, until the input ends. Requests
// already read are answered together, so that a client that writes many at
// once gets its replies in one write. True when the input ended after a
// whole line; otherwise false, with the reason to tell word for word.
bool serveBot(const BotSettings& bot, const std::string& name, int input, int output,
              std::string& error);

} // namespace pellaro
