#include "bot.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cmath>
#include <utility>

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

// One ":part" of a searching bot's name: its budget, given once, or a
// setting's value.
bool readPart(std::string_view part, BotSettings& settings, bool& budgetGiven) {
    const std::size_t equals = part.find('=');
    if (equals == std::string_view::npos) {
        const auto budget = budgetIn(part);
        settings.budget = budget.value_or(0);
        const bool first = !budgetGiven;
        budgetGiven = true;
        return budget.has_value() && first;
    }
    const std::string_view key = part.substr(0, equals);
    const auto value = positiveIn(part.substr(equals + 1));
    if (!value || (key != "exploration" && key != "scale")) {
        return false;
    }
    (key == "exploration" ? settings.exploration : settings.marginScale) = *value;
    return true;
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

std::string botName(const BotSettings& settings, std::int32_t usualBudget) {
    assert(settings.entry != nullptr);
    if (isProgram(settings)) {
        return std::string(execPrefix) + settings.command;
    }
    std::string name(settings.entry->name);
    if (!settings.entry->searches) {
        return name;
    }
    if (settings.budget != usualBudget) {
        name += ':' + std::to_string(settings.budget);
    }
    if (settings.exploration != defaultExploration) {
        name += ":exploration=" + shortest(settings.exploration);
    }
    if (settings.marginScale != defaultMarginScale) {
        name += ":scale=" + shortest(settings.marginScale);
    }
    return name;
}

std::optional<BotSettings> botNamed(std::string_view name, std::int32_t usualBudget) {
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
        if (!settings.entry->searches || !readPart(part, settings, budgetGiven)) {
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
    bot.random = seededRandom(deriveSeed(gameSeed, static_cast<std::uint64_t>(seat)));
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
