#include "protocol/request_seeds.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace pellaro {

namespace {

// A key is exactly 64 hex digits, of either case, and reads back as written.
TEST(RequestSeeds, AKeyIsSixtyFourHexDigits) {
    struct Case {
        std::string text;
        bool read;
    };
    const std::vector<Case> cases = {
        {std::string(64, '0'), true},
        {"0123456789abcdefABCDEF0123456789abcdefABCDEF0123456789abcdef0123", true},
        {std::string(63, 'a'), false},
        {std::string(65, 'a'), false},
        {std::string(62, 'a') + "ag", false},
        {"g" + std::string(63, 'a'), false},
        {std::string(63, 'a') + " ", false},
        {"", false},
    };
    for (const Case& test : cases) {
        const auto key = keyFromText(test.text);
        ASSERT_EQ(key.has_value(), test.read) << test.text;
        if (key) {
            std::string lower = test.text;
            for (char& digit : lower) {
                digit = static_cast<char>(std::tolower(static_cast<unsigned char>(digit)));
            }
            EXPECT_EQ(keyText(*key), lower);
        }
    }
}

// Fresh keys differ; each differs from the all-zero key a missing draw would leave.
TEST(RequestSeeds, FreshKeysAreNotAlike) {
    const RequestKey first = freshRequestKey();
    const RequestKey second = freshRequestKey();
    EXPECT_NE(first, second);
    EXPECT_NE(first, RequestKey{});
    EXPECT_EQ(keyFromText(keyText(first)), first);
}

// Every request of a run has a seed of its own, and another key gives
// another seed to every one of them; the same key gives the same seeds.
TEST(RequestSeeds, EveryPlaceInARunHasASeedOfItsOwn) {
    const RequestKey key = *keyFromText(std::string(64, '1'));
    const RequestKey other = *keyFromText(std::string(63, '1') + "2");
    std::set<std::uint64_t> seeds;
    std::set<std::uint64_t> otherSeeds;
    std::int32_t places = 0;
    for (std::uint64_t game = 0; game < 20; ++game) {
        for (std::int32_t seat = 0; seat < 5; ++seat) {
            for (std::uint64_t request = 0; request < 20; ++request, ++places) {
                const std::uint64_t seed = requestSeed(key, game, seat, request);
                EXPECT_EQ(requestSeed(key, game, seat, request), seed);
                seeds.insert(seed);
                otherSeeds.insert(requestSeed(other, game, seat, request));
            }
        }
    }
    EXPECT_EQ(seeds.size(), static_cast<std::size_t>(places));
    EXPECT_EQ(otherSeeds.size(), static_cast<std::size_t>(places));
    for (const std::uint64_t seed : otherSeeds) {
        EXPECT_FALSE(seeds.contains(seed));
    }
}

} // namespace

} // namespace pellaro
