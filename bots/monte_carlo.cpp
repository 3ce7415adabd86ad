#include "bot.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <numeric>
#include <span>

namespace pellaro {

// Flat Monte Carlo: every choice is played on the same random deals of the
// unseen cards, each deal to the game's end by the playout policy, and the
// choice with the best mean result wins. The clairvoyant bot plays every
// playout on the real deck instead.
namespace {

// A move to try first; a Draw chosen before its card is known has no row
// yet and goes onto a random row, as in the playouts.
struct Choice {
    TurnAction action = TurnAction::Draw;
    std::int32_t row = -1;
};

constexpr std::size_t mostChoices = maxPlayers + 1;

struct Choices {
    std::array<Choice, mostChoices> list{};
    std::int32_t count = 0;
};

// Rows that hold the same cards offer the same move: one of them is tried.
void addRows(Choices& choices, const GameState& root, TurnAction action, RowSet rows) {
    for (rows = distinctRows(root, rows); rows != 0; rows &= rows - 1) {
        choices.list[choices.count++] = Choice{action, lowestRow(rows)};
    }
}

// The start of every playout: the table as the seat sees it, with the card
// just drawn on top of the deck when there is one, and the unseen cards to
// deal below it. The clairvoyant bot gets the real deck instead, and nothing
// to deal.
struct Root {
    GameState state;
    UnseenCards unseen;
    std::int32_t dealFrom = 0;
};

Root rootOf(const SeatView& view, CardKind drawn, DeckOrder order) {
    Root root{view.table(), unseenCards(view.unseen()), view.cardsDrawn()};
    if (!order.empty()) {
        std::copy(order.begin(), order.end(), root.state.deck.begin() + root.dealFrom);
        root.unseen.count = 0;
        root.dealFrom = deckSize;
    } else if (drawn != noCard) {
        setAside(root.unseen, drawn);
        root.state.deck[root.dealFrom++] = drawn;
    }
    return root;
}

// Plays every choice still in the race on `deals` more deals, the same
// deals for all of them, so that the luck of the deal weighs on all alike.
void playDeals(Bot& bot, const SeatView& view, const Root& root, const Choices& choices,
               std::span<const std::int32_t> racing, std::int32_t deals,
               std::array<double, mostChoices>& totals) {
    const BotSettings& settings = bot.settings;
    for (std::int32_t round = 0; round < deals; ++round) {
        GameState dealt = root.state;
        deal(dealt, root.unseen, root.dealFrom, bot.random);
        for (const std::int32_t index : racing) {
            GameState state = dealt;
            const Choice& choice = choices.list[index];
            const std::int32_t row = choice.row >= 0 ? choice.row : placement(state, bot.random);
            if (!applyMove(state, choice.action, row)) {
                playOut(state, settings.policy, bot.random);
            }
            totals[index] += outcomes(state, settings.objective)[view.seat()];
        }
    }
}

// Successive halving: the budget is spent in rounds, one per halving, and
// after each round the worse half of the choices drops out, so that the
// playouts go where the choice is close. The survivors have all been played
// on the same deals, so their totals compare. An even allocation is one
// round that none leaves. Ties go to a random choice, or the first.
std::int32_t bestChoice(Bot& bot, const SeatView& view, const Root& root, const Choices& choices) {
    if (choices.count <= 1) {
        return 0;
    }
    std::array<std::int32_t, mostChoices> order{};
    std::iota(order.begin(), order.begin() + choices.count, 0);
    std::int32_t racing = choices.count;
    std::int32_t rounds = 0;
    for (std::int32_t left = racing; left > 1; left = (left + 1) / 2) {
        ++rounds;
    }
    if (bot.settings.allocation == Allocation::Even) {
        rounds = 1;
    }
    std::array<double, mostChoices> totals{};
    const std::int32_t budget = bot.settings.budget;
    std::int32_t finalists = racing;
    for (std::int32_t round = 0; round < rounds; ++round) {
        finalists = racing;
        const std::int32_t deals = std::max(1, budget / (rounds * racing));
        playDeals(bot, view, root, choices,
                  std::span<const std::int32_t>(order.data(), static_cast<std::size_t>(racing)),
                  deals, totals);
        std::stable_sort(
            order.begin(), order.begin() + racing,
            [&totals](std::int32_t a, std::int32_t b) { return totals[a] > totals[b]; });
        racing = round + 1 == rounds ? 1 : (racing + 1) / 2;
    }
    std::int32_t tied = 1;
    while (tied < finalists && totals[order[tied]] == totals[order[0]]) {
        ++tied;
    }
    if (bot.settings.ties == Ties::First) {
        return *std::min_element(order.begin(), order.begin() + tied);
    }
    return order[tied == 1 ? 0 : nextBelow(bot.random, tied)];
}

TurnAction monteCarloAction(Bot& bot, const SeatView& view, DeckOrder order) {
    const Root root = rootOf(view, noCard, order);
    Choices choices;
    if (allowedRows(root.state, TurnAction::Draw) != 0) {
        choices.list[choices.count++] = Choice{};
    }
    addRows(choices, root.state, TurnAction::Take, allowedRows(root.state, TurnAction::Take));
    return choices.list[bestChoice(bot, view, root, choices)].action;
}

std::int32_t monteCarloRow(Bot& bot, const SeatView& view, TurnAction action, CardKind drawn,
                           DeckOrder order) {
    const Root root = rootOf(view, action == TurnAction::Draw ? drawn : noCard, order);
    Choices choices;
    addRows(choices, root.state, action, allowedRows(root.state, action));
    return choices.list[bestChoice(bot, view, root, choices)].row;
}

// Its margins are not scaled, nor is there a tree to explore or keep.
constexpr SettingSet flatReads = settingBit(Setting::Budget) | settingBit(Setting::Objective) |
                                 settingBit(Setting::Playouts) | settingBit(Setting::Ties) |
                                 settingBit(Setting::Allocation) | settingBit(Setting::Stream);

} // namespace

extern const BotEntry monteCarloBot{
    "montecarlo",
    "flat Monte Carlo: each choice played out on the same random deals",
    true,
    true,
    monteCarloAction,
    monteCarloRow,
    flatReads};
// Reads the real deck order: a ceiling for measurements, never a player's opponent.
extern const BotEntry clairvoyantBot{"clairvoyant",
                                     "flat Monte Carlo on the real deck order: a ceiling, not fair",
                                     false,
                                     true,
                                     monteCarloAction,
                                     monteCarloRow,
                                     flatReads};

} // namespace pellaro
