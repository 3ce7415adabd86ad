#include "protocol/request_seeds.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace pellaro {

namespace {

// A key is exactly 64 hex digits, of either case, and reads back as written.
TEST(RequestSeeds, AKeyIsSixtyFourHexDigits) {
    const std::string mixed = "0123456789abcdefABCDEF0123456789abcdefABCDEF0123456789abcdef0123";
    const std::vector<std::pair<std::string, bool>> cases = {
        {mixed, true},
        {std::string(63, 'a'), false},
        {std::string(65, 'a'), false},
        {std::string(62, 'a') + "ag", false},
        {std::string(63, 'a') + " ", false},
    };
    for (const auto& [text, read] : cases) {
        const auto key = keyFromText(text);
        ASSERT_EQ(key.has_value(), read) << text;
        if (key) {
            EXPECT_EQ(keyFromText(keyText(*key)), key);
            EXPECT_EQ(keyText(*key).find_first_not_of("0123456789abcdef"), std::string::npos);
        }
    }
}

// Every request of a run has a seed of its own, and another key gives
// another seed to every one of them.
TEST(RequestSeeds, EveryPlaceInARunHasASeedOfItsOwn) {
    const RequestKey key = *keyFromText(std::string(64, '1'));
    const RequestKey other = *keyFromText(std::string(63, '1') + "2");
    std::set<std::uint64_t> seeds;
    std::size_t places = 0;
    for (std::uint64_t game = 0; game < 20; ++game) {
        for (std::int32_t seat = 0; seat < 5; ++seat) {
            for (std::uint64_t request = 0; request < 20; ++request, places += 2) {
                seeds.insert(requestSeed(key, game, seat, request));
                seeds.insert(requestSeed(other, game, seat, request));
            }
        }
    }
    EXPECT_EQ(seeds.size(), places);
}

} // namespace

} // namespace pellaro
