#include "game_results.h"

#include "../engine/results.h"

#include <cstdint>
#include <vector>

namespace pellaro {

void showResults(const ConsoleView& view, const GameState& game) {
    const std::vector<std::int32_t> scores = allScores(game);
    const std::int32_t top = topScore(game, scores);
    view.showScores(scores);
    view.showWinners(top, winners(game, top));
}

} // namespace pellaro
