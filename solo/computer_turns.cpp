// With advice.cpp, the one place where pellaro-solo calls the computer
// players.
#include "computer_turns.h"

#include "../protocol/program_bot.h"

#include <cassert>

namespace pellaro {

ChosenMove decideComputerMove(const GameState& game, Bot& bot) {
    // Every computer player pellaro-solo seats plays fair.
    assert(bot.settings.entry->fair && !isProgram(bot.settings));
    return decideMove(bot, game);
}

ChosenMove decideComputerMove(const GameState& game, Bot& bot, const RequestKey& key,
                              std::uint64_t gameNumber, std::uint64_t movesPlayed) {
    return isProgram(bot.settings) ? askProgram(bot, game, key, gameNumber, movesPlayed)
                                   : decideComputerMove(game, bot);
}

std::vector<Bot> computerPlayers(Strength strength, std::uint64_t gameSeed, std::int32_t players) {
    return computerPlayers(settingsOf(strength), gameSeed, players);
}

std::vector<Bot> computerPlayers(const BotSettings& bot, std::uint64_t gameSeed,
                                 std::int32_t players) {
    std::vector<Bot> bots;
    bots.reserve(static_cast<std::size_t>(players));
    for (std::int32_t seat = 0; seat < players; ++seat) {
        bots.push_back(newBot(bot, gameSeed, seat));
    }
    return bots;
}

} // namespace pellaro
