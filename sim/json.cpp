// The JSON the simulator writes and reads back: the --json summary and the
// --jsonl game records.
#include "protocol/bot_protocol.h"
#include "records.h"
#include "summary.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <nlohmann/json.hpp>
#include <numeric>
#include <sstream>
#include <stdexcept>

namespace pellaro {

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

// A card of a record is its label.
void from_json(const Json& json, CardKind& card) {
    const std::string text = json.get<std::string>();
    const auto* const label = std::find(cardLabels.begin(), cardLabels.end(), text);
    if (label == cardLabels.end()) {
        throw std::invalid_argument("a card label");
    }
    card = static_cast<CardKind>(label - cardLabels.begin());
}

// A move of a record: "D2:R" (draw, place the R on row 2) or "T1" (take row 1).
void from_json(const Json& json, PlayedMove& move) {
    const std::string text = json.get<std::string>();
    const std::size_t colon = text.find(':');
    const bool draw = text.starts_with('D') && colon != std::string::npos;
    if (!draw && !text.starts_with('T')) {
        throw std::invalid_argument("a move");
    }
    const std::string_view row = std::string_view(text).substr(1, draw ? colon - 1 : text.size());
    const auto [end, fault] = std::from_chars(row.data(), row.data() + row.size(), move.row);
    if (fault != std::errc{} || end != row.data() + row.size() || row.empty()) {
        throw std::invalid_argument("a row");
    }
    move.row -= 1;
    move.action = draw ? TurnAction::Draw : TurnAction::Take;
    if (draw) {
        move.card = Json(text.substr(colon + 1)).get<CardKind>();
    }
}

namespace {

constexpr std::string_view programName = "pellaro-sim";
constexpr std::int32_t formatVersion = 2;
constexpr std::int64_t mostDeals = 1'000'000'000'000;

bool coversAll(const Coverage& coverage, const SimConfig& config) {
    return coverage.size() == 1 && coverage[0].first == 0 && coverage[0].end == config.deals;
}

std::int64_t dealsCovered(const Coverage& coverage) {
    return std::accumulate(
        coverage.begin(), coverage.end(), std::int64_t{0},
        [](std::int64_t deals, const DealRange& range) { return deals + range.end - range.first; });
}

Json configurationJson(const SimConfig& config) {
    std::vector<std::string> bots;
    std::transform(config.seats.begin(), config.seats.end(), std::back_inserter(bots),
                   [&config](const BotSettings& bot) { return botName(bot, config.budget); });
    Json json{{"players", config.players}, {"bots", bots},
              {"seed", config.seed},       {"deals", config.deals},
              {"rotate", config.rotate},   {"gamesPerDeal", gamesPerDeal(config)},
              {"budget", config.budget}};
    if (config.botKey) {
        json["botKey"] = keyText(*config.botKey);
    }
    return json;
}

Json resultsJson(const SimResults& results, const Figures& figures) {
    const SimConfig& config = results.config;
    Json seats = Json::array();
    for (std::size_t seat = 0; seat < figures.seats.size(); ++seat) {
        Json json = figures.seats[seat];
        json["seat"] = seat + 1;
        json["bot"] =
            config.rotate ? "every bot in turn" : botName(config.seats[seat], config.budget);
        seats.push_back(json);
    }
    Json bots = Json::array();
    const std::vector<BotSettings> distinct = distinctBots(config);
    for (std::size_t bot = 0; bot < figures.bots.size(); ++bot) {
        Json json = figures.bots[bot];
        json["bot"] = botName(distinct[bot], config.budget);
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

// A field that is not a whole number in its range, by its name.
struct NotWholeField : std::invalid_argument {
    using std::invalid_argument::invalid_argument;
};

// A field read into a narrower number must keep its value: only a whole
// number in range is read at all, since a fraction or a huge number has no
// value there.
template <typename Number>
void readExactly(const Json& json, const char* key, Number& value, const std::string& where) {
    const Json& field = json.at(key);
    using Limits = std::numeric_limits<Number>;
    const bool fits = field.is_number_unsigned()
                          ? field.get<std::uint64_t>() <= static_cast<std::uint64_t>(Limits::max())
                          : field.is_number_integer() &&
                                field.get<std::int64_t>() >= Limits::min() &&
                                field.get<std::int64_t>() <= Limits::max();
    if (!fits) {
        throw NotWholeField(where + "." + key);
    }
    value = field.get<Number>();
}

SimConfig readConfiguration(const Json& json) {
    SimConfig config;
    readExactly(json, "players", config.players, "configuration");
    readExactly(json, "deals", config.deals, "configuration");
    readExactly(json, "budget", config.budget, "configuration");
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
    if (json.contains("botKey")) {
        config.botKey = keyFromText(json.at("botKey").get<std::string>());
        if (!config.botKey) {
            throw std::invalid_argument("botKey");
        }
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
        const std::string where = std::string("counts.") + key;
        readExactly(json.at(key), "sum", tally->sum, where);
        readExactly(json.at(key), "least", tally->least, where);
        readExactly(json.at(key), "most", tally->most, where);
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
        if (const std::string field = notWhole(coverage.at("deals"), "coverage.deals");
            !field.empty()) {
            throw NotWholeField(field);
        }
        const auto ranges = coverage.at("deals").get<Coverage>();
        coverage.at("interrupted").get_to(results.interrupted);
        results.coverage.clear();
        if (std::any_of(ranges.begin(), ranges.end(),
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
    } catch (const NotWholeField& field) {
        error = std::string(field.what()) + " is not a whole number in its range";
        return false;
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
           a.rotate == b.rotate && a.budget == b.budget && a.botKey == b.botKey;
}

namespace {

// "[a,b,c]", each item appended by `item`.
template <typename List, typename Append>
void appendList(std::string& out, const List& list, const Append& item) {
    out += '[';
    for (auto each = list.begin(); each != list.end(); ++each) {
        if (each != list.begin()) {
            out += ',';
        }
        item(*each);
    }
    out += ']';
}

// Appends the move with no string of its own: the writer of a run's records
// appends every move of every game.
void appendMove(std::string& out, const PlayedMove& move) {
    out += move.action == TurnAction::Draw ? 'D' : 'T';
    appendNumber(out, move.row + 1);
    if (move.action == TurnAction::Draw) {
        out += ':';
        out += cardLabels[move.card];
    }
}

// Counts, scores and seat numbers are small: a larger number would be read
// cut short to 32 bits, and might then agree with the replay.
template <typename List>
List smallNumbers(const Json& json, std::size_t length) {
    if (!json.is_array() || json.size() != length ||
        !std::all_of(json.begin(), json.end(), [](const Json& item) {
            return item.is_number_integer() && item >= -1000 && item <= 1000;
        })) {
        throw std::invalid_argument("small numbers");
    }
    return json.get<List>();
}

// A whole number from 0 that fits the field: a negative one would wrap round
// to a huge unsigned one, a huge one be cut short.
template <typename Number>
bool readCount(const Json& json, const char* key, Number& value) {
    const Json& number = json.at(key);
    // Compared as 64-bit signed, a number past 2^63 would count as negative.
    if (!number.is_number_integer() ||
        (!number.is_number_unsigned() && number.get<std::int64_t>() < 0)) {
        return false;
    }
    const auto whole = number.get<std::uint64_t>();
    value = static_cast<Number>(whole);
    return whole <= static_cast<std::uint64_t>(std::numeric_limits<Number>::max());
}

} // namespace

std::string moveText(const PlayedMove& move) {
    std::string text;
    appendMove(text, move);
    return text;
}

void appendRecordLine(std::string& out, const GameRecord& record) {
    const auto quoted = [&out](const auto& text) {
        out += '"';
        out += text;
        out += '"';
    };
    const auto number = [&out](auto value) { appendNumber(out, value); };
    out += "{\"game\":";
    appendNumber(out, record.game);
    out += ",\"deal\":";
    appendNumber(out, record.deal);
    out += ",\"rotation\":";
    appendNumber(out, record.rotation);
    out += ",\"seed\":";
    appendNumber(out, record.seed);
    out += ",\"players\":";
    appendNumber(out, record.players);
    out += ",\"bots\":";
    appendList(out, record.bots, quoted);
    out += ",\"deck\":";
    appendList(out, record.deck, [&quoted](CardKind card) { quoted(cardLabels[card]); });
    out += ",\"moves\":";
    appendList(out, record.moves, [&out](const PlayedMove& move) {
        out += '"';
        appendMove(out, move);
        out += '"';
    });
    out += ",\"piles\":";
    appendList(out, record.piles, [&](const auto& pile) { appendList(out, pile, number); });
    out += ",\"scores\":";
    appendList(out, record.scores, number);
    out += ",\"winners\":";
    appendList(out, record.winners, number);
    out += "}\n";
}

std::int64_t leadingGameNumber(std::string_view line) {
    constexpr std::string_view start = "{\"game\":";
    if (!line.starts_with(start)) {
        return -1;
    }
    std::int64_t game = -1;
    const char* digits = line.data() + start.size();
    const auto [end, fault] = std::from_chars(digits, line.data() + line.size(), game);
    if (fault != std::errc{} || end == line.data() + line.size() || *end != ',') {
        return -1;
    }
    return game;
}

bool parseRecord(std::string_view line, GameRecord& record, std::string& error) {
    const Json json = Json::parse(line, nullptr, false);
    // Each part in turn, so that the reason names the first that is wrong.
    const auto part = [&error](const std::string& reason, const auto& read) {
        try {
            if (read()) {
                return true;
            }
        } catch (const std::exception&) {
        }
        error = reason;
        return false;
    };
    const auto seats = [&record] { return static_cast<std::size_t>(record.players); };
    return part("the record is not a JSON object", [&] { return json.is_object(); }) &&
           part("the record lacks its game, deal, rotation, seed or players, or one is not a "
                "whole number from 0 up",
                [&] {
                    return readCount(json, "game", record.game) &&
                           readCount(json, "deal", record.deal) &&
                           readCount(json, "rotation", record.rotation) &&
                           readCount(json, "seed", record.seed) &&
                           readCount(json, "players", record.players);
                }) &&
           part("the record has " + std::to_string(record.players) + " players, not 2 to 5",
                [&] { return record.players >= minPlayers && record.players <= maxPlayers; }) &&
           part("the record does not name one bot per seat",
                [&] { return json.at("bots").is_array() && json.at("bots").size() == seats(); }) &&
           part("the record names an unknown bot",
                [&] {
                    record.bots = json.at("bots").get<std::vector<std::string>>();
                    // A name without a budget means the run's, which the record does not hold.
                    std::string unknown;
                    return std::all_of(record.bots.begin(), record.bots.end(),
                                       [&unknown](const std::string& bot) {
                                           return botCalled(bot, defaultBudget, unknown);
                                       });
                }) &&
           part("the record's deck is not 76 card labels",
                [&] {
                    record.deck = json.at("deck").get<std::array<CardKind, deckSize>>();
                    return json.at("deck").size() == deckSize;
                }) &&
           part("the record's moves are not all of the form D<row>:<card> or T<row>",
                [&] {
                    record.moves = json.at("moves").get<std::vector<PlayedMove>>();
                    return true;
                }) &&
           part("the record's piles, scores or winners are malformed", [&] {
               const Json& piles = json.at("piles");
               if (!piles.is_array() || piles.size() != seats()) {
                   return false;
               }
               for (const Json& pile : piles) {
                   record.piles.push_back(
                       smallNumbers<std::array<std::int32_t, cardKindCount>>(pile, cardKindCount));
               }
               const Json& winners = json.at("winners");
               record.scores = smallNumbers<std::vector<std::int32_t>>(json.at("scores"), seats());
               record.winners = smallNumbers<std::vector<std::int32_t>>(
                   winners, winners.is_array() ? winners.size() : 0);
               return true;
           });
}

} // namespace pellaro
