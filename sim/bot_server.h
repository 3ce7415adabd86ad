#pragma once

#include "config.h"

#include <string>

// pellaro-sim bot NAME: answers the protocol's requests on standard input
// with the bot's moves on standard output until the input ends. Requests
// already read are answered together, so a client that writes many at once
// gets its replies in one write. Returns 0 at the end of the input; 2, after
// a line on standard error, at a malformed request or a failed write.
int serveBot(const BotSettings& bot, const std::string& name);
