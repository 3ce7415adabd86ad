#include "sim_config.h"

#include <algorithm>

std::int32_t gamesPerDeal(const SimConfig& config) {
    return config.rotate ? config.players : 1;
}

const BotSettings& botOfSeat(const SimConfig& config, std::int32_t rotation, std::int32_t seat) {
    return config.seats[static_cast<std::size_t>((seat + rotation) % config.players)];
}

std::vector<BotSettings> distinctBots(const SimConfig& config) {
    std::vector<BotSettings> bots;
    for (const BotSettings& bot : config.seats) {
        if (std::find(bots.begin(), bots.end(), bot) == bots.end()) {
            bots.push_back(bot);
        }
    }
    return bots;
}

std::int32_t botIndex(const SimConfig& config, const BotSettings& bot) {
    // Counted in place rather than through distinctBots: every game asks, and
    // the games' loop allocates nothing of its own.
    std::int32_t index = 0;
    for (auto seat = config.seats.begin(); seat != config.seats.end(); ++seat) {
        if (*seat == bot) {
            return index;
        }
        if (std::find(config.seats.begin(), seat, *seat) == seat) {
            ++index;
        }
    }
    return index;
}

std::string botNameIn(const SimConfig& config, const BotSettings& bot) {
    return botName(bot, config.budget);
}

std::optional<BotSettings> botCalled(const std::string& name, std::int32_t budget,
                                     std::string& error) {
    const auto settings = botNamed(name, budget);
    if (settings) {
        return settings;
    }
    if (!strategyNamed(name.substr(0, name.find(':')))) {
        error = "unknown bot '" + name +
                "'; the bots are random, greedy, montecarlo, ismcts and clairvoyant";
    } else {
        error = "bad budget in '" + name +
                "'; montecarlo, ismcts and clairvoyant may take one from 1 to 10^8, as in "
                "montecarlo:200, and random and greedy none";
    }
    return std::nullopt;
}

bool readsTheDeck(const BotSettings& bot) {
    return !isFair(bot.strategy);
}

bool searches(const BotSettings& bot) {
    return bot.strategy != Strategy::Random && bot.strategy != Strategy::Greedy;
}

Bot seatedBot(const BotSettings& bot, std::uint64_t dealSeed, std::int32_t seat) {
    return newBot(bot, dealSeed, seat);
}

bool playTurn(GameState& game, std::span<Bot> bots, PlayedMove& move) {
    return playBotTurn(game, bots, move);
}

std::string botList(const SimConfig& config) {
    std::string list;
    for (const BotSettings& bot : config.seats) {
        if (!list.empty()) {
            list += ',';
        }
        list += botNameIn(config, bot);
    }
    return list;
}

DealRange shardRange(std::int64_t deals, std::int32_t shard, std::int32_t shardCount) {
    // Products fit: deals stay far below 2^63 / shardCount.
    return DealRange{deals * (shard - 1) / shardCount, deals * shard / shardCount};
}
