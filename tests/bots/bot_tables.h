#pragma once

#include "bots/bot.h"
#include "engine/game_state.h"
#include "engine/seeded_random.h"

#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <string_view>

#ifndef PELLARO_BOT_GAMES_SCALE
#define PELLARO_BOT_GAMES_SCALE 10
#endif

// How many games a test plays: its count for the normal build, a tenth of it
// under the sanitizers.
constexpr std::int32_t scaledGames(std::int32_t normalBuild) {
    return normalBuild * PELLARO_BOT_GAMES_SCALE / 10;
}

inline constexpr std::array<TurnAction, 2> bothActions = {TurnAction::Draw, TurnAction::Take};

// The settings of the registry's bot of that name, on its usual budget.
inline BotSettings settingsNamed(std::string_view name, std::int32_t budget = defaultBudget) {
    const BotEntry* entry = botEntryNamed(name);
    if (entry == nullptr) {
        ADD_FAILURE() << "no bot named " << name;
        entry = botRegistry().front();
    }
    return BotSettings{entry, budget};
}

// A small budget keeps the searches fast enough for hundreds of games.
inline BotSettings testSettings(const BotEntry* entry) {
    return BotSettings{entry, entry->searches ? 12 : defaultBudget};
}
