#pragma once

#include "strengths.h"

#include <cstdint>

namespace pellaro {

// The two questions that only a game against computer players asks, read by
// the same rules as the game's own. When standard input has no answer left,
// each returns at once and inputEnded() turns true.

// How many of the players are people, from 1 to players - 1; they sit in the
// first seats, the computer players in the others.
std::int32_t askPeopleCount(std::int32_t players);

// How strong the computer players are.
Strength askStrength();

} // namespace pellaro
