#include "bot.h"

namespace pellaro {

// Plays any possible move: a baseline that every other bot must beat.
namespace {

TurnAction randomAction(Bot& bot, const SeatView& view, DeckOrder /*order*/) {
    const auto [draws, takes] = view.choices();
    const bool canDraw = draws != 0;
    const bool canTake = takes != 0;
    if (canDraw && canTake) {
        return nextBelow(bot.random, 2) == 0 ? TurnAction::Draw : TurnAction::Take;
    }
    return canDraw ? TurnAction::Draw : TurnAction::Take;
}

std::int32_t randomRow(Bot& bot, const SeatView& view, TurnAction action, CardKind /*drawn*/,
                       DeckOrder /*order*/) {
    const RowSet rows = view.rowsFor(action);
    return nthRow(rows, nextBelow(bot.random, rowCount(rows)));
}

} // namespace

extern const BotEntry randomBot{"random",
                                "a uniformly random possible action, then a random row",
                                true,
                                false,
                                randomAction,
                                randomRow,
                                settingBit(Setting::Stream)};

} // namespace pellaro
