#include "monte_carlo.h"

#include "playout.h"
#include "view_rules.h"

#include <algorithm>
#include <array>
#include <bit>

namespace {

// A move to try first; a Draw chosen before its card is known has no row
// yet and is placed as the playout policy places it.
struct Choice {
    TurnAction action = TurnAction::Draw;
    std::int32_t row = -1;
};

constexpr std::size_t mostChoices = maxPlayers + 1;

struct Choices {
    std::array<Choice, mostChoices> list{};
    std::int32_t count = 0;
};

void addRows(Choices& choices, TurnAction action, RowSet rows) {
    for (; rows != 0; rows &= rows - 1) {
        choices.list[choices.count++] = Choice{action, std::countr_zero(rows)};
    }
}

// The root of every playout: the table as the seat sees it and, for the
// clairvoyant bot, the real deck. Returns the first deck position to deal.
std::int32_t prepareRoot(const Bot& bot, const SeatView& view, CardKind drawn, PlayoutState& root,
                         UnseenCards& unseen) {
    root = playoutState(view);
    unseen = unseenCards(view.unseen);
    std::int32_t from = root.nextCard;
    if (bot.settings.strategy == Strategy::Clairvoyant && view.undrawnOrder) {
        std::transform(view.undrawnOrder->begin(), view.undrawnOrder->end(),
                       root.deck.begin() + from,
                       [](CardKind card) { return static_cast<std::uint8_t>(card); });
        unseen.count = 0;
        return deckSize;
    }
    if (drawn != noCard) {
        setAside(unseen, drawn);
        root.deck[from++] = static_cast<std::uint8_t>(drawn);
    }
    return from;
}

std::int32_t bestChoice(Bot& bot, const SeatView& view, const Choices& choices, CardKind drawn) {
    if (choices.count <= 1) {
        return 0;
    }
    PlayoutState root;
    UnseenCards unseen;
    const std::int32_t from = prepareRoot(bot, view, drawn, root, unseen);
    const BotSettings& settings = bot.settings;
    const std::int32_t deals = std::max(1, settings.budget / choices.count);
    std::array<double, mostChoices> totals{};
    for (std::int32_t round = 0; round < deals; ++round) {
        PlayoutState dealt = root;
        deal(dealt, unseen, from, bot.random);
        for (std::int32_t index = 0; index < choices.count; ++index) {
            PlayoutState state = dealt;
            const Choice& choice = choices.list[index];
            const std::int32_t row =
                choice.row >= 0 ? choice.row : policyPlacement(state, settings.policy, bot.random);
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
    Choices choices;
    if (allowedRows(view, TurnAction::Draw) != 0) {
        choices.list[choices.count++] = Choice{};
    }
    addRows(choices, TurnAction::Take, allowedRows(view, TurnAction::Take));
    return choices.list[bestChoice(bot, view, choices, noCard)].action;
}

std::int32_t monteCarloRow(Bot& bot, const SeatView& view, TurnAction action, CardKind drawn) {
    Choices choices;
    addRows(choices, action, allowedRows(view, action));
    return choices.list[bestChoice(bot, view, choices, action == TurnAction::Draw ? drawn : noCard)]
        .row;
}
