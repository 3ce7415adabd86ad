#include "engine/game_state.h"
#include "engine/small_random.h"
#include "engine/turn_rules.h"
#include "solo/advice.h"
#include "solo/person_moves.h"
#include "support/legal_rows.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>
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

// The recommendation is read off the values shown with it: never a choice
// they rate below another.
TEST(SoloAdvice, HintsRecommendTheChoiceTheirValuesRateHighest) {
    for (const GameState& game : positions()) {
        for (const DecisionStage stage : {DecisionStage::Action, DecisionStage::Row}) {
            if (stage == DecisionStage::Row && !isActionPossible(game, TurnAction::Draw)) {
                continue;
            }
            const Advice advice = advise(game, stage, TurnAction::Draw, decisionSeed(2, 9, stage));
            for (const ChoiceWorth& worth : advice.choices) {
                EXPECT_LE(worth.value, worthOf(advice, advice.strongest));
            }
        }
    }
}

// A turn is judged once: when its Draw was a mistake, the placement that
// followed is not judged apart, though it was no better; and no choice
// costs less than Hard's.
TEST(SoloAdvice, TheReviewJudgesEachTurnOnce) {
    std::vector<Decision> decisions;
    for (std::uint32_t seed = 0; decisions.size() < 6 && seed < 200; ++seed) {
        // Two rows of two cards each: a Take is often worth more than a Draw.
        GameState game = newGame(minPlayers, seed);
        for (const std::int32_t row : {0, 1, 0, 1}) {
            applyMove(game, TurnAction::Draw, row);
        }
        const std::size_t move = seed;
        const std::uint64_t atAction = decisionSeed(6, move, DecisionStage::Action);
        const std::uint64_t atRow = decisionSeed(6, move, DecisionStage::Row);
        if (!isActionPossible(game, TurnAction::Draw) ||
            !isActionPossible(game, TurnAction::Take) ||
            advise(game, DecisionStage::Action, TurnAction::Draw, atAction).strongest == Choice{}) {
            continue;
        }
        // The placement Hard rates lowest, when it is not Hard's own.
        const Advice placing = advise(game, DecisionStage::Row, TurnAction::Draw, atRow);
        const auto worst = std::min_element(
            placing.choices.begin(), placing.choices.end(),
            [](const ChoiceWorth& a, const ChoiceWorth& b) { return a.value < b.value; });
        if (worst->value == worthOf(placing, placing.strongest)) {
            continue;
        }
        decisions.push_back(
            {game, DecisionStage::Action, TurnAction::Draw, Choice{}, atAction, move});
        decisions.push_back(
            {game, DecisionStage::Row, TurnAction::Draw, worst->choice, atRow, move});
    }
    ASSERT_EQ(decisions.size(), 6U);
    std::vector<std::size_t> told;
    const std::vector<Regret> regrets =
        reviewDecisions(decisions, [&told](std::size_t done) { told.push_back(done); });
    std::vector<std::size_t> all(decisions.size());
    std::iota(all.begin(), all.end(), 1);
    EXPECT_EQ(told, all);
    ASSERT_EQ(regrets.size(), 3U);
    for (const Regret& regret : regrets) {
        EXPECT_EQ(decisions[regret.decision].stage, DecisionStage::Action);
        EXPECT_GT(regret.cost, 0.0);
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
         {0.185, 0.234},
         {"Hint: Hard would take row 2. Chance of winning:", "   draw 19%  take 2 23%"}},
    };
    for (const Case& example : cases) {
        const Choice take{TurnAction::Take, 1};
        const Advice advice{
            take, {{Choice{}, example.values[0]}, {take, example.values[1]}}, example.chances};
        EXPECT_EQ(hintLines(advice, DecisionStage::Action), example.lines);
        // At the Take question a Take is advised in the same words.
        EXPECT_EQ(hintLines(advice, DecisionStage::Action, true), example.lines);
    }
    // There a better Draw names the way back to it.
    const Advice drawn{Choice{}, {{Choice{}, 0.3}, {Choice{TurnAction::Take, 1}, 0.2}}, true};
    EXPECT_EQ(hintLines(drawn, DecisionStage::Action, true),
              (std::vector<std::string>{"Hint: Hard would draw (B goes back). Chance of winning:",
                                        "   draw 30%  take 2 20%"}));
}

} // namespace

} // namespace pellaro
