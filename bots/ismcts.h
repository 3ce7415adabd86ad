#pragma once

#include "../engine/card.h"
#include "../engine/turn_rules.h"
#include "bot.h"
#include "seat_view.h"

#include <cstdint>

// Information-set Monte Carlo tree search with a single observer, the
// deciding seat. Every move of the game is seen by every player, so the tree
// is one of public histories: each iteration deals the unseen cards at
// random, and the card a Draw turns up leads to the branch for that card.
// Every player in the tree picks the move best for his own result. The
// budget is the number of iterations, each ending in one playout.
TurnAction ismctsAction(Bot& bot, const SeatView& view);

std::int32_t ismctsRow(Bot& bot, const SeatView& view, TurnAction action, CardKind drawn);
