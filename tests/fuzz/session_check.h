#pragma once

#include "support/session.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pellaro {

// The most text the program writes between two answers it reads: the second
// block of the rules walkthrough with the pause prompt after it (1073 bytes),
// rounded up. Every answer read consumes at least one byte, and the first
// question comes before any, so a session writes at most this many bytes per
// input byte, plus this many.
inline constexpr std::size_t outputPerInputByte = 1100;

// The deck's seed for a session: a hash of its bytes, so that every session
// is played with its own deck and replays alike.
std::uint32_t sessionSeed(std::string_view input);

// Runs the main loop over the input in memory, with the clock pinned to the
// input's seed.
SessionResult playSession(std::string_view input);

// What the run got wrong, or nothing: it must return 0, end at a question,
// leave input unread only after a declined replay, write only the game's own
// printable text, keep the games' questions in step, and stay within the
// output bound.
std::string sessionFault(std::string_view input, const SessionResult& session);

// How many times the text occurs in the output, overlaps not counted.
std::size_t occurrences(std::string_view output, std::string_view text);

} // namespace pellaro
