// States that no game reaches but a hand-built GameState can hold: the engine
// answers them without reading outside the deck, the score list or the rows.

#include "engine/game_state.h"
#include "engine/results.h"
#include "engine/turn_rules.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace pellaro {

namespace {

constexpr std::int32_t most = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t least = std::numeric_limits<std::int32_t>::min();

TEST(HandMadeStates, TopCardOutsideTheDeckIsNoCard) {
    GameState game = newGame(4, 77U);
    const auto deck = game.deck;
    struct Case {
        std::int32_t position;
        CardKind card;
    };
    const std::vector<Case> cases = {
        {0, deck[0]}, {75, deck[75]}, {76, noCard},   {77, noCard},
        {-1, noCard}, {-76, noCard},  {most, noCard}, {least, noCard},
    };
    for (const Case& check : cases) {
        game.nextCard = check.position;
        EXPECT_EQ(topCard(game), check.card) << "position " << check.position;
        EXPECT_EQ(game.nextCard, check.position);
    }
    EXPECT_EQ(game.deck, deck);
}

TEST(HandMadeStates, TopScoreReadsAShortListOnlyAsFarAsItGoes) {
    struct Case {
        std::int32_t players;
        std::vector<std::int32_t> scores;
        std::int32_t top;
    };
    const std::vector<Case> cases = {
        {5, {3, 9}, 9}, {5, {-4}, -4},          {3, {-8, -2}, -2}, {4, {}, 0},
        {2, {}, 0},     {5, {7, 7, 7, 70}, 70}, {2, {-5, -6}, -5}, {5, {1, 2, 3, 4, 5}, 5},
    };
    for (const Case& check : cases) {
        const GameState game = newGame(check.players, 3U);
        EXPECT_EQ(topScore(game, check.scores), check.top)
            << check.players << " players, " << check.scores.size() << " scores";
    }
}

// Playing a move that isRowValid refuses is a caller's fault, caught where
// assertions are on.
#ifndef NDEBUG
TEST(HandMadeStatesDeathTest, PlayingARefusedMoveIsStopped) {
    GameState game = newGame(3, 12U);
    game.rows[1] = Row{true, false, {Blue, Blue, PlusTwo}};
    game.rows[2] = Row{false, true, {Green, noCard, noCard}};
    EXPECT_DEATH(applyMove(game, TurnAction::Take, 0), "isRowValid");
    EXPECT_DEATH(applyMove(game, TurnAction::Draw, 1), "isRowValid");
    EXPECT_DEATH(applyMove(game, TurnAction::Take, 2), "isRowValid");
    EXPECT_DEATH(applyMove(game, TurnAction::Draw, 3), "isRowValid");
    EXPECT_DEATH(applyMove(game, static_cast<TurnAction>(2), 0), "isRowValid");
}
#endif

TEST(HandMadeStates, AnActionThatIsNeitherDrawNorTakeIsNeverAllowed) {
    // A board where both real actions have rows: an empty row, a part-filled
    // one, a full one and a taken one.
    GameState game = newGame(4, 12U);
    game.nextCard = 6;
    game.rows[1] = Row{false, false, {Red, Wild, noCard}};
    game.rows[2] = Row{true, false, {Blue, Blue, PlusTwo}};
    game.rows[3] = Row{false, true, {Green, noCard, noCard}};
    game.players[2].outOfRound = true;
    game.currentPlayer = 1;
    ASSERT_TRUE(isActionPossible(game, TurnAction::Draw));
    ASSERT_TRUE(isActionPossible(game, TurnAction::Take));

    for (const std::uint8_t value : {2, 3, 255}) {
        const auto neither = static_cast<TurnAction>(value);
        EXPECT_FALSE(isActionPossible(game, neither)) << int{value};
        EXPECT_EQ(allowedRows(game, neither), 0U) << int{value};
        for (std::int32_t row = -1; row <= game.numberOfPlayers; ++row) {
            EXPECT_FALSE(isRowValid(game, neither, row)) << int{value} << ", row " << row;
        }
    }
}

} // namespace

} // namespace pellaro
