#pragma once

#include <cstdint>

namespace pellaro {

// The tests' own generator (splitmix64), so that choosing moves or piles never
// disturbs the sequence that std::rand hands to the next deck.
struct SmallRandom {
    using result_type = std::uint64_t;

    std::uint64_t state = 0;

    static constexpr result_type min() { return 0; }
    static constexpr result_type max() { return UINT64_MAX; }

    result_type operator()() {
        state += 0x9E3779B97F4A7C15ULL;
        std::uint64_t mixed = state;
        mixed = (mixed ^ (mixed >> 30U)) * 0xBF58476D1CE4E5B9ULL;
        mixed = (mixed ^ (mixed >> 27U)) * 0x94D049BB133111EBULL;
        return mixed ^ (mixed >> 31U);
    }

    // A number from 0 to bound - 1.
    std::int32_t below(std::int32_t bound) {
        return static_cast<std::int32_t>((*this)() % static_cast<std::uint64_t>(bound));
    }
};

} // namespace pellaro
