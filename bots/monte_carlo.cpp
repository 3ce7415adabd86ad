#include "monte_carlo.h"

#include "playout.h"
#include "playout_state.h"
#include "view_rules.h"

#include <algorithm>
#include <array>
#include <bit>

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
void addRows(Choices& choices, const PlayoutState& root, TurnAction action, RowSet rows) {
    for (rows = distinctRows(root, rows); rows != 0; rows &= rows - 1) {
        choices.list[choices.count++] = Choice{action, std::countr_zero(rows)};
    }
}

// The start of every playout: the table as the seat sees it, with the card
// just drawn on top of the deck when there is one, and the unseen cards to
// deal below it. The clairvoyant bot gets the real deck instead, and nothing
// to deal.
struct Root {
    PlayoutState state;
    UnseenCards unseen;
    std::int32_t dealFrom = 0;
};

Root rootOf(const Bot& bot, const SeatView& view, CardKind drawn) {
    Root root{playoutState(view), unseenCards(view.unseen), view.cardsDrawn};
    if (bot.settings.strategy == Strategy::Clairvoyant && view.undrawnOrder) {
        std::transform(view.undrawnOrder->begin(), view.undrawnOrder->end(),
                       root.state.deck.begin() + root.dealFrom,
                       [](CardKind card) { return static_cast<std::uint8_t>(card); });
        root.unseen.count = 0;
        root.dealFrom = deckSize;
    } else if (drawn != noCard) {
        setAside(root.unseen, drawn);
        root.state.deck[root.dealFrom++] = static_cast<std::uint8_t>(drawn);
    }
    return root;
}

// Every choice is played on the same deals, so that the luck of the deal
// weighs on all of them alike.
std::int32_t bestChoice(Bot& bot, const SeatView& view, const Root& root, const Choices& choices) {
    if (choices.count <= 1) {
        return 0;
    }
    const BotSettings& settings = bot.settings;
    const std::int32_t deals = std::max(1, settings.budget / choices.count);
    std::array<double, mostChoices> totals{};
    for (std::int32_t round = 0; round < deals; ++round) {
        PlayoutState dealt = root.state;
        deal(dealt, root.unseen, root.dealFrom, bot.random);
        for (std::int32_t index = 0; index < choices.count; ++index) {
            PlayoutState state = dealt;
            const Choice& choice = choices.list[index];
            const std::int32_t row = choice.row >= 0 ? choice.row : placement(state, bot.random);
            if (!playMove(state, choice.action, row)) {
                playOut(state, settings.policy, bot.random);
            }
            totals[index] += outcomes(state, settings.objective)[view.seat];
        }
    }
    return static_cast<std::int32_t>(
        std::max_element(totals.begin(), totals.begin() + choices.count) - totals.begin());
}

} // namespace

TurnAction monteCarloAction(Bot& bot, const SeatView& view) {
    const Root root = rootOf(bot, view, noCard);
    Choices choices;
    if (drawRows(root.state) != 0) {
        choices.list[choices.count++] = Choice{};
    }
    addRows(choices, root.state, TurnAction::Take, takeRows(root.state));
    return choices.list[bestChoice(bot, view, root, choices)].action;
}

std::int32_t monteCarloRow(Bot& bot, const SeatView& view, TurnAction action, CardKind drawn) {
    const Root root = rootOf(bot, view, action == TurnAction::Draw ? drawn : noCard);
    Choices choices;
    addRows(choices, root.state, action,
            action == TurnAction::Draw ? drawRows(root.state) : takeRows(root.state));
    return choices.list[bestChoice(bot, view, root, choices)].row;
}
