#pragma once

#include "../console/console_view.h"
#include "../engine/game_state.h"
#include "game_loop.h"

#include <optional>

namespace pellaro {

// One person's turn at the console of the hot-seat game: the board, then the
// action and the row, each asked until the game allows it. Nothing when
// standard input ended first.
std::optional<ChosenMove> askPersonMove(const ConsoleView& view, const GameState& game);

} // namespace pellaro
