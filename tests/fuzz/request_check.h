#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pellaro {

// Feeds any bytes to the pellaro-bot server as the lines after its greeting,
// and returns what went wrong, or nothing. A request may be refused, with a
// reason; one that is accepted must read back as it was written, and every
// built-in bot that decides from its seat, at a small budget, must answer it
// with a legal move. The server's own loop, run on the bytes, must answer
// the accepted lines as those bots do, and refuse at the first bad line or
// at a line left unfinished.
std::string botServerFault(std::string_view input);

// Request lines as a game asks them, Move and Place, at tables of 2 to 5
// players, from games played at random by the rules.
std::vector<std::string> realRequests(std::uint64_t seed, std::size_t count);

} // namespace pellaro
