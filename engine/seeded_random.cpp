#include "seeded_random.h"

#include <algorithm>
#include <cassert>

namespace pellaro {

namespace {

std::uint64_t rotateLeft(std::uint64_t x, int k) {
    return (x << static_cast<unsigned>(k)) | (x >> static_cast<unsigned>(64 - k));
}

} // namespace

std::uint64_t splitMix64(std::uint64_t& state) {
    state += 0x9E3779B97F4A7C15ULL;
    std::uint64_t z = state;
    z = (z ^ (z >> 30U)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27U)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31U);
}

std::uint64_t deriveSeed(std::uint64_t base, std::uint64_t index) {
    // Mixing the base first keeps seeds of neighbouring bases apart.
    std::uint64_t state = base;
    std::uint64_t mixed = splitMix64(state) ^ index;
    return splitMix64(mixed);
}

SeededRandom seededRandom(std::uint64_t seed) {
    SeededRandom random;
    std::generate(random.state.begin(), random.state.end(), [&seed] { return splitMix64(seed); });
    return random;
}

std::uint64_t nextBits(SeededRandom& random) {
    std::array<std::uint64_t, 4>& s = random.state;
    const std::uint64_t result = rotateLeft(s[1] * 5, 7) * 9;
    const std::uint64_t t = s[1] << 17U;
    s[2] ^= s[0];
    s[3] ^= s[1];
    s[1] ^= s[2];
    s[0] ^= s[3];
    s[2] ^= t;
    s[3] = rotateLeft(s[3], 45);
    return result;
}

std::int32_t nextDraw(SeededRandom& random) {
    return static_cast<std::int32_t>(nextBits(random) >> 33U);
}

std::int32_t nextBelow(SeededRandom& random, std::int32_t bound) {
    assert(bound > 0);
    // Lemire's multiply-shift; the bias for bounds this small is below 2^-32.
    const std::uint64_t high = nextBits(random) >> 32U;
    return static_cast<std::int32_t>((high * static_cast<std::uint64_t>(bound)) >> 32U);
}

} // namespace pellaro
