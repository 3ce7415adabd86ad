#pragma once

#include <array>
#include <cstdint>

namespace pellaro {

// A seeded generator of our own for simulations and computer players, so that
// every result is a pure function of its seed and never touches rand(), whose
// sequence belongs to the game's deal. xoshiro256** seeded by SplitMix64.
struct SeededRandom {
    std::array<std::uint64_t, 4> state{};

    bool operator==(const SeededRandom&) const = default;
};

// One step of SplitMix64: advances the state and returns a well-mixed value.
std::uint64_t splitMix64(std::uint64_t& state);

// A seed for item `index` of a family (game i of a run, the bot of seat s)
// that depends on the base seed and the index alone.
std::uint64_t deriveSeed(std::uint64_t base, std::uint64_t index);

SeededRandom seededRandom(std::uint64_t seed);

std::uint64_t nextBits(SeededRandom& random);

// A number from 0 to 2147483647, the range rand() has on this platform.
std::int32_t nextDraw(SeededRandom& random);

// A uniformly chosen number from 0 to bound - 1.
std::int32_t nextBelow(SeededRandom& random, std::int32_t bound);

} // namespace pellaro
