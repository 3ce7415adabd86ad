#include "strengths.h"

#include <cassert>

BotSettings settingsOf(Strength strength) {
    const auto settings = botNamed(strengthBots[static_cast<std::size_t>(strength)], defaultBudget);
    assert(settings.has_value());
    return *settings;
}
