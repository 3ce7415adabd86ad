#include "solo/record_statistics.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pellaro {

namespace {

// A game of the people at the seats given, its winners those of the top score.
SoloResult played(const std::string& strength, std::vector<std::int32_t> scores,
                  std::int32_t people = 1) {
    const std::int32_t top = *std::max_element(scores.begin(), scores.end());
    std::vector<std::int32_t> winners;
    for (std::size_t seat = 0; seat < scores.size(); ++seat) {
        if (scores[seat] == top) {
            winners.push_back(static_cast<std::int32_t>(seat) + 1);
        }
    }
    return SoloResult{"2026-12-09T14:20:00Z",
                      static_cast<std::int32_t>(scores.size()),
                      people,
                      strength,
                      1,
                      std::move(scores),
                      std::move(winners)};
}

TEST(RecordStatistics, GroupsAreNamedByStrengthTableSizeAndPeople) {
    EXPECT_EQ(groupName(groupOf(played("hard", {1, 2, 3, 4, 5}))), "Against Hard at five players");
    EXPECT_EQ(groupName(groupOf(played("easy", {1, 2}))), "Against Easy at two players");
    EXPECT_EQ(groupName(groupOf(played("medium", {1, 2, 3, 4}, 3))),
              "Several people against Medium at four players");
}

// Games with several people are counted apart from one person's, and a
// game is won when any person shares the top score.
TEST(RecordStatistics, OnePersonIsCountedApartFromSeveral) {
    const std::vector<SoloResult> games = {
        played("medium", {30, 10, 20}),    played("medium", {10, 30, 20}, 2),
        played("medium", {10, 20, 30}, 2), played("medium", {20, 10, 20}),
        played("hard", {30, 10, 20}),      played("medium", {30, 10, 20, 0})};
    const RecordFigures alone = figuresOf(games, RecordGroup{Strength::Medium, 3, false});
    EXPECT_EQ(alone.games, 2);
    EXPECT_EQ(alone.wins, 2);
    const RecordFigures together = figuresOf(games, RecordGroup{Strength::Medium, 3, true});
    EXPECT_EQ(together.games, 2);
    EXPECT_EQ(together.wins, 1);
}

} // namespace

} // namespace pellaro
