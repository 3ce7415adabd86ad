#pragma once

#include "../engine/card.h"
#include "../engine/turn_rules.h"
#include "bot.h"
#include "seat_view.h"

#include <cstdint>

// Flat Monte Carlo: every choice is played on the same random deals of the
// unseen cards, each deal to the game's end by the playout policy, and the
// choice with the best mean result wins. The clairvoyant bot plays every
// playout on the real deck instead.
TurnAction monteCarloAction(Bot& bot, const SeatView& view);

std::int32_t monteCarloRow(Bot& bot, const SeatView& view, TurnAction action, CardKind drawn);
