#include "bot.h"

#include <array>

namespace pellaro {

// Each bot's own file defines its entry. A new bot is a new file and its
// name here, in both lines.
extern const BotEntry randomBot, greedyBot, monteCarloBot, ismctsBot, clairvoyantBot;
namespace {
constexpr std::array<const BotEntry*, 5> entries = {&randomBot, &greedyBot, &monteCarloBot,
                                                    &ismctsBot, &clairvoyantBot};
} // namespace

std::span<const BotEntry* const> botRegistry() {
    return entries;
}

} // namespace pellaro
