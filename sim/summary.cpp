#include "summary.h"

#include "engine/results.h"

#include <algorithm>
#include <cassert>
#include <iterator>
#include <numeric>
#include <span>

namespace pellaro {

std::int32_t gamesPerDeal(const SimConfig& config) {
    return config.rotate ? config.players : 1;
}

const BotSettings& botOfSeat(const SimConfig& config, std::int32_t rotation, std::int32_t seat) {
    return config.seats[static_cast<std::size_t>((seat + rotation) % config.players)];
}

std::vector<BotSettings> distinctBots(const SimConfig& config) {
    std::vector<BotSettings> bots;
    for (const BotSettings& bot : config.seats) {
        if (std::find(bots.begin(), bots.end(), bot) == bots.end()) {
            bots.push_back(bot);
        }
    }
    return bots;
}

std::int32_t botIndex(const SimConfig& config, const BotSettings& bot) {
    // Counted in place rather than through distinctBots: every game asks, and
    // the games' loop allocates nothing of its own.
    std::int32_t index = 0;
    for (auto seat = config.seats.begin(); seat != config.seats.end(); ++seat) {
        if (*seat == bot) {
            return index;
        }
        if (std::find(config.seats.begin(), seat, *seat) == seat) {
            ++index;
        }
    }
    return index;
}

std::optional<BotSettings> botCalled(const std::string& name, std::int32_t budget,
                                     std::string& error) {
    std::string refusal;
    auto settings = botNamed(name, budget, &refusal);
    if (settings) {
        return settings;
    }
    if (!refusal.empty()) {
        error = refusal;
    } else if (botEntryNamed(name.substr(0, name.find(':'))) == nullptr) {
        error = name.starts_with(execPrefix)
                    ? "'" + name + "' names no program; write exec: and its command"
                    : "unknown bot '" + name + "'; the bots are " + botNameList() +
                          ", or exec:COMMAND for another program";
    } else {
        error = "bad budget in '" + name +
                "'; a searching bot may take one from 1 to 10^8, as in montecarlo:200, and "
                "settings such as ismcts:5000:exploration=0.3; the others none";
    }
    return std::nullopt;
}

std::string botList(const SimConfig& config) {
    std::string list;
    for (const BotSettings& bot : config.seats) {
        if (!list.empty()) {
            list += ',';
        }
        list += botName(bot, config.budget);
    }
    return list;
}

bool joinCoverage(Coverage& total, const Coverage& part) {
    Coverage joined = total;
    std::copy_if(part.begin(), part.end(), std::back_inserter(joined),
                 [](const DealRange& range) { return range.first < range.end; });
    std::sort(joined.begin(), joined.end(),
              [](const DealRange& a, const DealRange& b) { return a.first < b.first; });
    Coverage merged;
    for (const DealRange& range : joined) {
        if (!merged.empty() && range.first < merged.back().end) {
            return false;
        }
        if (!merged.empty() && range.first == merged.back().end) {
            merged.back().end = range.end;
        } else {
            merged.push_back(range);
        }
    }
    total = merged;
    return true;
}

namespace {

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

// One seat's part of one game: its share of the win (a tie among k gives
// each 1/k), whether it won outright, its score and its place. The one
// place where the simulator decides who won.
struct SeatResult {
    std::int64_t shareUnits = 0;
    std::int64_t outrightWins = 0;
    std::int64_t score = 0;
    std::int64_t placeHalves = 0;
};

SeatResult seatResult(const GameOutcome& outcome, const Standings& results, std::int32_t seat) {
    const auto scores = std::span(outcome.scores).first(static_cast<std::size_t>(outcome.players));
    const std::int32_t score = outcome.scores[seat];
    SeatResult result;
    // A share of the win in whole units, so that tallies add up exactly.
    if (isWinner(results, seat)) {
        result.shareUnits = shareUnit / results.winnerCount;
        result.outrightWins = results.winnerCount == 1 ? 1 : 0;
    }
    result.score = score;
    std::int64_t above = 0;
    std::int64_t level = 0;
    for (const std::int32_t other : scores) {
        above += other > score ? 1 : 0;
        level += other == score ? 1 : 0;
    }
    // Places above + 1 to above + level, whose mean is above + (level + 1) / 2.
    result.placeHalves = 2 * above + level + 1;
    return result;
}

// Adds one game's result to a seat's or a bot's tally.
void addResult(Tally& tally, const SeatResult& result) {
    ++tally.games;
    tally.shareUnits += result.shareUnits;
    tally.outrightWins += result.outrightWins;
    tally.scoreSum += result.score;
    tally.placeHalves += result.placeHalves;
    tally.shareSquares += result.shareUnits * result.shareUnits;
}

} // namespace

void addGame(Summary& summary, const GameOutcome& outcome, DealTotals& deal) {
    const auto scores = std::span(outcome.scores).first(static_cast<std::size_t>(outcome.players));
    const auto [bottom, top] = std::minmax_element(scores.begin(), scores.end());
    const Standings results = standingsOf(scores);
    ++summary.games;
    summary.tiedGames += results.winnerCount > 1 ? 1 : 0;
    summary.spreadSum += *top - *bottom;
    addLengths(summary.rounds, {outcome.rounds, outcome.rounds, outcome.rounds});
    addLengths(summary.cardsDrawn, {outcome.cardsDrawn, outcome.cardsDrawn, outcome.cardsDrawn});
    addLengths(summary.turns, {outcome.turns, outcome.turns, outcome.turns});
    for (std::int32_t seat = 0; seat < outcome.players; ++seat) {
        const SeatResult played = seatResult(outcome, results, seat);
        const std::int32_t bot = outcome.bots[seat];
        addResult(summary.seats[seat], played);
        addResult(summary.bots[bot], played);
        deal.seatShares[seat] += played.shareUnits;
        deal.seatScores[seat] += played.score;
        deal.botShares[bot] += played.shareUnits;
        deal.botScores[bot] += played.score;
        const std::int32_t bin =
            std::clamp(outcome.scores[seat], lowestScore, highestScore) - lowestScore;
        ++summary.scoreCounts[bot][bin];
    }
    if (summary.orders) {
        assert(deal.games < maxPlayers);
        deal.orders[static_cast<std::size_t>(deal.games++)] = finishingOrder(outcome);
    }
}

Summary emptySummary(const SimConfig& config) {
    Summary summary;
    if (config.countOrders) {
        summary.orders.emplace();
    }
    return summary;
}

OrderCode finishingOrder(const GameOutcome& outcome) {
    std::array<std::int32_t, maxPlayers> seats{};
    const auto order = std::span(seats).first(static_cast<std::size_t>(outcome.players));
    std::iota(order.begin(), order.end(), 0);
    const auto before = [&outcome](std::int32_t a, std::int32_t b) {
        const std::int32_t scoreA = outcome.scores[a];
        const std::int32_t scoreB = outcome.scores[b];
        return scoreA != scoreB ? scoreA > scoreB : outcome.bots[a] < outcome.bots[b];
    };
    // Five seats at most: an insertion sort.
    for (std::size_t i = 1; i < order.size(); ++i) {
        for (std::size_t j = i; j > 0 && before(order[j], order[j - 1]); --j) {
            std::swap(order[j], order[j - 1]);
        }
    }
    OrderCode code = 0;
    for (std::size_t place = 0; place < order.size(); ++place) {
        const std::int32_t seat = order[place];
        const bool tied = place > 0 && outcome.scores[order[place - 1]] == outcome.scores[seat];
        code |= (static_cast<OrderCode>(outcome.bots[seat]) | (tied ? tiedWithPlaceBefore : 0))
                << (4 * place);
    }
    return code;
}

std::vector<Place> placesOf(OrderCode code, std::int32_t players) {
    std::vector<Place> places;
    for (std::int32_t place = 0; place < players; ++place) {
        const OrderCode nibble = (code >> (4 * place)) & 15;
        places.push_back(
            Place{static_cast<std::int32_t>(nibble & 7), (nibble & tiedWithPlaceBefore) != 0});
    }
    return places;
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
    if (part.orders) {
        OrderCounts& orders = total.orders ? *total.orders : total.orders.emplace();
        for (const auto& [code, games] : part.orders->games) {
            orders.games[code] += games;
        }
        for (const auto& [pair, count] : part.orders->pairsInDeals) {
            orders.pairsInDeals[pair] += count;
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
    if (summary.orders) {
        const auto orders = std::span(deal.orders).first(static_cast<std::size_t>(deal.games));
        for (std::size_t i = 0; i < orders.size(); ++i) {
            ++summary.orders->games[orders[i]];
            for (std::size_t j = i + 1; j < orders.size(); ++j) {
                ++summary.orders->pairsInDeals[std::minmax(orders[i], orders[j])];
            }
        }
    }
}

namespace {

std::string named(const std::string& field, std::int64_t value) {
    return "counts." + field + " (" + std::to_string(value) + ")";
}

bool within(std::int64_t value, std::int64_t least, std::int64_t most) {
    return least <= value && value <= most;
}

// One seat's or bot's tally of `games` games, `perDeal` of them in each deal.
std::string tallyContradiction(const Tally& tally, const std::string& name, std::int64_t games,
                               std::int64_t perDeal, std::int32_t players) {
    const std::int64_t deals = games / perDeal;
    const std::int64_t widest = std::int64_t{-lowestScore} * perDeal;
    const auto fault = [&name](const char* field, std::int64_t value) {
        return named(name + "." + field, value);
    };
    // In this order, so that each bound is computed from counts already in range.
    if (tally.games != games) {
        return fault("games", tally.games);
    }
    if (!within(tally.shareUnits, 0, shareUnit * games)) {
        return fault("shareUnits", tally.shareUnits);
    }
    if (!within(tally.outrightWins, 0, tally.shareUnits / shareUnit)) {
        return fault("outrightWins", tally.outrightWins);
    }
    if (!within(tally.scoreSum, std::int64_t{lowestScore} * games,
                std::int64_t{highestScore} * games)) {
        return fault("scoreSum", tally.scoreSum);
    }
    if (!within(tally.placeHalves, 2 * games, std::int64_t{2} * players * games)) {
        return fault("placeHalves", tally.placeHalves);
    }
    // A game's share units are 0 or 60/k for k winners: its square lies
    // between 12 and 60 times it.
    if (!within(tally.shareSquares, 12 * tally.shareUnits, shareUnit * tally.shareUnits)) {
        return fault("shareSquares", tally.shareSquares);
    }
    if (!within(tally.dealShareSquares, 0, shareUnit * perDeal * tally.shareUnits)) {
        return fault("dealShareSquares", tally.dealShareSquares);
    }
    if (!within(tally.dealScoreSquares, 0, widest * widest * deals)) {
        return fault("dealScoreSquares", tally.dealScoreSquares);
    }
    return {};
}

std::string lengthContradiction(const LengthTally& tally, const char* name, std::int64_t games) {
    // No game lasts longer than this many rounds, cards or turns.
    constexpr std::int32_t longest = 100'000;
    const bool holds = games == 0 ? tally.sum == 0
                                  : within(tally.least, 0, tally.most) && tally.most <= longest &&
                                        within(tally.sum, tally.least * games, tally.most * games);
    return holds ? std::string() : named(std::string(name) + ".sum", tally.sum);
}

} // namespace

std::string contradiction(const Summary& summary, std::int32_t players, std::int64_t gamesPerDeal,
                          const std::vector<std::int32_t>& botSeats) {
    const std::int64_t games = summary.games;
    if (!within(summary.deals, 0, std::int64_t{1} << 40) || games != summary.deals * gamesPerDeal) {
        return named("games", games);
    }
    if (!within(summary.tiedGames, 0, games)) {
        return named("tiedGames", summary.tiedGames);
    }
    if (!within(summary.spreadSum, 0, std::int64_t{highestScore - lowestScore} * games)) {
        return named("spreadSum", summary.spreadSum);
    }
    for (const auto& [tally, name] :
         {std::pair{&summary.rounds, "rounds"}, std::pair{&summary.cardsDrawn, "cardsDrawn"},
          std::pair{&summary.turns, "turns"}}) {
        if (std::string found = lengthContradiction(*tally, name, games); !found.empty()) {
            return found;
        }
    }
    std::int64_t seatShares = 0;
    std::int64_t seatScores = 0;
    for (std::int32_t seat = 0; seat < players; ++seat) {
        const Tally& tally = summary.seats[seat];
        const std::string name = "seats[" + std::to_string(seat) + "]";
        if (std::string found = tallyContradiction(tally, name, games, gamesPerDeal, players);
            !found.empty()) {
            return found;
        }
        seatShares += tally.shareUnits;
        seatScores += tally.scoreSum;
        // Every game shares out exactly one win.
        if (seat + 1 == players && seatShares != shareUnit * games) {
            return named(name + ".shareUnits", tally.shareUnits);
        }
    }
    std::int64_t botScores = 0;
    for (std::size_t bot = 0; bot < botSeats.size(); ++bot) {
        const Tally& tally = summary.bots[bot];
        const std::string name = "bots[" + std::to_string(bot) + "]";
        if (std::string found = tallyContradiction(tally, name, botSeats[bot] * games,
                                                   botSeats[bot] * gamesPerDeal, players);
            !found.empty()) {
            return found;
        }
        std::int64_t counted = 0;
        std::int64_t scored = 0;
        for (std::int32_t bin = 0; bin < scoreBins; ++bin) {
            const std::int64_t count = summary.scoreCounts[bot][bin];
            if (!within(count, 0, tally.games)) {
                return named("scoreCounts[" + std::to_string(bot) + "]", count);
            }
            counted += count;
            scored += count * (bin + lowestScore);
        }
        if (counted != tally.games || scored != tally.scoreSum) {
            return named("scoreCounts[" + std::to_string(bot) + "]", counted);
        }
        botScores += tally.scoreSum;
    }
    return botScores == seatScores ? std::string()
                                   : named("bots[0].scoreSum", summary.bots[0].scoreSum);
}

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

} // namespace pellaro
