#include "engine/game_state.h"
#include "engine/results.h"
#include "piles.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pellaro {

namespace {

using Scores = std::vector<std::int32_t>;

// Piles with known scores.
const Pile scoresZero = pileOf(0, 0, 0, 0, 0, 0, 0, 0, 0);
const Pile scoresTwelve = pileOf(3, 3, 0, 0, 0, 0, 0, 0, 0);
const Pile scoresThirty = pileOf(6, 3, 2, 0, 0, 0, 0, 0, 0);
const Pile scoresTwentyFive = pileOf(4, 4, 4, 4, 0, 0, 0, 1, 0);
const Pile scoresMinusOne = pileOf(1, 1, 1, 1, 1, 1, 1, 0, 0);
const Pile scoresMinusThree = pileOf(2, 2, 2, 2, 2, 2, 2, 0, 0);
const Pile scoresMinusFour = pileOf(3, 3, 3, 3, 3, 3, 3, 0, 1);

struct ResultCase {
    std::vector<Pile> piles;
    Scores scores;
    std::int32_t top;
    Scores winners;
    const char* what;
};

const std::vector<ResultCase>& resultCases() {
    static const std::vector<ResultCase> cases = {
        {{scoresTwelve, scoresThirty, scoresThirty},
         {12, 30, 30},
         30,
         {2, 3},
         "tie of the last two"},
        {{scoresThirty, scoresTwelve, scoresThirty},
         {30, 12, 30},
         30,
         {1, 3},
         "tie around a loser"},
        {{scoresZero, scoresZero, scoresZero, scoresZero, scoresZero},
         {0, 0, 0, 0, 0},
         0,
         {1, 2, 3, 4, 5},
         "five players at zero"},
        {{scoresMinusThree, scoresMinusOne}, {-3, -1}, -1, {2}, "negative scores"},
        {{scoresTwentyFive, scoresMinusFour}, {25, -4}, 25, {1}, "one winner"},
        {{scoresMinusFour, scoresMinusFour}, {-4, -4}, -4, {1, 2}, "both negative and equal"},
        {{scoresZero, scoresMinusOne, scoresTwelve, scoresThirty},
         {0, -1, 12, 30},
         30,
         {4},
         "the last seat wins"},
    };
    return cases;
}

TEST(Results, ScoresTopScoreAndWinners) {
    for (const ResultCase& check : resultCases()) {
        SCOPED_TRACE(check.what);
        const GameState game = gameWithPiles(check.piles);
        const Scores scores = allScores(game);
        EXPECT_EQ(scores, check.scores);
        const std::int32_t top = topScore(game, scores);
        EXPECT_EQ(top, check.top);
        EXPECT_EQ(winners(game, top), check.winners);
    }
}

TEST(Results, AskingAgainGivesTheSameListsAndChangesNothing) {
    for (const ResultCase& check : resultCases()) {
        SCOPED_TRACE(check.what);
        const GameState game = gameWithPiles(check.piles);
        const Scores first = allScores(game);
        EXPECT_EQ(allScores(game), first);
        const Scores firstWinners = winners(game, check.top);
        EXPECT_EQ(winners(game, check.top), firstWinners);
        for (std::size_t seat = 0; seat < check.piles.size(); ++seat) {
            EXPECT_EQ(game.players[seat].counts, check.piles[seat]);
            EXPECT_FALSE(game.players[seat].outOfRound);
        }
    }
}

TEST(Results, TopScoreOfAListComparesSignedAndReadsOnePerPlayer) {
    struct Case {
        std::int32_t players;
        Scores scores;
        std::int32_t top;
    };
    const std::vector<Case> cases = {
        {2, {-3, -1}, -1},       {2, {-1, -3}, -1},
        {3, {12, 30, 30}, 30},   {3, {30, 12, 30}, 30},
        {5, {0, 0, 0, 0, 0}, 0}, {5, {1, 2, 3, 4, 5}, 5},
        {5, {5, 4, 3, 2, 1}, 5}, {4, {-84, -84, -83, -84}, -83},
        {2, {25, -4, 99}, 25},   {3, {-2, -5, -7, 40, 41}, -2},
    };
    for (const Case& check : cases) {
        const GameState game = newGame(check.players, 1U);
        EXPECT_EQ(topScore(game, check.scores), check.top)
            << check.players << " players, first score " << check.scores.front();
    }
}

TEST(Results, TopScoreThatNobodyReachedHasNoWinners) {
    const GameState game = gameWithPiles({scoresTwelve, scoresThirty, scoresMinusOne});
    EXPECT_TRUE(winners(game, 31).empty());
    EXPECT_TRUE(winners(game, 0).empty());
    EXPECT_EQ(winners(game, -1), Scores{3});
    EXPECT_EQ(winners(game, 12), Scores{1});
}

} // namespace

} // namespace pellaro
