#include "bot.h"

#include <array>
#include <vector>

namespace {

constexpr std::array<std::string_view, 5> strategyNames = {"random", "greedy", "montecarlo",
                                                           "ismcts", "clairvoyant"};

bool rowAllows(const Row& row, TurnAction action) {
    if (row.taken) {
        return false;
    }
    return action == TurnAction::Take ? row.slots[0] != noCard : !row.full;
}

bool actionPossible(const SeatView& view, TurnAction action) {
    for (std::int32_t row = 0; row < view.numberOfPlayers; ++row) {
        if (rowAllows(view.rows[row], action)) {
            return true;
        }
    }
    return false;
}

TurnAction randomAction(Bot& bot, const SeatView& view) {
    const bool canDraw = actionPossible(view, TurnAction::Draw);
    const bool canTake = actionPossible(view, TurnAction::Take);
    if (canDraw && canTake) {
        return nextBelow(bot.random, 2) == 0 ? TurnAction::Draw : TurnAction::Take;
    }
    return canDraw ? TurnAction::Draw : TurnAction::Take;
}

std::int32_t randomRow(Bot& bot, const SeatView& view, TurnAction action) {
    std::vector<std::int32_t> allowed;
    for (std::int32_t row = 0; row < view.numberOfPlayers; ++row) {
        if (rowAllows(view.rows[row], action)) {
            allowed.push_back(row);
        }
    }
    return allowed[nextBelow(bot.random, static_cast<std::int32_t>(allowed.size()))];
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

bool isFair(Strategy strategy) {
    return strategy != Strategy::Clairvoyant;
}

Bot newBot(BotSettings settings, std::uint64_t gameSeed, std::int32_t seat) {
    return Bot{settings, seededRandom(deriveSeed(gameSeed, static_cast<std::uint64_t>(seat)))};
}

TurnAction chooseAction(Bot& bot, const SeatView& view) {
    // Every strategy plays at random until its own search is written.
    return randomAction(bot, view);
}

std::int32_t chooseRow(Bot& bot, const SeatView& view, TurnAction action, CardKind /*drawn*/) {
    return randomRow(bot, view, action);
}
