#include "summary.h"

#include <algorithm>
#include <span>

namespace {

void addLength(LengthTally& tally, std::int32_t value) {
    tally.sum += value;
    tally.least = std::min(tally.least, value);
    tally.most = std::max(tally.most, value);
}

void addLengths(LengthTally& total, const LengthTally& part) {
    total.sum += part.sum;
    total.least = std::min(total.least, part.least);
    total.most = std::max(total.most, part.most);
}

void addTally(Tally& total, const Tally& part) {
    total.games += part.games;
    total.shareUnits += part.shareUnits;
    total.outrightWins += part.outrightWins;
    total.scoreSum += part.scoreSum;
    total.placeHalves += part.placeHalves;
    total.shareSquares += part.shareSquares;
    total.dealShareSquares += part.dealShareSquares;
    total.dealScoreSquares += part.dealScoreSquares;
}

} // namespace

void addGame(Summary& summary, const GameOutcome& outcome, DealTotals& deal) {
    const std::int32_t n = outcome.players;
    const auto scores = std::span(outcome.scores).first(static_cast<std::size_t>(n));
    const std::int32_t top = *std::max_element(scores.begin(), scores.end());
    const std::int32_t bottom = *std::min_element(scores.begin(), scores.end());
    const auto winnerCount = std::count(scores.begin(), scores.end(), top);

    ++summary.games;
    summary.tiedGames += winnerCount > 1 ? 1 : 0;
    summary.spreadSum += top - bottom;
    addLength(summary.rounds, outcome.rounds);
    addLength(summary.cardsDrawn, outcome.cardsDrawn);
    addLength(summary.turns, outcome.turns);

    for (std::int32_t seat = 0; seat < n; ++seat) {
        const std::int32_t score = outcome.scores[seat];
        Tally played;
        played.games = 1;
        if (score == top) {
            played.shareUnits = shareUnit / winnerCount;
            played.outrightWins = winnerCount == 1 ? 1 : 0;
        }
        played.shareSquares = played.shareUnits * played.shareUnits;
        played.scoreSum = score;
        const auto above = std::count_if(scores.begin(), scores.end(),
                                         [score](std::int32_t other) { return other > score; });
        const auto level = std::count(scores.begin(), scores.end(), score);
        // Places above + 1 to above + level, whose mean is above + (level + 1) / 2.
        played.placeHalves = 2 * above + level + 1;
        addTally(summary.seats[seat], played);
        const std::int32_t bot = outcome.bots[seat];
        addTally(summary.bots[bot], played);
        deal.seatShares[seat] += played.shareUnits;
        deal.seatScores[seat] += score;
        deal.botShares[bot] += played.shareUnits;
        deal.botScores[bot] += score;
        const std::int32_t bin = std::clamp(score, lowestScore, highestScore) - lowestScore;
        ++summary.scoreCounts[bot][bin];
    }
}

void addSummary(Summary& total, const Summary& part) {
    total.deals += part.deals;
    total.games += part.games;
    total.tiedGames += part.tiedGames;
    total.spreadSum += part.spreadSum;
    addLengths(total.rounds, part.rounds);
    addLengths(total.cardsDrawn, part.cardsDrawn);
    addLengths(total.turns, part.turns);
    for (std::size_t i = 0; i < total.seats.size(); ++i) {
        addTally(total.seats[i], part.seats[i]);
        addTally(total.bots[i], part.bots[i]);
        for (std::size_t bin = 0; bin < total.scoreCounts[i].size(); ++bin) {
            total.scoreCounts[i][bin] += part.scoreCounts[i][bin];
        }
    }
}

void closeDeal(Summary& summary, const DealTotals& deal) {
    ++summary.deals;
    for (std::size_t i = 0; i < summary.seats.size(); ++i) {
        summary.seats[i].dealShareSquares += deal.seatShares[i] * deal.seatShares[i];
        summary.seats[i].dealScoreSquares += deal.seatScores[i] * deal.seatScores[i];
        summary.bots[i].dealShareSquares += deal.botShares[i] * deal.botShares[i];
        summary.bots[i].dealScoreSquares += deal.botScores[i] * deal.botScores[i];
    }
}
