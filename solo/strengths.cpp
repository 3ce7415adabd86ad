#include "strengths.h"

BotSettings settingsOf(Strength strength) {
    return strengthSettings[static_cast<std::size_t>(strength)];
}
