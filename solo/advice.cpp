// With computer_turns.cpp, the one place where pellaro-solo calls the
// computer players.
#include "advice.h"

#include "../bots/choice_values.h"
#include "../bots/seat_view.h"
#include "../engine/seeded_random.h"

#include <algorithm>
#include <cassert>
#include <optional>

namespace pellaro {

std::uint64_t decisionSeed(std::uint64_t gameSeed, std::size_t movesPlayed, DecisionStage stage) {
    // A family of seeds apart from the computer players' own, which are
    // derived from the game's seed by seat.
    constexpr std::uint64_t adviceFamily = 0x6164766963650000;
    return deriveSeed(deriveSeed(gameSeed, adviceFamily),
                      2 * movesPlayed + static_cast<std::uint64_t>(stage));
}

Advice advise(const GameState& game, DecisionStage stage, TurnAction action, std::uint64_t seed) {
    std::optional<TurnAction> asked;
    CardKind drawn = noCard;
    if (stage == DecisionStage::Row) {
        asked = action;
        drawn = action == TurnAction::Draw ? topCard(game) : noCard;
    }
    Advice advice;
    advice.chances = valuesChances(game.numberOfPlayers);
    // Valued by what Hard plays for; the recommendation is read off the same
    // values, so a hint never rates its own advice below another choice.
    for (const ChoiceValue& value : choiceValues(seatView(game), asked, drawn, advicePlayouts,
                                                 deriveSeed(seed, 1), Objective::ByTableSize)) {
        advice.choices.push_back({Choice{value.action, value.row}, value.value});
    }
    assert(!advice.choices.empty());
    const auto best = std::max_element(
        advice.choices.begin(), advice.choices.end(),
        [](const ChoiceWorth& a, const ChoiceWorth& b) { return a.value < b.value; });
    advice.strongest = best->choice;
    return advice;
}

bool valuesChances(std::int32_t players) {
    return objectiveAt(Objective::ByTableSize, players) == Objective::WinShare;
}

double worthOf(const Advice& advice, const Choice& choice) {
    const auto found =
        std::find_if(advice.choices.begin(), advice.choices.end(),
                     [&choice](const ChoiceWorth& worth) { return worth.choice == choice; });
    assert(found != advice.choices.end());
    return found->value;
}

std::vector<Regret> reviewDecisions(const std::vector<Decision>& decisions,
                                    const ReviewProgress& progress) {
    std::vector<Regret> regrets;
    // The move of the last Draw judged a mistake: its placement follows it.
    std::optional<std::size_t> wrongDraw;
    for (std::size_t i = 0; i < decisions.size(); ++i) {
        const Decision& decision = decisions[i];
        const bool placingWrongDraw =
            decision.stage == DecisionStage::Row && wrongDraw == decision.movesPlayed;
        const Advice advice = placingWrongDraw ? Advice{}
                                               : advise(decision.game, decision.stage,
                                                        decision.action, decision.seed);
        if (!placingWrongDraw && advice.strongest != decision.chosen) {
            regrets.push_back(
                {i, advice.strongest,
                 worthOf(advice, advice.strongest) - worthOf(advice, decision.chosen)});
            if (decision.stage == DecisionStage::Action) {
                wrongDraw = decision.movesPlayed;
            }
        }
        if (progress) {
            progress(i + 1);
        }
    }
    std::stable_sort(regrets.begin(), regrets.end(),
                     [](const Regret& a, const Regret& b) { return a.cost > b.cost; });
    return regrets;
}

} // namespace pellaro
