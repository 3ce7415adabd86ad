#include "bot.h"

#include "greedy.h"
#include "ismcts.h"
#include "monte_carlo.h"
#include "view_rules.h"

#include <array>
#include <charconv>

namespace {

constexpr std::array<std::string_view, 5> strategyNames = {"random", "greedy", "montecarlo",
                                                           "ismcts", "clairvoyant"};

TurnAction randomAction(Bot& bot, const SeatView& view) {
    const RowChoices choices = rowChoices(view);
    const bool canDraw = choices.draws != 0;
    const bool canTake = choices.takes != 0;
    if (canDraw && canTake) {
        return nextBelow(bot.random, 2) == 0 ? TurnAction::Draw : TurnAction::Take;
    }
    return canDraw ? TurnAction::Draw : TurnAction::Take;
}

bool searches(Strategy strategy) {
    return strategy != Strategy::Random && strategy != Strategy::Greedy;
}

std::int32_t randomRow(Bot& bot, const SeatView& view, TurnAction action) {
    const RowSet rows = allowedRows(view, action);
    return nthRow(rows, nextBelow(bot.random, rowCount(rows)));
}

} // namespace

std::string_view strategyName(Strategy strategy) {
    return strategyNames[static_cast<std::size_t>(strategy)];
}

std::optional<Strategy> strategyNamed(std::string_view name) {
    for (std::size_t i = 0; i < strategyNames.size(); ++i) {
        if (strategyNames[i] == name) {
            return static_cast<Strategy>(i);
        }
    }
    return std::nullopt;
}

std::string botName(const BotSettings& settings, std::int32_t usualBudget) {
    std::string name(strategyName(settings.strategy));
    if (searches(settings.strategy) && settings.budget != usualBudget) {
        name += ':' + std::to_string(settings.budget);
    }
    return name;
}

std::optional<BotSettings> botNamed(std::string_view name, std::int32_t usualBudget) {
    const std::size_t colon = name.find(':');
    const auto strategy = strategyNamed(name.substr(0, colon));
    if (!strategy) {
        return std::nullopt;
    }
    BotSettings settings{*strategy, usualBudget};
    if (colon == std::string_view::npos) {
        return settings;
    }
    // Digits alone, no sign and no leading zero: each budget has one spelling.
    const std::string_view digits = name.substr(colon + 1);
    const char* end = digits.data() + digits.size();
    const auto [last, fault] = std::from_chars(digits.data(), end, settings.budget);
    if (!searches(*strategy) || digits.empty() || digits.front() < '1' || digits.front() > '9' ||
        fault != std::errc{} || last != end || settings.budget > mostBudget) {
        return std::nullopt;
    }
    return settings;
}

bool isFair(Strategy strategy) {
    return strategy != Strategy::Clairvoyant;
}

Bot newBot(BotSettings settings, std::uint64_t gameSeed, std::int32_t seat) {
    return Bot{settings, seededRandom(deriveSeed(gameSeed, static_cast<std::uint64_t>(seat)))};
}

TurnAction chooseAction(Bot& bot, const SeatView& view) {
    switch (bot.settings.strategy) {
    case Strategy::Greedy:
        return greedyAction(view, GreedyWeights{});
    case Strategy::MonteCarlo:
    case Strategy::Clairvoyant:
        return monteCarloAction(bot, view);
    case Strategy::Ismcts:
        return ismctsAction(bot, view);
    case Strategy::Random:
        break;
    }
    return randomAction(bot, view);
}

std::int32_t chooseRow(Bot& bot, const SeatView& view, TurnAction action, CardKind drawn) {
    switch (bot.settings.strategy) {
    case Strategy::Greedy:
        return greedyRow(view, action, drawn, GreedyWeights{});
    case Strategy::MonteCarlo:
    case Strategy::Clairvoyant:
        return monteCarloRow(bot, view, action, drawn);
    case Strategy::Ismcts:
        return ismctsRow(bot, view, action, drawn);
    case Strategy::Random:
        break;
    }
    return randomRow(bot, view, action);
}
