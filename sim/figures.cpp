#include "figures.h"

#include <algorithm>

namespace {

TallyFigures tallyFigures(const Tally& tally, std::int64_t deals) {
    TallyFigures figures;
    figures.games = tally.games;
    if (tally.games == 0 || deals == 0) {
        return figures;
    }
    // Every deal gives a seat or a bot the same number of games.
    const std::int64_t perDeal = tally.games / deals;
    const auto games = static_cast<double>(tally.games);
    figures.winShare = static_cast<double>(tally.shareUnits) / (games * shareUnit);
    const auto unit = static_cast<double>(shareUnit);
    const double gameMeanSquare = static_cast<double>(tally.shareSquares) / (unit * unit) / games;
    const double dealUnits = unit * static_cast<double>(perDeal);
    const double dealMeanSquare = static_cast<double>(tally.dealShareSquares) /
                                  (dealUnits * dealUnits) / static_cast<double>(deals);
    figures.winInterval =
        shareInterval(figures.winShare, gameMeanSquare, dealMeanSquare, deals, perDeal);
    figures.outrightWins = tally.outrightWins;
    figures.meanScore = meanOf(tally.scoreSum, tally.games);
    figures.scoreInterval = meanInterval(tally.scoreSum, tally.dealScoreSquares, deals, perDeal);
    figures.meanPlace = static_cast<double>(tally.placeHalves) / (2 * games);
    return figures;
}

LengthFigures lengthFigures(const LengthTally& tally, std::int64_t games) {
    if (games == 0) {
        return LengthFigures{};
    }
    return LengthFigures{meanOf(tally.sum, games), tally.least, tally.most};
}

} // namespace

Figures figuresOf(const SimConfig& config, const Summary& summary) {
    Figures figures;
    for (std::int32_t seat = 0; seat < config.players; ++seat) {
        figures.seats.push_back(tallyFigures(summary.seats[seat], summary.deals));
    }
    const auto botCount = distinctBots(config).size();
    for (std::size_t bot = 0; bot < botCount; ++bot) {
        figures.bots.push_back(tallyFigures(summary.bots[bot], summary.deals));
    }
    if (summary.games == 0) {
        return figures;
    }
    const double fair = 1.0 / config.players;
    const TallyFigures& first = figures.seats.front();
    figures.seatsComparable = config.rotate || std::all_of(config.seats.begin(), config.seats.end(),
                                                           [&config](const BotSettings& bot) {
                                                               return bot == config.seats.front();
                                                           });
    figures.seatOneAdvantage = first.winShare - fair;
    if (first.winInterval) {
        figures.seatOneInterval =
            Interval{first.winInterval->low - fair, first.winInterval->high - fair};
    }
    const auto [least, most] = std::minmax_element(
        figures.seats.begin(), figures.seats.end(),
        [](const TallyFigures& a, const TallyFigures& b) { return a.winShare < b.winShare; });
    figures.balance = 1 - (most->winShare - least->winShare);
    figures.rounds = lengthFigures(summary.rounds, summary.games);
    figures.cardsDrawn = lengthFigures(summary.cardsDrawn, summary.games);
    figures.turns = lengthFigures(summary.turns, summary.games);
    figures.tieRate = meanOf(summary.tiedGames, summary.games);
    figures.meanSpread = meanOf(summary.spreadSum, summary.games);
    return figures;
}
