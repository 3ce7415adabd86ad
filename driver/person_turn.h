#pragma once

#include "../console/console_view.h"
#include "../engine/game_state.h"

// One person's turn at the console: the board, then the action and the row,
// each asked until the game allows it, then the move. Sets `over` when the
// move ended the game; returns false, with nothing played, when standard
// input ended first.
bool playPersonTurn(const ConsoleView& view, GameState& game, bool& over);
