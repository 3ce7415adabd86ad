// With computer_turns.cpp, the one place where pellaro-solo calls the
// computer players.
#include "advice.h"

#include "../bots/bot.h"
#include "../bots/choice_values.h"
#include "../bots/seat_view.h"
#include "../engine/seeded_random.h"
#include "strengths.h"

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
    const SeatView view = seatView(game);
    Bot hard = newBot(settingsOf(Strength::Hard), seed, game.currentPlayer);
    Advice advice;
    std::optional<TurnAction> asked;
    CardKind drawn = noCard;
    if (stage == DecisionStage::Action) {
        const ChosenMove chosen = decideAction(hard, view);
        advice.strongest = Choice{chosen.action, chosen.row};
    } else {
        asked = action;
        drawn = action == TurnAction::Draw ? topCard(game) : noCard;
        advice.strongest = Choice{action, chooseRow(hard, view, action, drawn)};
    }
    advice.chances = valuesChances(game.numberOfPlayers);
    // Valued by what Hard plays for, so that its choice and the values agree
    // but for the noise of two separate searches.
    for (const ChoiceValue& value : choiceValues(view, asked, drawn, advicePlayouts,
                                                 deriveSeed(seed, 1), Objective::ByTableSize)) {
        advice.choices.push_back({Choice{value.action, value.row}, value.value});
    }
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

std::vector<Regret> reviewDecisions(const std::vector<Decision>& decisions) {
    std::vector<Regret> regrets;
    for (std::size_t i = 0; i < decisions.size(); ++i) {
        const Decision& decision = decisions[i];
        const Advice advice = advise(decision.game, decision.stage, decision.action, decision.seed);
        if (advice.strongest != decision.chosen) {
            regrets.push_back(
                {i, advice.strongest,
                 worthOf(advice, advice.strongest) - worthOf(advice, decision.chosen)});
        }
    }
    std::stable_sort(regrets.begin(), regrets.end(),
                     [](const Regret& a, const Regret& b) { return a.cost > b.cost; });
    return regrets;
}

} // namespace pellaro
