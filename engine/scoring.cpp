#include "scoring.h"

#include <algorithm>
#include <cassert>

namespace pellaro {

std::int32_t pointsForCount(std::int32_t cards) {
    const std::int32_t last = static_cast<std::int32_t>(ScoringTable.size()) - 1;
    return ScoringTable[std::clamp(cards, 0, last)];
}

std::int32_t finalScore(const GameState& game, std::int32_t player) {
    assert(player >= 0 && player < game.numberOfPlayers);
    return tallyScore(pileTally(game.players[player].counts));
}

ScoreBreakdown scoreBreakdown(const PlayerState& player) {
    std::array<ColourScore, colourCount> colours{};
    for (int colour = 0; colour < colourCount; ++colour) {
        colours[colour].colour = static_cast<CardKind>(colour);
        colours[colour].cards = player.counts[colour];
    }
    std::stable_sort(colours.begin(), colours.end(),
                     [](const ColourScore& a, const ColourScore& b) { return a.cards > b.cards; });

    ScoreBreakdown breakdown;
    std::int32_t wilds = player.counts[Wild];
    for (std::size_t place = 0; place < breakdown.positive.size(); ++place) {
        ColourScore& colour = colours[place];
        colour.wilds = std::min(wilds, std::max(0, wildCeiling - colour.cards));
        wilds -= colour.wilds;
        colour.points = pointsForCount(colour.cards + colour.wilds);
        breakdown.positive[place] = colour;
    }
    breakdown.wildsLost = wilds;
    for (std::size_t place = 0; place < breakdown.negative.size(); ++place) {
        ColourScore& colour = colours[breakdown.positive.size() + place];
        colour.points = -pointsForCount(colour.cards);
        breakdown.negative[place] = colour;
    }
    breakdown.plusTwoCards = player.counts[PlusTwo];
    breakdown.plusTwoPoints = 2 * breakdown.plusTwoCards;
    breakdown.total = breakdown.plusTwoPoints;
    for (const ColourScore& colour : colours) {
        breakdown.total += colour.points;
    }
    return breakdown;
}

} // namespace pellaro
