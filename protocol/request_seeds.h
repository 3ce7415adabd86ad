#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pellaro {

// The seeds of the requests sent to a program's bot. A seed drawn from the
// seat's own stream, as built-in bots draw theirs, could be traced back to
// the deal's seed, and with it the order of every undrawn card: a seed is
// instead a keyed hash of the request's place in the run, under a key the
// program never sees.

inline constexpr std::size_t requestKeySize = 32;
using RequestKey = std::array<std::uint8_t, requestKeySize>;

// A key no one can guess, from the operating system's random source.
RequestKey freshRequestKey();

// The key as 64 lowercase hex digits, and back: exactly 64 hex digits, of
// either case, or nothing.
std::string keyText(const RequestKey& key);
std::optional<RequestKey> keyFromText(std::string_view text);

// The seed of a request: the run's key, the game's number in the run, the
// seat asked and the request's number in the game. Each request of a run has
// a seed of its own, and the same key replays them all.
std::uint64_t requestSeed(const RequestKey& key, std::uint64_t game, std::int32_t seat,
                          std::uint64_t request);

} // namespace pellaro
