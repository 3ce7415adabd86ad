#include "bot.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>
#include <cmath>
#include <span>
#include <utility>

namespace pellaro {

namespace {

// A budget in plain digits, no sign and no leading zero: each budget has one
// spelling.
std::optional<std::int32_t> budgetIn(std::string_view digits) {
    std::int32_t budget = 0;
    const char* end = digits.data() + digits.size();
    const auto [last, fault] = std::from_chars(digits.data(), end, budget);
    if (digits.empty() || digits.front() < '1' || digits.front() > '9' || fault != std::errc{} ||
        last != end || budget > mostBudget) {
        return std::nullopt;
    }
    return budget;
}

// A positive, finite number such as 0.3 or 2.5e-2.
std::optional<double> positiveIn(std::string_view text) {
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [last, fault] = std::from_chars(text.data(), end, value);
    if (text.empty() || fault != std::errc{} || last != end || !std::isfinite(value) ||
        value <= 0.0) {
        return std::nullopt;
    }
    return value;
}

constexpr std::array<std::string_view, settingCount> settingWords = {
    "budget", "exploration", "scale",      "objective", "playouts",
    "reuse",  "ties",        "allocation", "stream"};

// The words of each setting that takes one of a few, in the order of its
// values; none for the others.
std::span<const std::string_view> valueWords(Setting setting) {
    static constexpr std::array<std::string_view, 4> objectives = {"margin", "winshare", "by-size",
                                                                   "margin-below-5"};
    static constexpr std::array<std::string_view, 2> playouts = {"random", "patient"};
    static constexpr std::array<std::string_view, 2> reuse = {"no", "yes"};
    static constexpr std::array<std::string_view, 2> ties = {"random", "first"};
    static constexpr std::array<std::string_view, 2> allocations = {"halving", "even"};
    switch (setting) {
    case Setting::Objective:
        return objectives;
    case Setting::Playouts:
        return playouts;
    case Setting::Reuse:
        return reuse;
    case Setting::Ties:
        return ties;
    case Setting::Allocation:
        return allocations;
    default:
        return {};
    }
}

// The value of a setting that takes one of a few words, as its word's index.
std::size_t valueIndex(const BotSettings& settings, Setting setting) {
    switch (setting) {
    case Setting::Objective:
        return static_cast<std::size_t>(settings.objective);
    case Setting::Playouts:
        return static_cast<std::size_t>(settings.policy);
    case Setting::Reuse:
        return settings.reuse ? 1 : 0;
    case Setting::Ties:
        return static_cast<std::size_t>(settings.ties);
    default:
        return static_cast<std::size_t>(settings.allocation);
    }
}

void setValueIndex(BotSettings& settings, Setting setting, std::size_t index) {
    switch (setting) {
    case Setting::Objective:
        settings.objective = static_cast<Objective>(index);
        break;
    case Setting::Playouts:
        settings.policy = static_cast<PlayoutPolicy>(index);
        break;
    case Setting::Reuse:
        settings.reuse = index == 1;
        break;
    case Setting::Ties:
        settings.ties = static_cast<Ties>(index);
        break;
    default:
        settings.allocation = static_cast<Allocation>(index);
        break;
    }
}

// The setting a ":part" of a name gives: a budget when it is a bare number.
std::optional<Setting> settingOf(std::string_view part) {
    const std::size_t equals = part.find('=');
    if (equals == std::string_view::npos) {
        return Setting::Budget;
    }
    const auto* const found =
        std::find(settingWords.begin(), settingWords.end(), part.substr(0, equals));
    if (found == settingWords.end() || *found == settingWords.front()) {
        return std::nullopt;
    }
    return static_cast<Setting>(found - settingWords.begin());
}

// One ":part" of a bot's name, of a setting its bot reads: its budget, given
// once, or a setting's value.
bool readPart(std::string_view part, Setting setting, BotSettings& settings, bool& budgetGiven) {
    if (setting == Setting::Budget) {
        const auto budget = budgetIn(part);
        settings.budget = budget.value_or(0);
        const bool first = !budgetGiven;
        budgetGiven = true;
        return budget.has_value() && first;
    }
    const std::string_view text = part.substr(part.find('=') + 1);
    if (setting == Setting::Stream) {
        // Spelt like a budget, so that each stream has one name; 0 is the
        // usual stream, named by leaving the setting out.
        const auto stream = budgetIn(text);
        settings.stream = stream.value_or(0);
        return stream.has_value();
    }
    const auto words = valueWords(setting);
    if (!words.empty()) {
        const auto found = std::find(words.begin(), words.end(), text);
        setValueIndex(settings, setting, static_cast<std::size_t>(found - words.begin()));
        return found != words.end();
    }
    const auto value = positiveIn(text);
    (setting == Setting::Exploration ? settings.exploration : settings.marginScale) =
        value.value_or(0.0);
    return value.has_value();
}

std::string shortest(double value) {
    std::array<char, 32> text{};
    const auto [end, fault] = std::to_chars(text.begin(), text.end(), value);
    assert(fault == std::errc{});
    return {text.begin(), end};
}

} // namespace

const BotEntry* botEntryNamed(std::string_view name) {
    const auto entries = botRegistry();
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [name](const BotEntry* entry) { return entry->name == name; });
    return found == entries.end() ? nullptr : *found;
}

std::string botNameList() {
    const auto entries = botRegistry();
    std::string list;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        list += i == 0 ? "" : i + 1 == entries.size() ? " and " : ", ";
        list += entries[i]->name;
    }
    return list;
}

std::string_view settingWord(Setting setting) {
    return settingWords[static_cast<std::size_t>(setting)];
}

namespace {

// The ":setting=value" of a name, or nothing when the setting is at its
// default (the budget at the usual one), as a bare number for the budget.
std::string settingPart(const BotSettings& settings, Setting setting, std::int32_t usualBudget) {
    const BotSettings defaults;
    const std::string prefix = ':' + std::string(settingWord(setting)) + '=';
    const auto words = valueWords(setting);
    if (setting == Setting::Budget) {
        return settings.budget != usualBudget ? ':' + std::to_string(settings.budget) : "";
    }
    if (setting == Setting::Stream) {
        return settings.stream != defaults.stream ? prefix + std::to_string(settings.stream) : "";
    }
    if (!words.empty()) {
        const std::size_t value = valueIndex(settings, setting);
        return value != valueIndex(defaults, setting) ? prefix + std::string(words[value]) : "";
    }
    const bool exploration = setting == Setting::Exploration;
    const double value = exploration ? settings.exploration : settings.marginScale;
    const double usual = exploration ? defaults.exploration : defaults.marginScale;
    return value != usual ? prefix + shortest(value) : "";
}

} // namespace

std::string botName(const BotSettings& settings, std::int32_t usualBudget) {
    assert(settings.entry != nullptr);
    if (isProgram(settings)) {
        return std::string(execPrefix) + settings.command;
    }
    std::string name(settings.entry->name);
    for (std::int32_t index = 0; index < settingCount; ++index) {
        const auto setting = static_cast<Setting>(index);
        if ((settings.entry->reads & settingBit(setting)) != 0) {
            name += settingPart(settings, setting, usualBudget);
        }
    }
    return name;
}

std::optional<BotSettings> botNamed(std::string_view name, std::int32_t usualBudget,
                                    std::string* refusal) {
    if (name.starts_with(execPrefix)) {
        BotSettings settings;
        settings.entry = &programBot;
        settings.budget = usualBudget;
        settings.command = name.substr(execPrefix.size());
        if (settings.command.find_first_not_of(" \t") == std::string::npos) {
            return std::nullopt;
        }
        return settings;
    }
    std::size_t colon = name.find(':');
    BotSettings settings;
    settings.entry = botEntryNamed(name.substr(0, colon));
    settings.budget = usualBudget;
    if (settings.entry == nullptr) {
        return std::nullopt;
    }
    bool budgetGiven = false;
    while (colon != std::string_view::npos) {
        const std::size_t next = name.find(':', colon + 1);
        const std::string_view part = name.substr(colon + 1, next - colon - 1);
        const auto setting = settingOf(part);
        if (!setting) {
            return std::nullopt;
        }
        const bool read = (settings.entry->reads & settingBit(*setting)) != 0;
        // A bare number for a bot without a budget is a bad budget, as ever.
        if (!read && refusal != nullptr && *setting != Setting::Budget) {
            *refusal = std::string(settings.entry->name) + " does not read " +
                       std::string(settingWord(*setting));
        }
        if (!read || !readPart(part, *setting, settings, budgetGiven)) {
            return std::nullopt;
        }
        colon = next;
    }
    return settings;
}

Bot newBot(BotSettings settings, std::uint64_t gameSeed, std::int32_t seat) {
    Bot bot{std::move(settings), {}, {}};
    reseat(bot, gameSeed, seat);
    return bot;
}

void reseat(Bot& bot, std::uint64_t gameSeed, std::int32_t seat) {
    assert(bot.settings.entry != nullptr && seat >= 0 && seat < maxPlayers);
    const std::uint64_t seed = deriveSeed(gameSeed, static_cast<std::uint64_t>(seat));
    const auto stream = static_cast<std::uint64_t>(bot.settings.stream);
    bot.random = seededRandom(stream == 0 ? seed : deriveSeed(seed, stream));
    bot.memory.reset();
}

DeckOrder deckOrderFor(const Bot& bot, const GameState& game) {
    if (bot.settings.entry->fair) {
        return {};
    }
    return DeckOrder(game.deck).subspan(static_cast<std::size_t>(game.nextCard));
}

TurnAction chooseAction(Bot& bot, const SeatView& view, DeckOrder order) {
    assert(!bot.settings.entry->fair || order.empty());
    const TurnAction action = bot.settings.entry->chooseAction(bot, view, order);
    assert(view.rowsFor(action) != 0);
    return action;
}

std::int32_t chooseRow(Bot& bot, const SeatView& view, TurnAction action, CardKind drawn,
                       DeckOrder order) {
    assert(view.rowsFor(action) != 0);
    assert(action != TurnAction::Draw || drawn != noCard);
    const std::int32_t row = bot.settings.entry->chooseRow(bot, view, action, drawn, order);
    assert(contains(view.rowsFor(action), row));
    return row;
}

ChosenMove decideAction(Bot& bot, const SeatView& view, DeckOrder order) {
    assert(!isProgram(bot.settings));
    ChosenMove move{chooseAction(bot, view, order), -1};
    if (move.action == TurnAction::Take) {
        move.row = chooseRow(bot, view, TurnAction::Take, noCard, order);
    }
    return move;
}

std::int32_t decidePlacement(Bot& bot, const SeatView& view, CardKind drawn, DeckOrder order) {
    return chooseRow(bot, view, TurnAction::Draw, drawn, order);
}

namespace {

ChosenMove decideOn(Bot& bot, const GameState& game, const SeatView& view) {
    const DeckOrder order = deckOrderFor(bot, game);
    ChosenMove move = decideAction(bot, view, order);
    if (move.action == TurnAction::Draw) {
        move.row = decidePlacement(bot, view, topCard(game), order);
    }
    return move;
}

} // namespace

ChosenMove decideMove(Bot& bot, const GameState& game, const PublicState& known) {
    return decideOn(bot, game, SeatView(game, known));
}

ChosenMove decideMove(Bot& bot, const GameState& game) {
    return decideOn(bot, game, SeatView(game));
}

const BotEntry programBot{
    "exec", "another program, asked over the pellaro-bot protocol", true, false, nullptr, nullptr};

} // namespace pellaro
