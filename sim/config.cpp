#include "config.h"

#include <algorithm>
#include <iterator>
#include <numeric>

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
    auto settings = botNamed(name, budget);
    if (settings) {
        return settings;
    }
    if (botEntryNamed(name.substr(0, name.find(':'))) == nullptr) {
        error = name.starts_with(execPrefix)
                    ? "'" + name + "' names no program; write exec: and its command"
                    : "unknown bot '" + name + "'; the bots are " + botNameList() +
                          ", or exec:COMMAND for another program";
    } else {
        error = "bad budget in '" + name +
                "'; a searching bot may take one from 1 to 10^8, as in montecarlo:200, and "
                "settings such as ismcts:5000:exploration=0.3; the others none";
    }
    return std::nullopt;
}

bool isExternal(const BotSettings& bot) {
    return bot.entry == &externalBot;
}

void setDecisionTimeLimit(std::chrono::milliseconds limit) {
    setBotTimeLimit(limit);
}

std::string servedReply(const BotSettings& bot, const BotRequest& request) {
    Bot served{bot, seededRandom(request.seed), {}};
    const SeatView view(request.table);
    BotReply reply;
    if (request.kind == RequestKind::Place) {
        reply.row = chooseRow(served, view, TurnAction::Draw, request.drawn);
        return replyLine(reply);
    }
    reply.action = chooseAction(served, view);
    if (reply.action == TurnAction::Take) {
        reply.row = chooseRow(served, view, TurnAction::Take, noCard);
    }
    return replyLine(reply);
}

bool readsTheDeck(const BotSettings& bot) {
    return !bot.entry->fair;
}

bool searches(const BotSettings& bot) {
    return bot.entry->searches;
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

bool joinCoverage(Coverage& total, const Coverage& part) {
    Coverage joined = total;
    std::copy_if(part.begin(), part.end(), std::back_inserter(joined),
                 [](const DealRange& range) { return range.first < range.end; });
    std::sort(joined.begin(), joined.end(),
              [](const DealRange& a, const DealRange& b) { return a.first < b.first; });
    Coverage merged;
    for (const DealRange& range : joined) {
        if (!merged.empty() && range.first < merged.back().end) {
            return false;
        }
        if (!merged.empty() && range.first == merged.back().end) {
            merged.back().end = range.end;
        } else {
            merged.push_back(range);
        }
    }
    total = merged;
    return true;
}

bool coversAll(const Coverage& coverage, const SimConfig& config) {
    return coverage.size() == 1 && coverage[0].first == 0 && coverage[0].end == config.deals;
}

std::int64_t dealsCovered(const Coverage& coverage) {
    return std::accumulate(
        coverage.begin(), coverage.end(), std::int64_t{0},
        [](std::int64_t deals, const DealRange& range) { return deals + range.end - range.first; });
}

std::string coverageText(const Coverage& coverage) {
    if (coverage.empty()) {
        return "no deals";
    }
    std::string text = "deals ";
    for (std::size_t i = 0; i < coverage.size(); ++i) {
        if (i > 0) {
            text += i + 1 == coverage.size() ? " and " : ", ";
        }
        text += std::to_string(coverage[i].first) + " to " + std::to_string(coverage[i].end - 1);
    }
    return text;
}
