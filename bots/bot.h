#pragma once

#include "../engine/card.h"
#include "../engine/seeded_random.h"
#include "../engine/turn_rules.h"
#include "playout.h"
#include "seat_view.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// How a computer player chooses its moves.
enum class Strategy : std::uint8_t {
    Random = 0,
    Greedy = 1,
    MonteCarlo = 2,
    Ismcts = 3,
    // Reads the real deck order: a ceiling for measurements, never a player's opponent.
    Clairvoyant = 4,
};

// The name used on command lines and in reports: random, greedy, montecarlo,
// ismcts, clairvoyant.
std::string_view strategyName(Strategy strategy);
std::optional<Strategy> strategyNamed(std::string_view name);

// Whether the strategy decides from what its seat may know alone.
bool isFair(Strategy strategy);

// What a search may spend on one decision: playouts for montecarlo and
// clairvoyant (shared out evenly among the choices), iterations for ismcts
// (each ending in one playout); random and greedy ignore it. A fixed count,
// never a clock, so that a game is a pure function of its seed. At the
// default a decision takes about 3 ms on one core.
inline constexpr std::int32_t defaultBudget = 1000;

// A budget at which the slowest decisions of either search, those early in
// a five-player game, take about a quarter of a second on one core of the
// build machine: half a second at most leaves room for slower machines.
inline constexpr std::int32_t halfSecondBudget = 60000;

// The largest budget a command line may ask for.
inline constexpr std::int32_t mostBudget = 100'000'000;

struct BotSettings {
    Strategy strategy = Strategy::Greedy;
    std::int32_t budget = defaultBudget;
    // How the searches play a game to its end, and what result they seek.
    PlayoutPolicy policy = PlayoutPolicy::Patient;
    Objective objective = Objective::ByTableSize;

    bool operator==(const BotSettings&) const = default;
};

// The bot's name on command lines and in reports: its strategy's name, with
// ":budget" after it when it searches on a budget other than the usual one,
// such as montecarlo:200.
std::string botName(const BotSettings& settings, std::int32_t usualBudget);

// Reads "name" (searching on the usual budget) or "name:budget", the budget
// from 1 to mostBudget in plain decimal; random and greedy take no budget,
// since they do not search.
std::optional<BotSettings> botNamed(std::string_view name, std::int32_t usualBudget);

// One computer player in one game: its settings and its own random stream.
struct Bot {
    BotSettings settings;
    SeededRandom random;
};

// The bot for a seat of a game; its stream depends on the game's seed and the
// seat alone, so a game between bots is a pure function of its seed.
Bot newBot(BotSettings settings, std::uint64_t gameSeed, std::int32_t seat);

// Draw or Take, chosen without knowing the top card. Always possible.
TurnAction chooseAction(Bot& bot, const SeatView& view);

// The row for an accepted action; for a Draw the drawn card is known (it is
// still counted among view.unseen). Always valid.
std::int32_t chooseRow(Bot& bot, const SeatView& view, TurnAction action, CardKind drawn);
