#pragma once

#include "bots/bot.h"
#include "bots/bot_game.h"
#include "bots/external_bot.h"
#include "engine/game_state.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// What decides every figure of a run: the same configuration over the same
// deals always gives the same results, whatever the threads or machines.
struct SimConfig {
    std::int32_t players = minPlayers;
    // The bot of each seat, seat 1 first, before any rotation. Every searching
    // bot named without a budget of its own searches on `budget`.
    std::vector<BotSettings> seats;
    std::uint64_t seed = 1;
    // Deal i is dealt from deriveSeed(seed, i), for i from 0 to deals - 1.
    std::int64_t deals = 0;
    // Each deal is played once per cyclic rotation of the seats' bots.
    bool rotate = false;
    std::int32_t budget = defaultBudget;
};

// Deals first to end - 1: the share of a run one machine or one batch plays.
struct DealRange {
    std::int64_t first = 0;
    std::int64_t end = 0;
};

std::int32_t gamesPerDeal(const SimConfig& config);

// Game `rotation` of a deal: seat s plays the bot listed (s + rotation) mod n.
const BotSettings& botOfSeat(const SimConfig& config, std::int32_t rotation, std::int32_t seat);

// The different bots of the seat list, in order of first appearance: the
// report's per-bot figures pool all seats a bot plays. One strategy on two
// budgets makes two bots.
std::vector<BotSettings> distinctBots(const SimConfig& config);

// Where a bot stands in distinctBots.
std::int32_t botIndex(const SimConfig& config, const BotSettings& bot);

// What the simulator asks of the bots, all here so that the bots' interface
// is met in one place.
//
// The bot's name in this run's reports and records, against the run's budget.
std::string botNameIn(const SimConfig& config, const BotSettings& bot);
// The bot a name of --bots or of a record gives on the budget; nullopt, with
// the reason, when it names none.
std::optional<BotSettings> botCalled(const std::string& name, std::int32_t budget,
                                     std::string& error);
// A bot that reads the order of the deck: the ceiling to measure against.
bool readsTheDeck(const BotSettings& bot);
// A bot that searches, so that one of its games lasts long.
bool searches(const BotSettings& bot);
// A seat's bot for a deal, seeded from the deal's seed and the seat.
Bot seatedBot(const BotSettings& bot, std::uint64_t dealSeed, std::int32_t seat);
// Plays the turn of the player to move; true when it ended the game. An
// exec: bot that gives no legal move throws BotFailure.
bool playTurn(GameState& game, std::span<Bot> bots, PlayedMove& move);
// Whether a seat's bot is another program.
bool isExternal(const BotSettings& bot);
// How long an exec: bot may think over one decision before it counts as hung.
void setDecisionTimeLimit(std::chrono::milliseconds limit);
// The reply line of a built-in bot to a request of the protocol, as
// pellaro-sim bot serves it: the bot decides from the request's table with
// its stream seeded by the request's seed.
std::string servedReply(const BotSettings& bot, const BotRequest& request);

// "greedy,montecarlo:200,random" for the report's headings.
std::string botList(const SimConfig& config);

// Shard k of count (1-based) of deals 0 to deals - 1: contiguous, so that
// the shards' game records in shard order are the records of one run.
DealRange shardRange(std::int64_t deals, std::int32_t shard, std::int32_t shardCount);

// The deals a summary counts, as ranges in ascending order, none touching
// another: a whole run is one range, the shards of a run merged so far are
// as few ranges as they can be.
using Coverage = std::vector<DealRange>;

// Adds the part's deals; false, leaving `total` unchanged, when a deal would
// be counted twice.
bool joinCoverage(Coverage& total, const Coverage& part);

// Whether the coverage is every deal of the configuration, 0 to deals - 1.
bool coversAll(const Coverage& coverage, const SimConfig& config);

std::int64_t dealsCovered(const Coverage& coverage);

// "deals 0 to 249 and 500 to 749", for the report.
std::string coverageText(const Coverage& coverage);
