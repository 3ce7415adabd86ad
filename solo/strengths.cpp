#include "strengths.h"

#include <cassert>

namespace pellaro {

BotSettings settingsOf(Strength strength) {
    const auto settings = botNamed(strengthBots[static_cast<std::size_t>(strength)], defaultBudget);
    assert(settings.has_value());
    return *settings;
}

} // namespace pellaro
