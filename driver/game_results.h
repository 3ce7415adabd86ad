#pragma once

#include "../console/console_view.h"
#include "../engine/game_state.h"

namespace pellaro {

// The end of a finished game at the console: every player's score, then the
// winner or winners.
void showResults(const ConsoleView& view, const GameState& game);

} // namespace pellaro
