#include "strengths.h"

#include <cassert>

BotSettings settingsOf(Strength strength) {
    const auto settings = botNamed(strengthBots[static_cast<std::size_t>(strength)], defaultBudget);
    assert(settings.has_value());
    return *settings;
}

std::vector<Bot> computerPlayers(Strength strength, std::uint64_t gameSeed, std::int32_t players) {
    std::vector<Bot> bots;
    bots.reserve(static_cast<std::size_t>(players));
    for (std::int32_t seat = 0; seat < players; ++seat) {
        bots.push_back(newBot(settingsOf(strength), gameSeed, seat));
    }
    return bots;
}
