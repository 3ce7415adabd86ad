#pragma once

#include <cstdint>
#include <string>

namespace pellaro {

// The answers that play one whole game of the deck that the seed gives, from
// the player count on: every player draws onto the first row that takes a
// card and, when no row does, takes the first row it can.
std::string wholeGameAnswers(std::int32_t players, std::uint32_t seed);

} // namespace pellaro
