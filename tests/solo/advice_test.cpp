#include "engine/game_state.h"
#include "engine/small_random.h"
#include "engine/turn_rules.h"
#include "solo/advice.h"
#include "solo/person_moves.h"
#include "support/legal_rows.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace pellaro {

namespace {

// Positions a few moves into games of every size, reached by random moves.
std::vector<GameState> positions() {
    std::vector<GameState> found;
    SmallRandom random{11};
    for (std::uint32_t seed = 0; seed < 8; ++seed) {
        GameState game = newGame(minPlayers + static_cast<std::int32_t>(seed % 4), seed);
        const std::int32_t moves = 3 + random.below(25);
        for (std::int32_t m = 0; m < moves; ++m) {
            const bool take = !isActionPossible(game, TurnAction::Draw) ||
                              (isActionPossible(game, TurnAction::Take) && random.below(4) == 0);
            const TurnAction action = take ? TurnAction::Take : TurnAction::Draw;
            const std::vector<std::int32_t> rows = rowsAllowing(game, action);
            applyMove(game, action,
                      rows[static_cast<std::size_t>(
                          random.below(static_cast<std::int32_t>(rows.size())))]);
        }
        found.push_back(game);
    }
    return found;
}

// The same game with the cards from `from` on in another order.
GameState permuted(const GameState& game, std::int32_t from, std::uint64_t seed) {
    GameState other = game;
    SmallRandom random{seed};
    std::shuffle(other.deck.begin() + from, other.deck.end(), random);
    std::reverse(other.deck.begin() + from, other.deck.end());
    return other;
}

void expectSame(const Advice& a, const Advice& b) {
    EXPECT_EQ(a.strongest, b.strongest);
    ASSERT_EQ(a.choices.size(), b.choices.size());
    for (std::size_t i = 0; i < a.choices.size(); ++i) {
        EXPECT_EQ(a.choices[i].choice, b.choices[i].choice);
        EXPECT_EQ(a.choices[i].value, b.choices[i].value);
    }
}

// A hint reads only what the seat may know: at the Draw-or-Take question
// no undrawn card is seen, at the row question after a Draw all but the
// drawn one; reordering the unseen cards changes nothing.
TEST(SoloAdvice, HintsDoNotDependOnTheOrderOfUnseenCards) {
    for (const GameState& game : positions()) {
        const std::uint64_t seed = decisionSeed(5, 7, DecisionStage::Action);
        const Advice atAction = advise(game, DecisionStage::Action, TurnAction::Draw, seed);
        const GameState other = permuted(game, game.nextCard, 3);
        ASSERT_NE(other.deck, game.deck);
        expectSame(atAction, advise(other, DecisionStage::Action, TurnAction::Draw, seed));
        // Valued as Hard plays: leads head to head, chances against more.
        EXPECT_EQ(atAction.chances, game.numberOfPlayers > minPlayers);
        EXPECT_TRUE(std::any_of(
            atAction.choices.begin(), atAction.choices.end(),
            [&atAction](const ChoiceWorth& worth) { return worth.choice == atAction.strongest; }));
        if (isActionPossible(game, TurnAction::Draw)) {
            const Advice atRow = advise(game, DecisionStage::Row, TurnAction::Draw, seed);
            expectSame(atRow, advise(permuted(game, game.nextCard + 1, 4), DecisionStage::Row,
                                     TurnAction::Draw, seed));
            EXPECT_EQ(atRow.choices.size(), rowsAllowing(game, TurnAction::Draw).size());
        }
    }
}

// The review judges every decision as a hint would, so it is as fair.
TEST(SoloAdvice, TheReviewDoesNotDependOnTheOrderOfUnseenCards) {
    std::vector<Decision> decisions;
    std::vector<Decision> reordered;
    std::size_t movesPlayed = 0;
    for (const GameState& game : positions()) {
        const std::vector<std::int32_t> takes = rowsAllowing(game, TurnAction::Take);
        const Choice chosen = takes.empty() ? Choice{} : Choice{TurnAction::Take, takes.back()};
        const std::uint64_t seed = decisionSeed(1, ++movesPlayed, DecisionStage::Action);
        decisions.push_back({game, DecisionStage::Action, TurnAction::Draw, chosen, seed, 0});
        reordered.push_back({permuted(game, game.nextCard, movesPlayed), DecisionStage::Action,
                             TurnAction::Draw, chosen, seed, 0});
    }
    const std::vector<Regret> regrets = reviewDecisions(decisions);
    const std::vector<Regret> again = reviewDecisions(reordered);
    ASSERT_EQ(regrets.size(), again.size());
    for (std::size_t i = 0; i < regrets.size(); ++i) {
        EXPECT_EQ(regrets[i].decision, again[i].decision);
        EXPECT_EQ(regrets[i].strongest, again[i].strongest);
        EXPECT_EQ(regrets[i].cost, again[i].cost);
        // The cost is the difference of the two choices' values.
        const Decision& decision = decisions[regrets[i].decision];
        const Advice advice = advise(decision.game, decision.stage, decision.action, decision.seed);
        EXPECT_EQ(regrets[i].cost,
                  worthOf(advice, regrets[i].strongest) - worthOf(advice, decision.chosen));
        EXPECT_NE(regrets[i].strongest, decision.chosen);
        if (i > 0) {
            EXPECT_GE(regrets[i - 1].cost, regrets[i].cost);
        }
    }
    EXPECT_FALSE(regrets.empty());
}

// Every decision of a game has its own seed, and the clock is never read.
TEST(SoloAdvice, EachDecisionHasItsOwnSeed) {
    EXPECT_EQ(decisionSeed(3, 4, DecisionStage::Row), decisionSeed(3, 4, DecisionStage::Row));
    EXPECT_NE(decisionSeed(3, 4, DecisionStage::Row), decisionSeed(3, 4, DecisionStage::Action));
    EXPECT_NE(decisionSeed(3, 4, DecisionStage::Row), decisionSeed(3, 5, DecisionStage::Row));
    EXPECT_NE(decisionSeed(3, 4, DecisionStage::Row), decisionSeed(4, 4, DecisionStage::Row));
}

// The hint's words and numbers, for either kind of value.
TEST(SoloAdvice, HintsShowLeadsHeadToHeadAndChancesAgainstMore) {
    struct Case {
        bool chances;
        std::vector<double> values;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {false,
         {-6.24, 1.0},
         {"Hint: Hard would take row 2. Expected lead over the other player:",
          "   draw -6.2  take 2 +1.0"}},
        {true,
         {0.234, 0.185},
         {"Hint: Hard would take row 2. Chance of winning:", "   draw 23%  take 2 19%"}},
    };
    for (const Case& example : cases) {
        const Choice take{TurnAction::Take, 1};
        const Advice advice{
            take, {{Choice{}, example.values[0]}, {take, example.values[1]}}, example.chances};
        EXPECT_EQ(hintLines(advice, DecisionStage::Action), example.lines);
    }
}

} // namespace

} // namespace pellaro
