#include "tournament.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <numeric>
#include <set>

namespace pellaro {

namespace {

using Json = nlohmann::json;

constexpr std::int32_t tournamentFormat = 1;

SimConfig tableConfig(const TournamentConfig& config, std::int32_t alone, std::int32_t other) {
    SimConfig table;
    table.players = config.players;
    table.seats.assign(static_cast<std::size_t>(config.players),
                       config.bots[static_cast<std::size_t>(other)]);
    table.seats[0] = config.bots[static_cast<std::size_t>(alone)];
    table.seed = config.seed;
    table.deals = config.deals;
    table.rotate = true;
    table.budget = config.budget;
    table.botKey = config.botKey;
    table.countOrders = true;
    return table;
}

} // namespace

Tournament newTournament(const TournamentConfig& config) {
    Tournament tournament;
    tournament.config = config;
    const auto count = static_cast<std::int32_t>(config.bots.size());
    for (std::int32_t a = 0; a < count; ++a) {
        for (std::int32_t b = a + 1; b < count && (a == 0 || !config.gauntlet); ++b) {
            for (const auto& [alone, other] : {std::pair{a, b}, std::pair{b, a}}) {
                Table table{alone, other, SimResults{}};
                table.results.config = tableConfig(config, alone, other);
                table.results.summary.orders.emplace();
                tournament.tables.push_back(std::move(table));
                // At two players the rotation seats each bot alone already.
                if (config.players == minPlayers) {
                    break;
                }
            }
        }
    }
    return tournament;
}

void playTournament(Tournament& tournament, DealRange range, std::int32_t threads, bool progress) {
    const std::size_t count = tournament.tables.size();
    for (std::size_t index = 0; index < count && !tournament.interrupted; ++index) {
        SimResults& results = tournament.tables[index].results;
        if (progress) {
            std::fprintf(stderr, "\rtable %zu of %zu ", index + 1, count);
            std::fflush(stderr);
        }
        const SimResults part = runSimulation(results.config, range, threads, nullptr, nullptr);
        addSummary(results.summary, part.summary);
        joinCoverage(results.coverage, part.coverage);
        tournament.seconds += part.timing.seconds;
        tournament.interrupted = part.interrupted;
        tournament.botFailure = part.botFailure;
    }
    if (progress) {
        std::fprintf(stderr, "\r%*s\r", 24, "");
        std::fflush(stderr);
    }
}

namespace {

// How many places `code` shows decided between bots a and b, counted for
// each seat of one against each of the other, and a's share of them in
// halves: a tie is half to each.
struct Meeting {
    std::int64_t places = 0;
    std::int64_t halvesWon = 0;
};

Meeting meetingIn(const std::vector<Place>& places, std::int32_t a, std::int32_t b) {
    Meeting meeting;
    for (std::size_t first = 0; first < places.size(); ++first) {
        bool tied = true;
        for (std::size_t second = first + 1; second < places.size(); ++second) {
            tied = tied && places[second].tied;
            const std::int32_t ahead = places[first].bot;
            const std::int32_t behind = places[second].bot;
            if ((ahead == a && behind == b) || (ahead == b && behind == a)) {
                ++meeting.places;
                meeting.halvesWon += tied ? 1 : ahead == a ? 2 : 0;
            }
        }
    }
    return meeting;
}

} // namespace

TournamentFigures tournamentFigures(const Tournament& tournament) {
    const TournamentConfig& config = tournament.config;
    const auto count = static_cast<std::size_t>(config.bots.size());
    TournamentFigures figures;
    figures.games.assign(count, 0);
    figures.share.assign(count, 0.0);
    figures.shares.assign(count, std::vector<double>(count, 0.0));
    figures.meetings.assign(count, std::vector<std::int64_t>(count, 0));
    std::vector<std::vector<std::int64_t>> halves(count, std::vector<std::int64_t>(count, 0));
    RatingData data;
    data.players = static_cast<std::int32_t>(count);
    std::set<std::pair<std::int32_t, std::int32_t>> met;
    for (const Table& table : tournament.tables) {
        const std::array<std::int32_t, 2> global = {table.alone, table.other};
        met.insert(std::minmax(table.alone, table.other));
        const Summary& summary = table.results.summary;
        figures.games[static_cast<std::size_t>(table.alone)] += summary.games;
        figures.games[static_cast<std::size_t>(table.other)] += summary.games;
        if (!summary.orders) {
            continue;
        }
        std::map<OrderCode, std::size_t> indexOf;
        for (const auto& [code, games] : summary.orders->games) {
            const std::vector<Place> places = placesOf(code, config.players);
            OrderSeen seen{{}, games};
            for (const Place& place : places) {
                seen.places.push_back(
                    RatedPlace{global[static_cast<std::size_t>(place.bot)], place.tied});
            }
            indexOf[code] = data.orders.size();
            data.orders.push_back(std::move(seen));
            for (const auto& [a, b] : {std::pair{0, 1}, std::pair{1, 0}}) {
                const Meeting meeting = meetingIn(places, a, b);
                const auto row = static_cast<std::size_t>(global[static_cast<std::size_t>(a)]);
                const auto column = static_cast<std::size_t>(global[static_cast<std::size_t>(b)]);
                figures.meetings[row][column] += meeting.places * games;
                halves[row][column] += meeting.halvesWon * games;
            }
        }
        for (const auto& [pair, pairs] : summary.orders->pairsInDeals) {
            data.together.push_back(
                OrdersTogether{indexOf.at(pair.first), indexOf.at(pair.second), pairs});
        }
    }
    data.met.assign(met.begin(), met.end());
    const std::optional<std::int32_t> reference =
        config.gauntlet ? std::optional<std::int32_t>(0) : std::nullopt;
    figures.ratings = fitRatings(data, reference);
    for (std::size_t i = 0; i < count; ++i) {
        std::int64_t places = 0;
        std::int64_t won = 0;
        for (std::size_t j = 0; j < count; ++j) {
            const std::int64_t meetings = figures.meetings[i][j];
            figures.shares[i][j] = meetings > 0 ? static_cast<double>(halves[i][j]) /
                                                      (2.0 * static_cast<double>(meetings))
                                                : 0.0;
            places += meetings;
            won += halves[i][j];
        }
        figures.share[i] =
            places > 0 ? static_cast<double>(won) / (2.0 * static_cast<double>(places)) : 0.0;
    }
    return figures;
}

std::vector<std::size_t> rankingOf(const TournamentFigures& figures) {
    std::vector<std::size_t> order(figures.games.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&figures](std::size_t a, std::size_t b) {
        return figures.ratings.strength[a] > figures.ratings.strength[b];
    });
    return order;
}

namespace {

std::string nameOf(const Tournament& tournament, std::size_t bot) {
    return botName(tournament.config.bots[bot], tournament.config.budget);
}

// Intervals need deals that differ: none from fewer than two a table.
bool intervalsShown(const Tournament& tournament) {
    return std::all_of(tournament.tables.begin(), tournament.tables.end(),
                       [](const Table& table) { return table.results.summary.deals >= 2; });
}

std::int64_t gamesPlayed(const Tournament& tournament) {
    return std::accumulate(
        tournament.tables.begin(), tournament.tables.end(), std::int64_t{0},
        [](std::int64_t games, const Table& table) { return games + table.results.summary.games; });
}

} // namespace

std::string tournamentReport(const Tournament& tournament, const TournamentFigures& figures) {
    const TournamentConfig& config = tournament.config;
    const std::size_t count = config.bots.size();
    std::string text = printed("Tournament of %zu bots at %d players, ", count, config.players);
    text += config.gauntlet ? "every bot against " + nameOf(tournament, 0)
                            : std::string("every pairing");
    text += printed(", seed %llu\n", static_cast<unsigned long long>(config.seed));
    text += printed("  %zu tables of %lld deals, every deal rotated; %lld games played%s\n",
                    tournament.tables.size(), static_cast<long long>(config.deals),
                    static_cast<long long>(gamesPlayed(tournament)),
                    tournament.interrupted ? ", stopped early" : "");
    text += "\n  Rank  Rating  95 % interval    Games   Share  Bot\n";
    const bool intervals = intervalsShown(tournament);
    const std::vector<std::size_t> order = rankingOf(figures);
    for (std::size_t rank = 0; rank < count; ++rank) {
        const std::size_t bot = order[rank];
        const double rating = eloPoints(figures.ratings.strength[bot]);
        const double spread = 1.96 * eloPoints(figures.ratings.deviation[bot]);
        const bool pinned = config.gauntlet && bot == 0;
        std::string interval = pinned ? "reference"
                               : intervals
                                   ? printed("%+.0f to %+.0f", rating - spread, rating + spread)
                                   : "-";
        text +=
            printed("  %4zu  %+6.0f  %-15s %7lld  %5.1f%%  ", rank + 1, rating, interval.c_str(),
                    static_cast<long long>(figures.games[bot]), 100.0 * figures.share[bot]) +
            nameOf(tournament, bot) + "\n";
    }
    text += "\n  Ratings on the chess scale, 400 points for ten to one, fitted to every\n"
            "  game's whole finishing order (Plackett-Luce), ";
    text += config.gauntlet ? "relative to the first bot;\n" : "averaging 0;\n";
    text += "  intervals take each deal of a table as one sample. Share: of the places\n"
            "  decided between the bot and those it met, a tie counting half.\n";
    text += "\n  Cross-table: the row's share of the places decided against the column\n      ";
    for (std::size_t column = 0; column < count; ++column) {
        text += printed("%7zu", column + 1);
    }
    text += "\n";
    for (std::size_t row = 0; row < count; ++row) {
        text += printed("  %3zu ", row + 1);
        for (std::size_t column = 0; column < count; ++column) {
            text += figures.meetings[row][column] > 0
                        ? printed("%6.1f%%", 100.0 * figures.shares[row][column])
                        : std::string("      -");
        }
        text += "  " + nameOf(tournament, row) + "\n";
    }
    return text;
}

namespace {

// A table's run summary, all of it but how long it took, and its orders.
Json tableJson(const Table& table) {
    const SimResults& results = table.results;
    Json run = Json::parse(summaryJson(results, figuresOf(results.config, results.summary)));
    run.erase("timing");
    Json orders = Json::array();
    Json together = Json::array();
    if (results.summary.orders) {
        for (const auto& [code, games] : results.summary.orders->games) {
            orders.push_back({code, games});
        }
        for (const auto& [pair, pairs] : results.summary.orders->pairsInDeals) {
            together.push_back({pair.first, pair.second, pairs});
        }
    }
    return Json{{"alone", table.alone},
                {"other", table.other},
                {"run", run},
                {"orders", orders},
                {"pairsInDeals", together}};
}

} // namespace

std::string tournamentJson(const Tournament& tournament, const TournamentFigures& figures) {
    const TournamentConfig& config = tournament.config;
    std::vector<std::string> names;
    for (std::size_t bot = 0; bot < config.bots.size(); ++bot) {
        names.push_back(nameOf(tournament, bot));
    }
    Json configuration{{"players", config.players}, {"bots", names},
                       {"seed", config.seed},       {"deals", config.deals},
                       {"budget", config.budget},   {"gauntlet", config.gauntlet}};
    if (config.botKey) {
        configuration["botKey"] = keyText(*config.botKey);
    }
    const bool intervals = intervalsShown(tournament);
    Json ranking = Json::array();
    for (const std::size_t bot : rankingOf(figures)) {
        const double rating = eloPoints(figures.ratings.strength[bot]);
        const double spread = 1.96 * eloPoints(figures.ratings.deviation[bot]);
        Json interval = nullptr;
        if (intervals && !(config.gauntlet && bot == 0)) {
            interval = Json{{"low", rating - spread}, {"high", rating + spread}};
        }
        ranking.push_back({{"bot", names[bot]},
                           {"rating", rating},
                           {"interval", interval},
                           {"games", figures.games[bot]},
                           {"share", figures.share[bot]}});
    }
    Json cross = Json::array();
    for (std::size_t row = 0; row < names.size(); ++row) {
        Json line = Json::array();
        for (std::size_t column = 0; column < names.size(); ++column) {
            line.push_back(figures.meetings[row][column] > 0 ? Json(figures.shares[row][column])
                                                             : Json(nullptr));
        }
        cross.push_back(line);
    }
    Json tables = Json::array();
    std::transform(tournament.tables.begin(), tournament.tables.end(), std::back_inserter(tables),
                   tableJson);
    const Json json{{"program", "pellaro-sim"},
                    {"command", "tournament"},
                    {"format", tournamentFormat},
                    {"configuration", configuration},
                    {"interrupted", tournament.interrupted},
                    {"ranking", ranking},
                    {"crossTable", cross},
                    {"tables", tables},
                    {"timing", {{"seconds", tournament.seconds}}}};
    return json.dump(1) + "\n";
}

bool isTournamentJson(std::string_view text) {
    const Json json = Json::parse(text, nullptr, false);
    return json.is_object() && json.contains("program") && json["program"] == "pellaro-sim" &&
           json.contains("command") && json["command"] == "tournament";
}

namespace {

TournamentConfig readTournamentConfig(const Json& json) {
    TournamentConfig config;
    config.players = json.at("players").get<std::int32_t>();
    config.seed = json.at("seed").get<std::uint64_t>();
    config.deals = json.at("deals").get<std::int64_t>();
    config.budget = json.at("budget").get<std::int32_t>();
    config.gauntlet = json.at("gauntlet").get<bool>();
    if (!json.at("players").is_number_integer() || !json.at("deals").is_number_integer() ||
        !json.at("budget").is_number_integer() || !json.at("seed").is_number_unsigned() ||
        config.players < minPlayers || config.players > maxPlayers || config.deals < 1 ||
        config.deals > 1'000'000'000'000 || config.budget < 1 || config.budget > mostBudget) {
        throw std::invalid_argument("configuration");
    }
    std::string ignored;
    for (const std::string& name : json.at("bots").get<std::vector<std::string>>()) {
        const auto bot = botCalled(name, config.budget, ignored);
        if (!bot || std::find(config.bots.begin(), config.bots.end(), *bot) != config.bots.end()) {
            throw std::invalid_argument("configuration");
        }
        config.bots.push_back(*bot);
    }
    if (config.bots.size() < 2) {
        throw std::invalid_argument("configuration");
    }
    if (json.contains("botKey")) {
        config.botKey = keyFromText(json.at("botKey").get<std::string>());
        if (!config.botKey) {
            throw std::invalid_argument("configuration");
        }
    }
    return config;
}

// A table's orders must be orders of its seats, as many as its games, and
// pair up exactly the games of each of its deals.
std::string ordersFault(const Json& table, const SimResults& results, OrderCounts& orders) {
    const std::int32_t players = results.config.players;
    const std::int64_t perDeal = gamesPerDeal(results.config);
    std::int64_t games = 0;
    for (const Json& order : table.at("orders")) {
        const auto code = order.at(0).get<std::int64_t>();
        const auto count = order.at(1).get<std::int64_t>();
        if (code < 0 || code >= (std::int64_t{1} << (4 * players)) || count < 1 ||
            count > results.summary.games || orders.games.contains(static_cast<OrderCode>(code))) {
            return "an order that no game of the table has";
        }
        const std::vector<Place> places = placesOf(static_cast<OrderCode>(code), players);
        const auto alone = std::count_if(places.begin(), places.end(),
                                         [](const Place& place) { return place.bot == 0; });
        const auto others = std::count_if(places.begin(), places.end(),
                                          [](const Place& place) { return place.bot == 1; });
        if (alone != 1 || others != players - 1 || places[0].tied) {
            return "an order that no game of the table has";
        }
        orders.games[static_cast<OrderCode>(code)] = count;
        games += count;
    }
    if (games != results.summary.games) {
        return "orders that do not add up to the table's games";
    }
    std::int64_t pairs = 0;
    for (const Json& pair : table.at("pairsInDeals")) {
        const auto first = pair.at(0).get<std::int64_t>();
        const auto second = pair.at(1).get<std::int64_t>();
        const auto count = pair.at(2).get<std::int64_t>();
        if (first > second || !orders.games.contains(static_cast<OrderCode>(first)) ||
            !orders.games.contains(static_cast<OrderCode>(second)) || count < 1 ||
            count > results.summary.deals * perDeal * perDeal) {
            return "pairs of orders that no deal of the table has";
        }
        orders.pairsInDeals[{static_cast<OrderCode>(first), static_cast<OrderCode>(second)}] =
            count;
        pairs += count;
    }
    if (pairs != results.summary.deals * perDeal * (perDeal - 1) / 2) {
        return "pairs of orders that do not add up to the table's deals";
    }
    return {};
}

} // namespace

bool readTournamentJson(std::string_view text, Tournament& tournament, std::string& error) {
    const Json json = Json::parse(text, nullptr, false);
    if (!isTournamentJson(text) || !json.contains("format")) {
        error = "not a tournament written by pellaro-sim tournament --json";
        return false;
    }
    if (json["format"] != tournamentFormat) {
        error = "a tournament of format " + json["format"].dump() + ", not " +
                std::to_string(tournamentFormat);
        return false;
    }
    Tournament read;
    try {
        read = newTournament(readTournamentConfig(json.at("configuration")));
        json.at("interrupted").get_to(read.interrupted);
    } catch (const std::exception&) {
        error = "the tournament's configuration is malformed";
        return false;
    }
    const Json& tables = json.at("tables");
    if (!tables.is_array() || tables.size() != read.tables.size()) {
        error = "the tournament's tables are not those of its configuration";
        return false;
    }
    for (std::size_t index = 0; index < read.tables.size(); ++index) {
        Table& table = read.tables[index];
        const std::string where = "table " + std::to_string(index + 1) + ": ";
        SimResults results;
        if (!readSummaryJson(tables[index].contains("run") ? tables[index]["run"].dump() : "",
                             results, error)) {
            error.insert(0, where);
            return false;
        }
        const Json& seats = tables[index];
        if (!sameConfiguration(results.config, table.results.config) ||
            seats.value("alone", Json()) != table.alone ||
            seats.value("other", Json()) != table.other) {
            error = where + "not the table the configuration seats";
            return false;
        }
        results.config = table.results.config;
        OrderCounts& orders = results.summary.orders.emplace();
        try {
            error = ordersFault(tables[index], results, orders);
        } catch (const std::exception&) {
            error = "malformed orders";
        }
        if (!error.empty()) {
            error.insert(0, where);
            return false;
        }
        table.results = std::move(results);
    }
    const auto timing = json.find("timing");
    if (timing != json.end() && timing->is_object() && timing->contains("seconds") &&
        (*timing)["seconds"].is_number()) {
        read.seconds = (*timing)["seconds"].get<double>();
    }
    tournament = std::move(read);
    return true;
}

bool addTournament(Tournament& merged, const Tournament& part, std::string& error) {
    if (merged.mergedFiles == 0) {
        merged = newTournament(part.config);
    } else {
        const TournamentConfig& a = merged.config;
        const TournamentConfig& b = part.config;
        if (a.players != b.players || a.bots != b.bots || a.seed != b.seed || a.deals != b.deals ||
            a.budget != b.budget || a.gauntlet != b.gauntlet || a.botKey != b.botKey) {
            error = "a tournament of another configuration (players, bots, seed, games, budget, "
                    "gauntlet or bot key differ)";
            return false;
        }
    }
    for (std::size_t index = 0; index < part.tables.size(); ++index) {
        SimResults& total = merged.tables[index].results;
        if (!joinCoverage(total.coverage, part.tables[index].results.coverage)) {
            error = "counts deals that an earlier file counts already";
            return false;
        }
        addSummary(total.summary, part.tables[index].results.summary);
    }
    merged.interrupted = merged.interrupted || part.interrupted;
    merged.seconds += part.seconds;
    ++merged.mergedFiles;
    return true;
}

} // namespace pellaro
