#include "bot.h"

#include <array>

// Each bot's own file defines its entry. A new bot is a new file and its
// name here, in both lines.
extern const BotEntry randomBot, greedyBot, monteCarloBot, ismctsBot, clairvoyantBot,
    monteCarloBaseline, ismctsBaseline;
namespace {
constexpr std::array<const BotEntry*, 7> entries = {
    &randomBot,      &greedyBot,          &monteCarloBot, &ismctsBot,
    &clairvoyantBot, &monteCarloBaseline, &ismctsBaseline};
} // namespace

std::span<const BotEntry* const> botRegistry() {
    return entries;
}
