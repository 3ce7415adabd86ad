#pragma once

#include "../engine/card.h"
#include "../engine/seeded_random.h"
#include "../engine/turn.h"
#include "../engine/turn_rules.h"
#include "playout.h"
#include "seat_view.h"

#include <any>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pellaro {

struct Bot;

// The real order of the undrawn cards, top first: handed only to a bot that
// is not fair, and empty for every other.
using DeckOrder = std::span<const CardKind>;

// What a bot's name may set beside its kind, each read by some bots alone:
// a name that sets one its bot does not read is refused, so that two names
// never stand for one way of playing.
enum class Setting : std::uint8_t {
    Budget,
    Exploration,
    Scale,
    Objective,
    Playouts,
    Reuse,
    Ties,
    Allocation,
    Stream,
};

inline constexpr std::int32_t settingCount = 9;

// Settings, one bit each.
using SettingSet = std::uint16_t;

constexpr SettingSet settingBit(Setting setting) {
    return static_cast<SettingSet>(1U << static_cast<unsigned>(setting));
}

// One kind of computer player: a line of the registry. Its own file defines
// it; adding a bot is that file and its line in bots/registry.cpp.
struct BotEntry {
    // Its name on command lines and in reports.
    std::string_view name;
    // One line on how it plays, for help texts.
    std::string_view summary;
    // Whether it decides from what its seat may know alone.
    bool fair = true;
    // Whether it searches, spending a budget of playouts or iterations.
    bool searches = false;
    // Draw or Take, chosen without knowing the top card; always possible.
    TurnAction (*chooseAction)(Bot& bot, const SeatView& view, DeckOrder order) = nullptr;
    // The row for an accepted action; for a Draw the drawn card is known
    // (it is still counted among the view's unseen cards). Always valid.
    std::int32_t (*chooseRow)(Bot& bot, const SeatView& view, TurnAction action, CardKind drawn,
                              DeckOrder order) = nullptr;
    // The settings its play depends on; a name may give these alone.
    SettingSet reads = 0;
};

// Every bot, in the order of the manual page.
std::span<const BotEntry* const> botRegistry();

// The entry of that name, or nothing.
const BotEntry* botEntryNamed(std::string_view name);

// The registry's names, "a, b and c", for messages and help texts.
std::string botNameList();

// What a search may spend on one decision: playouts for montecarlo and
// clairvoyant (shared out among the choices, the close ones getting the
// most), iterations for ismcts
// (each ending in one playout); bots that do not search ignore it. A fixed
// count, never a clock, so that a game is a pure function of its seed. At
// the default a decision takes about 3 ms on one core.
inline constexpr std::int32_t defaultBudget = 1000;

// A budget at which the slowest decisions of either search, those early in
// a five-player game, take about a quarter of a second on one core of the
// build machine: half a second at most leaves room for slower machines.
inline constexpr std::int32_t halfSecondBudget = 60000;

// The largest budget a command line may ask for.
inline constexpr std::int32_t mostBudget = 100'000'000;

// Results in margins are spread far wider than shares of a win. Against flat
// Monte Carlo at 1000 playouts a decision, exploration constants from 0.2 to
// 0.8 played alike; 0.4 did best with less patient playouts.
inline constexpr double defaultExploration = 0.4;
inline constexpr double defaultMarginScale = 1.0 / 40.0;

// How a search chooses between choices that came out equal.
enum class Ties : std::uint8_t {
    // At random, from the bot's own stream.
    Random = 0,
    // The first of them: a Draw before any Take, lower rows before higher.
    First = 1,
};

// How flat Monte Carlo shares its budget among the choices.
enum class Allocation : std::uint8_t {
    // By successive halving: the close choices get the most playouts.
    Halving = 0,
    // Evenly, every choice on every deal.
    Even = 1,
};

struct BotSettings {
    const BotEntry* entry = nullptr;
    std::int32_t budget = defaultBudget;
    // How the searches play a game to its end, and what result they seek.
    PlayoutPolicy policy = PlayoutPolicy::Patient;
    Objective objective = Objective::ByTableSize;
    // The tree search's weight on trying less visited moves, and the factor
    // that brings a margin in points near the range of a share of wins.
    double exploration = defaultExploration;
    double marginScale = defaultMarginScale;
    // Whether the tree search answers the row question of a turn from the
    // tree its Draw-or-Take question grew, or searches it afresh.
    bool reuse = true;
    Ties ties = Ties::Random;
    Allocation allocation = Allocation::Halving;
    // Which of a bot's random streams it draws from: 0 is the usual one.
    // Bots equal but for their stream play equally well and differently, so
    // that a bot can be measured against itself.
    std::int32_t stream = 0;
    // The program of an exec: bot, as written after "exec:".
    std::string command{};

    bool operator==(const BotSettings&) const = default;
};

// The word for the setting in a bot's name: "budget", "exploration"...
std::string_view settingWord(Setting setting);

// The bot's name on command lines and in reports: its entry's name, then,
// for a search, ":budget" when the budget is not the usual one and
// ":setting=value" for each setting away from its default, in the order of
// Setting, such as montecarlo:200, ismcts:5000:exploration=0.3 or
// ismcts:reuse=no:ties=first; for a bot that is another program, exec: and
// its command.
std::string botName(const BotSettings& settings, std::int32_t usualBudget);

// Reads what botName writes, defaults written out too. A budget is 1 to
// mostBudget in plain decimal; exploration and scale are positive numbers;
// objective is by-size, margin, winshare or margin-below-5; playouts patient
// or random; reuse yes or no; ties random or first; allocation halving or
// even. A bot takes only the settings its entry reads: for a setting it does
// not read, `refusal`, when given, gets a line that says so. "exec:COMMAND"
// names the program COMMAND, which is not empty.
std::optional<BotSettings> botNamed(std::string_view name, std::int32_t usualBudget,
                                    std::string* refusal = nullptr);

// One computer player in one game: its settings, its own random stream, and
// whatever its search keeps from one decision to the next (a tree's nodes).
struct Bot {
    BotSettings settings;
    SeededRandom random;
    std::any memory;
};

// The bot for a seat of a game; its stream depends on the game's seed and the
// seat alone, so a game between bots is a pure function of its seed.
Bot newBot(BotSettings settings, std::uint64_t gameSeed, std::int32_t seat);

// The same bot, settings kept, for another game in that seat: its stream as
// newBot would give it, and nothing remembered of the last game. A simulator
// seats its bots once and reseats them for every game.
void reseat(Bot& bot, std::uint64_t gameSeed, std::int32_t seat);

// The undrawn cards for the bot: their order for a bot that is not fair,
// nothing for any other.
DeckOrder deckOrderFor(const Bot& bot, const GameState& game);

// The bot's answers to the two questions of a turn, on the game as the
// player to move sees it: Draw or Take, then the row for the action.
TurnAction chooseAction(Bot& bot, const SeatView& view, DeckOrder order = {});
std::int32_t chooseRow(Bot& bot, const SeatView& view, TurnAction action, CardKind drawn,
                       DeckOrder order = {});

// A built-in bot's turn in the halves a caller may ask apart: first Draw
// (row -1, as no card is seen yet) or Take with its row; then, for a Draw,
// the row for the card drawn.
ChosenMove decideAction(Bot& bot, const SeatView& view, DeckOrder order = {});
std::int32_t decidePlacement(Bot& bot, const SeatView& view, CardKind drawn, DeckOrder order = {});

// A built-in bot's whole turn on the game: it sees what its seat may know
// (the clairvoyant bot alone is shown the deck's order) and, for a Draw, the
// top card. `known` is publicStateOf(game), kept by a loop of turns.
ChosenMove decideMove(Bot& bot, const GameState& game, const PublicState& known);
ChosenMove decideMove(Bot& bot, const GameState& game);

// The entry of every exec: bot, a program asked over the pellaro-bot
// protocol: it decides nothing here, its settings only name the command.
extern const BotEntry programBot;

inline constexpr std::string_view execPrefix = "exec:";

// Whether a seat's bot is another program rather than a built-in one.
inline bool isProgram(const BotSettings& settings) {
    return settings.entry == &programBot;
}

} // namespace pellaro
