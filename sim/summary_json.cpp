#include "summary.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>

using Json = nlohmann::json;

// The mapping of each type to JSON, both ways, declared once. Global, as
// the types are, so that the library finds them.
// cppcheck-suppress unknownMacro
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(Interval, low, high)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(LengthFigures, mean, least, most)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(LengthTally, sum, least, most)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(Tally, games, shareUnits, outrightWins, scoreSum, placeHalves,
                                   shareSquares, dealShareSquares, dealScoreSquares)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(Timing, seconds, threads, mergedSummaries)

// A range of deals is the pair [first, end].
void to_json(Json& json, const DealRange& range) {
    json = Json::array({range.first, range.end});
}

void from_json(const Json& json, DealRange& range) {
    if (!json.is_array() || json.size() != 2) {
        throw std::invalid_argument("a range of deals");
    }
    json.at(0).get_to(range.first);
    json.at(1).get_to(range.end);
}

// An interval that cannot be given, from one deal, is null.
void to_json(Json& json, const std::optional<Interval>& interval) {
    json = interval ? Json(*interval) : Json(nullptr);
}

void from_json(const Json& json, std::optional<Interval>& interval) {
    interval = json.is_null() ? std::nullopt : std::optional(json.get<Interval>());
}

NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(TallyFigures, games, winShare, winInterval, outrightWins,
                                   meanScore, scoreInterval, meanPlace)

namespace {

constexpr std::string_view programName = "pellaro-sim";
constexpr std::int32_t formatVersion = 2;
constexpr std::int64_t mostDeals = 1'000'000'000'000;

Json configurationJson(const SimConfig& config) {
    std::vector<std::string> bots;
    std::transform(config.seats.begin(), config.seats.end(), std::back_inserter(bots),
                   [&config](const BotSettings& bot) { return botNameIn(config, bot); });
    return Json{{"players", config.players}, {"bots", bots},
                {"seed", config.seed},       {"deals", config.deals},
                {"rotate", config.rotate},   {"gamesPerDeal", gamesPerDeal(config)},
                {"budget", config.budget}};
}

Json resultsJson(const SimResults& results, const Figures& figures) {
    const SimConfig& config = results.config;
    Json seats = Json::array();
    for (std::size_t seat = 0; seat < figures.seats.size(); ++seat) {
        Json json = figures.seats[seat];
        json["seat"] = seat + 1;
        json["bot"] = config.rotate ? "every bot in turn" : botNameIn(config, config.seats[seat]);
        seats.push_back(json);
    }
    Json bots = Json::array();
    const std::vector<BotSettings> distinct = distinctBots(config);
    for (std::size_t bot = 0; bot < figures.bots.size(); ++bot) {
        Json json = figures.bots[bot];
        json["bot"] = botNameIn(config, distinct[bot]);
        json["readsDeck"] = readsTheDeck(distinct[bot]);
        bots.push_back(json);
    }
    Json json{{"games", results.summary.games},
              {"seats", seats},
              {"bots", bots},
              {"balance", figures.balance},
              {"rounds", figures.rounds},
              {"cardsDrawn", figures.cardsDrawn},
              {"turns", figures.turns},
              {"tieRate", figures.tieRate},
              {"meanScoreSpread", figures.meanSpread}};
    if (figures.seatsComparable) {
        json["seatOneAdvantage"] =
            Json{{"value", figures.seatOneAdvantage}, {"interval", figures.seatOneInterval}};
    }
    return json;
}

Json countsJson(const SimResults& results) {
    const Summary& summary = results.summary;
    const auto seatCount = static_cast<std::size_t>(results.config.players);
    const std::size_t botCount = distinctBots(results.config).size();
    const auto first = [](const auto& list, std::size_t count) {
        return std::vector(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(count));
    };
    return Json{{"shareUnit", shareUnit},
                {"lowestScore", lowestScore},
                {"deals", summary.deals},
                {"games", summary.games},
                {"tiedGames", summary.tiedGames},
                {"spreadSum", summary.spreadSum},
                {"rounds", summary.rounds},
                {"cardsDrawn", summary.cardsDrawn},
                {"turns", summary.turns},
                {"seats", first(summary.seats, seatCount)},
                {"bots", first(summary.bots, botCount)},
                {"scoreCounts", first(summary.scoreCounts, botCount)}};
}

// Counts are whole numbers well inside 64 bits: a fraction would be read as
// its whole part, a larger number wrap round. The first that is not, named
// as "counts.seats[0].scoreSum", or empty.
std::string notWhole(const Json& json, const std::string& name) {
    constexpr std::int64_t largest = std::int64_t{1} << 62;
    const Json flat = json.flatten();
    for (const auto& [pointer, value] : flat.items()) {
        // An empty list flattens to null; any other null fails when read.
        if (value.is_null() ||
            (value.is_number_integer() && value >= -largest && value <= largest)) {
            continue;
        }
        // "/seats/0/scoreSum" becomes ".seats[0].scoreSum".
        std::string field = name;
        std::istringstream steps(pointer.substr(1));
        for (std::string step; std::getline(steps, step, '/');) {
            const bool index = !step.empty() && std::all_of(step.begin(), step.end(), ::isdigit);
            field += index ? "[" + step + "]" : "." + step;
        }
        return field;
    }
    return {};
}

// A field read into a narrower number must keep its value, not be cut short.
template <typename Number>
void readExactly(const Json& json, const char* key, Number& value) {
    json.at(key).get_to(value);
    if (json.at(key) != value) {
        throw std::invalid_argument(key);
    }
}

SimConfig readConfiguration(const Json& json) {
    SimConfig config;
    readExactly(json, "players", config.players);
    readExactly(json, "deals", config.deals);
    readExactly(json, "budget", config.budget);
    json.at("rotate").get_to(config.rotate);
    const Json& seed = json.at("seed");
    const auto bots = json.at("bots").get<std::vector<std::string>>();
    if (!seed.is_number_unsigned() || config.players < minPlayers || config.players > maxPlayers ||
        bots.size() != static_cast<std::size_t>(config.players) || config.deals < 1 ||
        config.deals > mostDeals || config.budget < 1 || config.budget > mostBudget) {
        throw std::invalid_argument("configuration");
    }
    config.seed = seed.get<std::uint64_t>();
    std::string ignored;
    for (const std::string& name : bots) {
        const auto bot = botCalled(name, config.budget, ignored);
        if (!bot) {
            throw std::invalid_argument("configuration");
        }
        config.seats.push_back(*bot);
    }
    return config;
}

Summary readCounts(const Json& json, const SimConfig& config) {
    const auto seatCount = static_cast<std::size_t>(config.players);
    const std::size_t botCount = distinctBots(config).size();
    Summary summary;
    const auto seats = json.at("seats").get<std::vector<Tally>>();
    const auto bots = json.at("bots").get<std::vector<Tally>>();
    const auto scores =
        json.at("scoreCounts").get<std::vector<std::array<std::int64_t, scoreBins>>>();
    if (json.at("shareUnit") != shareUnit || json.at("lowestScore") != lowestScore ||
        seats.size() != seatCount || bots.size() != botCount || scores.size() != botCount) {
        throw std::invalid_argument("counts");
    }
    std::copy(seats.begin(), seats.end(), summary.seats.begin());
    std::copy(bots.begin(), bots.end(), summary.bots.begin());
    std::copy(scores.begin(), scores.end(), summary.scoreCounts.begin());
    json.at("deals").get_to(summary.deals);
    json.at("games").get_to(summary.games);
    json.at("tiedGames").get_to(summary.tiedGames);
    json.at("spreadSum").get_to(summary.spreadSum);
    for (const auto& [key, tally] :
         {std::pair{"rounds", &summary.rounds}, std::pair{"cardsDrawn", &summary.cardsDrawn},
          std::pair{"turns", &summary.turns}}) {
        readExactly(json.at(key), "sum", tally->sum);
        readExactly(json.at(key), "least", tally->least);
        readExactly(json.at(key), "most", tally->most);
    }
    return summary;
}

std::vector<std::int32_t> botSeats(const SimConfig& config) {
    std::vector<std::int32_t> seats;
    for (const BotSettings& bot : distinctBots(config)) {
        seats.push_back(
            static_cast<std::int32_t>(std::count(config.seats.begin(), config.seats.end(), bot)));
    }
    return seats;
}

} // namespace

std::string summaryJson(const SimResults& results, const Figures& figures) {
    const double seconds = results.timing.seconds;
    Json timing = results.timing;
    timing["gamesPerSecond"] =
        seconds > 0 ? static_cast<double>(results.summary.games) / seconds : 0.0;
    // The keys come out sorted, and the timing, the one part that may differ
    // between runs, sorts last.
    const Json json{{"program", programName},
                    {"format", formatVersion},
                    {"configuration", configurationJson(results.config)},
                    {"coverage", Json{{"deals", results.coverage},
                                      {"complete", coversAll(results.coverage, results.config)},
                                      {"interrupted", results.interrupted}}},
                    {"results", resultsJson(results, figures)},
                    {"counts", countsJson(results)},
                    {"timing", timing}};
    return json.dump(1) + "\n";
}

bool readSummaryJson(std::string_view text, SimResults& results, std::string& error) {
    const Json json = Json::parse(text, nullptr, false);
    if (!json.is_object() || json.find("program") == json.end() || json["program"] != programName ||
        !json.contains("format")) {
        error = "not a summary written by pellaro-sim --json";
        return false;
    }
    if (json["format"] != formatVersion) {
        error = "a summary of format " + json["format"].dump() + ", not " +
                std::to_string(formatVersion);
        return false;
    }
    const char* part = "configuration";
    try {
        results.config = readConfiguration(json.at("configuration"));
        part = "coverage";
        const Json& coverage = json.at("coverage");
        const auto ranges = coverage.at("deals").get<Coverage>();
        coverage.at("interrupted").get_to(results.interrupted);
        results.coverage.clear();
        if (!notWhole(coverage.at("deals"), "deals").empty() ||
            std::any_of(ranges.begin(), ranges.end(),
                        [&results](const DealRange& range) {
                            return range.first < 0 || range.end <= range.first ||
                                   range.end > results.config.deals;
                        }) ||
            !joinCoverage(results.coverage, ranges)) {
            throw std::invalid_argument("coverage");
        }
        part = "counts";
        if (const std::string field = notWhole(json.at("counts"), "counts"); !field.empty()) {
            error = field + " is not a whole number within 2^62";
            return false;
        }
        results.summary = readCounts(json.at("counts"), results.config);
    } catch (const std::exception&) {
        error = std::string("the summary's ") + part + " is malformed";
        return false;
    }
    if (results.summary.deals != dealsCovered(results.coverage)) {
        error = "counts.deals (" + std::to_string(results.summary.deals) +
                ") disagrees with the deals the summary covers";
        return false;
    }
    error = contradiction(results.summary, results.config.players, gamesPerDeal(results.config),
                          botSeats(results.config));
    if (!error.empty()) {
        error += " contradicts the summary's other counts";
        return false;
    }
    // The timing is for show: a summary without one merges all the same.
    const auto timing = json.find("timing");
    if (timing != json.end() && timing->is_object() && timing->contains("seconds") &&
        (*timing)["seconds"].is_number()) {
        results.timing.seconds = (*timing)["seconds"].get<double>();
    }
    return true;
}

bool sameConfiguration(const SimConfig& a, const SimConfig& b) {
    return a.players == b.players && a.seats == b.seats && a.seed == b.seed && a.deals == b.deals &&
           a.rotate == b.rotate && a.budget == b.budget;
}
