#include "scoring.h"

#include <algorithm>

namespace {

// A wild tops up the largest colour to six, then the second, then the third.
constexpr std::int32_t wildCeiling = 6;

} // namespace

std::int32_t pointsForCount(std::int32_t cards) {
    const std::int32_t last = static_cast<std::int32_t>(ScoringTable.size()) - 1;
    return ScoringTable[std::clamp(cards, 0, last)];
}

std::int32_t finalScore(const GameState& game, std::int32_t player) {
    const auto& counts = game.players[player].counts;
    std::array<std::int32_t, colourCount> colours{};
    std::copy_n(counts.begin(), colourCount, colours.begin());
    std::sort(colours.begin(), colours.end());

    for (std::int32_t wild = 0; wild < counts[Wild]; ++wild) {
        for (int position = colourCount - 1; position >= colourCount - 3; --position) {
            if (colours[position] < wildCeiling) {
                ++colours[position];
                break;
            }
        }
    }

    std::int32_t score = 0;
    for (int position = 0; position < colourCount - 3; ++position) {
        score -= pointsForCount(colours[position]);
    }
    for (int position = colourCount - 3; position < colourCount; ++position) {
        score += pointsForCount(colours[position]);
    }
    return score + 2 * counts[PlusTwo];
}
