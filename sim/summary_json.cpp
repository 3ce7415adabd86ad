#include "summary_json.h"

#include "figures.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::ordered_json;

constexpr std::string_view programName = "pellaro-sim";
constexpr std::int32_t formatVersion = 1;

Json intervalJson(const Interval& interval) {
    return Json::array({interval.low, interval.high});
}

Json tallyFiguresJson(const TallyFigures& figures) {
    Json json;
    json["games"] = figures.games;
    json["winShare"] = figures.winShare;
    json["winShareInterval"] = intervalJson(figures.winInterval);
    json["outrightWins"] = figures.outrightWins;
    json["meanScore"] = figures.meanScore;
    json["meanScoreInterval"] = intervalJson(figures.scoreInterval);
    json["meanPlace"] = figures.meanPlace;
    return json;
}

Json lengthJson(const LengthFigures& figures) {
    return Json{{"mean", figures.mean}, {"least", figures.least}, {"most", figures.most}};
}

Json configurationJson(const SimConfig& config) {
    Json bots = Json::array();
    std::transform(config.seats.begin(), config.seats.end(), std::back_inserter(bots),
                   [&config](const BotSettings& bot) { return botNameIn(config, bot); });
    return Json{{"players", config.players}, {"bots", bots},
                {"seed", config.seed},       {"deals", config.deals},
                {"rotate", config.rotate},   {"gamesPerDeal", gamesPerDeal(config)},
                {"budget", config.budget}};
}

Json coverageJson(const SimResults& results) {
    Json ranges = Json::array();
    std::transform(results.coverage.begin(), results.coverage.end(), std::back_inserter(ranges),
                   [](const DealRange& range) {
                       return Json::array({range.first, range.end});
                   });
    return Json{{"deals", ranges},
                {"complete", coversAll(results.coverage, results.config)},
                {"interrupted", results.interrupted}};
}

Json resultsJson(const SimResults& results) {
    const SimConfig& config = results.config;
    const Figures figures = figuresOf(config, results.summary);
    Json seats = Json::array();
    for (std::size_t seat = 0; seat < figures.seats.size(); ++seat) {
        Json json{{"seat", seat + 1}};
        json["bot"] = config.rotate ? "every bot in turn" : botNameIn(config, config.seats[seat]);
        json.update(tallyFiguresJson(figures.seats[seat]));
        seats.push_back(json);
    }
    Json bots = Json::array();
    const std::vector<BotSettings> distinct = distinctBots(config);
    for (std::size_t bot = 0; bot < figures.bots.size(); ++bot) {
        Json json{{"bot", botNameIn(config, distinct[bot])},
                  {"readsDeck", !distinct[bot].entry->fair}};
        json.update(tallyFiguresJson(figures.bots[bot]));
        bots.push_back(json);
    }
    Json json;
    json["games"] = results.summary.games;
    json["seats"] = seats;
    json["bots"] = bots;
    json["seatOneAdvantage"] = Json{{"value", figures.seatOneAdvantage},
                                    {"interval", intervalJson(figures.seatOneInterval)}};
    json["balance"] = figures.balance;
    json["rounds"] = lengthJson(figures.rounds);
    json["cardsDrawn"] = lengthJson(figures.cardsDrawn);
    json["turns"] = lengthJson(figures.turns);
    json["tieRate"] = figures.tieRate;
    json["meanScoreSpread"] = figures.meanSpread;
    return json;
}

Json tallyJson(const Tally& tally) {
    return Json{{"games", tally.games},
                {"shareUnits", tally.shareUnits},
                {"outrightWins", tally.outrightWins},
                {"scoreSum", tally.scoreSum},
                {"placeHalves", tally.placeHalves},
                {"shareSquares", tally.shareSquares},
                {"dealShareSquares", tally.dealShareSquares},
                {"dealScoreSquares", tally.dealScoreSquares}};
}

Json lengthTallyJson(const LengthTally& tally) {
    return Json{{"sum", tally.sum}, {"least", tally.least}, {"most", tally.most}};
}

Json countsJson(const SimResults& results) {
    const Summary& summary = results.summary;
    const auto seatCount = static_cast<std::size_t>(results.config.players);
    const std::size_t botCount = distinctBots(results.config).size();
    Json seats = Json::array();
    for (std::size_t seat = 0; seat < seatCount; ++seat) {
        seats.push_back(tallyJson(summary.seats[seat]));
    }
    Json bots = Json::array();
    Json scores = Json::array();
    for (std::size_t bot = 0; bot < botCount; ++bot) {
        bots.push_back(tallyJson(summary.bots[bot]));
        scores.push_back(summary.scoreCounts[bot]);
    }
    Json json;
    json["shareUnit"] = shareUnit;
    json["deals"] = summary.deals;
    json["games"] = summary.games;
    json["tiedGames"] = summary.tiedGames;
    json["spreadSum"] = summary.spreadSum;
    json["rounds"] = lengthTallyJson(summary.rounds);
    json["cardsDrawn"] = lengthTallyJson(summary.cardsDrawn);
    json["turns"] = lengthTallyJson(summary.turns);
    json["seats"] = seats;
    json["bots"] = bots;
    json["lowestScore"] = lowestScore;
    json["scoreCounts"] = scores;
    return json;
}

// The pretty printer puts every item of a list on a line of its own; a score
// histogram would take 168 lines. Lists of plain values (numbers, bot names)
// go on one line.
std::string withNumberListsInline(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '[') {
            const std::size_t close = text.find_first_of("[]{", i + 1);
            if (close != std::string::npos && text[close] == ']') {
                // Only the printer's own line breaks and indents go; the
                // names inside quotes hold no white space.
                for (std::size_t j = i; j <= close; ++j) {
                    if (std::isspace(static_cast<unsigned char>(text[j])) == 0) {
                        out += text[j];
                    }
                }
                i = close + 1;
                continue;
            }
        }
        out += text[i];
        ++i;
    }
    return out;
}

template <typename Number>
bool readNumber(const Json& object, const char* key, Number& value) {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_number_integer()) {
        return false;
    }
    value = found->template get<Number>();
    return true;
}

bool readTally(const Json& json, Tally& tally) {
    return json.is_object() && readNumber(json, "games", tally.games) &&
           readNumber(json, "shareUnits", tally.shareUnits) &&
           readNumber(json, "outrightWins", tally.outrightWins) &&
           readNumber(json, "scoreSum", tally.scoreSum) &&
           readNumber(json, "placeHalves", tally.placeHalves) &&
           readNumber(json, "shareSquares", tally.shareSquares) &&
           readNumber(json, "dealShareSquares", tally.dealShareSquares) &&
           readNumber(json, "dealScoreSquares", tally.dealScoreSquares);
}

bool readLength(const Json& json, const char* key, LengthTally& tally) {
    const auto found = json.find(key);
    return found != json.end() && found->is_object() && readNumber(*found, "sum", tally.sum) &&
           readNumber(*found, "least", tally.least) && readNumber(*found, "most", tally.most);
}

bool readConfiguration(const Json& json, SimConfig& config) {
    if (!json.is_object() || !readNumber(json, "players", config.players) ||
        !readNumber(json, "seed", config.seed) || !readNumber(json, "deals", config.deals) ||
        !readNumber(json, "budget", config.budget) || config.budget < 1 ||
        config.budget > mostBudget) {
        return false;
    }
    const auto rotate = json.find("rotate");
    const auto bots = json.find("bots");
    if (rotate == json.end() || !rotate->is_boolean() || bots == json.end() || !bots->is_array() ||
        config.players < minPlayers || config.players > maxPlayers ||
        bots->size() != static_cast<std::size_t>(config.players) || config.deals < 1) {
        return false;
    }
    config.rotate = rotate->get<bool>();
    config.seats.clear();
    for (const Json& bot : *bots) {
        const auto settings =
            bot.is_string() ? botNamed(bot.get<std::string>(), config.budget) : std::nullopt;
        if (!settings) {
            return false;
        }
        config.seats.push_back(*settings);
    }
    return true;
}

bool readCoverage(const Json& json, SimResults& results) {
    const auto ranges = json.find("deals");
    const auto interrupted = json.find("interrupted");
    if (!json.is_object() || ranges == json.end() || !ranges->is_array() ||
        interrupted == json.end() || !interrupted->is_boolean()) {
        return false;
    }
    Coverage coverage;
    for (const Json& range : *ranges) {
        if (!range.is_array() || range.size() != 2 || !range[0].is_number_integer() ||
            !range[1].is_number_integer()) {
            return false;
        }
        const DealRange deals{range[0].get<std::int64_t>(), range[1].get<std::int64_t>()};
        if (deals.first < 0 || deals.end <= deals.first || deals.end > results.config.deals) {
            return false;
        }
        coverage.push_back(deals);
    }
    results.coverage.clear();
    results.interrupted = interrupted->get<bool>();
    return joinCoverage(results.coverage, coverage);
}

bool readTallies(const Json& json, const char* key, std::size_t count,
                 std::array<Tally, maxPlayers>& tallies) {
    const auto found = json.find(key);
    if (found == json.end() || !found->is_array() || found->size() != count) {
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (!readTally((*found)[i], tallies[i])) {
            return false;
        }
    }
    return true;
}

bool readScoreCounts(const Json& json, std::size_t count, Summary& summary) {
    const auto found = json.find("scoreCounts");
    if (found == json.end() || !found->is_array() || found->size() != count) {
        return false;
    }
    for (std::size_t bot = 0; bot < count; ++bot) {
        const Json& bins = (*found)[bot];
        if (!bins.is_array() || bins.size() != scoreBins) {
            return false;
        }
        for (std::size_t bin = 0; bin < bins.size(); ++bin) {
            if (!bins[bin].is_number_integer()) {
                return false;
            }
            summary.scoreCounts[bot][bin] = bins[bin].get<std::int64_t>();
        }
    }
    return true;
}

bool readCounts(const Json& json, SimResults& results) {
    Summary& summary = results.summary;
    std::int64_t unit = 0;
    std::int32_t lowest = 0;
    const auto seatCount = static_cast<std::size_t>(results.config.players);
    const std::size_t botCount = distinctBots(results.config).size();
    return json.is_object() && readNumber(json, "shareUnit", unit) && unit == shareUnit &&
           readNumber(json, "lowestScore", lowest) && lowest == lowestScore &&
           readNumber(json, "deals", summary.deals) && readNumber(json, "games", summary.games) &&
           readNumber(json, "tiedGames", summary.tiedGames) &&
           readNumber(json, "spreadSum", summary.spreadSum) &&
           readLength(json, "rounds", summary.rounds) &&
           readLength(json, "cardsDrawn", summary.cardsDrawn) &&
           readLength(json, "turns", summary.turns) &&
           readTallies(json, "seats", seatCount, summary.seats) &&
           readTallies(json, "bots", botCount, summary.bots) &&
           readScoreCounts(json, botCount, summary) &&
           summary.deals == dealsCovered(results.coverage) &&
           summary.games == summary.deals * gamesPerDeal(results.config);
}

} // namespace

std::string summaryJson(const SimResults& results) {
    Json json;
    json["program"] = programName;
    json["format"] = formatVersion;
    json["configuration"] = configurationJson(results.config);
    json["coverage"] = coverageJson(results);
    json["results"] = resultsJson(results);
    json["counts"] = countsJson(results);
    const double seconds = results.timing.seconds;
    json["timing"] =
        Json{{"seconds", seconds},
             {"gamesPerSecond",
              seconds > 0 ? static_cast<double>(results.summary.games) / seconds : 0.0},
             {"threads", results.timing.threads}};
    if (results.timing.mergedSummaries > 0) {
        json["timing"]["mergedSummaries"] = results.timing.mergedSummaries;
    }
    return withNumberListsInline(json.dump(2)) + "\n";
}

bool readSummaryJson(std::string_view text, SimResults& results, std::string& error) {
    const Json json = Json::parse(text, nullptr, false);
    const auto program = json.is_object() ? json.find("program") : json.end();
    std::int32_t format = 0;
    if (json.is_discarded() || !json.is_object() || program == json.end() ||
        *program != programName || !readNumber(json, "format", format)) {
        error = "not a summary written by pellaro-sim --json";
        return false;
    }
    if (format != formatVersion) {
        error = "a summary of format " + std::to_string(format) + ", not " +
                std::to_string(formatVersion);
        return false;
    }
    const auto configuration = json.find("configuration");
    const auto coverage = json.find("coverage");
    const auto counts = json.find("counts");
    if (configuration == json.end() || !readConfiguration(*configuration, results.config)) {
        error = "the summary's configuration is malformed";
        return false;
    }
    if (coverage == json.end() || !readCoverage(*coverage, results)) {
        error = "the summary's coverage is malformed";
        return false;
    }
    if (counts == json.end() || !readCounts(*counts, results)) {
        error = "the summary's counts are malformed or disagree with its coverage";
        return false;
    }
    const auto timing = json.find("timing");
    if (timing != json.end() && timing->is_object()) {
        const auto seconds = timing->find("seconds");
        results.timing.seconds =
            seconds != timing->end() && seconds->is_number() ? seconds->get<double>() : 0;
        readNumber(*timing, "threads", results.timing.threads);
    }
    return true;
}

bool sameConfiguration(const SimConfig& a, const SimConfig& b) {
    return a.players == b.players && a.seats == b.seats && a.seed == b.seed && a.deals == b.deals &&
           a.rotate == b.rotate && a.budget == b.budget;
}
