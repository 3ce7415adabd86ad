#include "summary.h"

#include <algorithm>
#include <sstream>
#include <vector>

namespace pellaro {

namespace {

constexpr std::size_t reportWidth = 80;

std::string percent(double share) {
    return printed("%.2f%%", 100 * share);
}

std::string counted(std::int64_t count, const char* thing) {
    return printed("%lld %s%s", static_cast<long long>(count), thing, count == 1 ? "" : "s");
}

// Free text folded at the report's width after a heading kept as it is, the
// lines after the first indented as wide as the heading.
std::string wrapped(const std::string& text, const std::string& heading = "") {
    std::istringstream words(text);
    std::string out;
    std::string line = heading;
    bool fresh = true;
    for (std::string word; words >> word;) {
        if (!fresh && line.size() + 1 + word.size() > reportWidth) {
            out += line + "\n";
            line = std::string(heading.size(), ' ');
            fresh = true;
        }
        line += (fresh ? "" : " ") + word;
        fresh = false;
    }
    return out + line + "\n";
}

std::string intervalText(const std::optional<Interval>& interval, bool asPercent) {
    if (!interval) {
        return "none";
    }
    return asPercent ? percent(interval->low) + " to " + percent(interval->high)
                     : printed("%.2f to %.2f", interval->low, interval->high);
}

// The first column of the tables: "1 greedy" by seat, "clairvoyant*" by bot.
struct NameColumn {
    std::vector<std::string> seats;
    std::vector<std::string> bots;
    bool readsDeck = false;
    int width = 13;
};

NameColumn nameColumn(const SimConfig& config) {
    NameColumn column;
    for (std::size_t seat = 0; seat < config.seats.size(); ++seat) {
        const std::string bot =
            config.rotate ? std::string("(rotating)") : botName(config.seats[seat], config.budget);
        column.seats.push_back(printed("%zu %s", seat + 1, bot.c_str()));
    }
    for (const BotSettings& bot : distinctBots(config)) {
        column.bots.push_back(botName(bot, config.budget) + (readsTheDeck(bot) ? "*" : ""));
        column.readsDeck = column.readsDeck || readsTheDeck(bot);
    }
    for (const auto* names : {&column.seats, &column.bots}) {
        for (const std::string& name : *names) {
            column.width = std::max(column.width, static_cast<int>(name.size()));
        }
    }
    return column;
}

// Two tables of the same rows, wins then scores, so that each fits the width.
std::string tables(const NameColumn& column, const char* first,
                   const std::vector<std::string>& names, const std::vector<TallyFigures>& rows) {
    const int w = column.width;
    std::string text = "\n" + printed("%-*s %10s %9s  %-18s %8s\n", w, first, "games", "win share",
                                      "95% interval", "outright");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TallyFigures& row = rows[i];
        text += printed("%-*s %10lld %9s  %-18s %8lld\n", w, names[i].c_str(),
                        static_cast<long long>(row.games), percent(row.winShare).c_str(),
                        intervalText(row.winInterval, true).c_str(),
                        static_cast<long long>(row.outrightWins));
    }
    text += "\n" + printed("%-*s %10s  %-18s %10s\n", w, first, "mean score", "95% interval",
                           "mean place");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TallyFigures& row = rows[i];
        text += printed("%-*s %10.2f  %-18s %10.2f\n", w, names[i].c_str(), row.meanScore,
                        intervalText(row.scoreInterval, false).c_str(), row.meanPlace);
    }
    return text;
}

std::string lengthLine(const char* name, const LengthFigures& figures) {
    return printed("%-18s %.2f per game (%d to %d)\n", name, figures.mean, figures.least,
                   figures.most);
}

// "deals 0 to 249 and 500 to 749".
std::string coverageText(const Coverage& coverage) {
    if (coverage.empty()) {
        return "no deals";
    }
    std::string text = "deals ";
    for (std::size_t i = 0; i < coverage.size(); ++i) {
        if (i > 0) {
            text += i + 1 == coverage.size() ? " and " : ", ";
        }
        text += std::to_string(coverage[i].first) + " to " + std::to_string(coverage[i].end - 1);
    }
    return text;
}

std::string headline(const SimResults& results) {
    const SimConfig& config = results.config;
    std::string text =
        printed("Pellaro simulation: %d players, seed %llu, budget %d\n", config.players,
                static_cast<unsigned long long>(config.seed), config.budget);
    text += wrapped("Bots by seat: " + botList(config));
    text += wrapped(counted(config.deals, "deal") +
                    (config.rotate
                         ? printed(", each played in all %d rotations of the seats", config.players)
                         : std::string(", one game each")) +
                    "; this report counts " + coverageText(results.coverage) + ": " +
                    counted(results.summary.games, "game"));
    if (results.interrupted) {
        text += wrapped(std::string("PARTIAL: stopped by ") +
                        (results.botFailure.empty() ? "a signal" : "a bot's failure") +
                        "; only the deals finished before it, in order, count");
    }
    return text;
}

std::string seatOneLine(const SimResults& results, const Figures& figures) {
    if (!figures.seatsComparable) {
        return wrapped("not given: the seats hold different bots, so their win shares measure "
                       "the bots; --rotate makes the seats comparable",
                       printed("%-18s ", "Seat 1 advantage"));
    }
    std::string text =
        printed("%-18s %+.2f%% over the fair share of %s\n", "Seat 1 advantage",
                100 * figures.seatOneAdvantage, percent(1.0 / results.config.players).c_str());
    if (figures.seatOneInterval) {
        text += printed("%-18s 95%% interval %+.2f%% to %+.2f%%\n", "",
                        100 * figures.seatOneInterval->low, 100 * figures.seatOneInterval->high);
    }
    return text;
}

std::string gameFigures(const SimResults& results, const Figures& figures) {
    std::string text = "\n" + seatOneLine(results, figures);
    text += printed("%-18s %.4f (1 less the widest gap between seats' win shares)\n", "Balance",
                    figures.balance);
    text += lengthLine("Rounds", figures.rounds);
    text += lengthLine("Cards drawn", figures.cardsDrawn);
    text += lengthLine("Turns", figures.turns);
    text += printed("%-18s %s of games have several winners\n", "Ties",
                    percent(figures.tieRate).c_str());
    text += printed("%-18s %.2f points from bottom score to top score, on average\n",
                    "Score spread", figures.meanSpread);
    return text;
}

std::string throughput(const SimResults& results) {
    const Timing& timing = results.timing;
    const double rate =
        timing.seconds > 0 ? static_cast<double>(results.summary.games) / timing.seconds : 0;
    if (timing.mergedSummaries > 0) {
        return printed("%-18s %.0f games/s over the %.2f s the %d summaries took\n", "Throughput",
                       rate, timing.seconds, timing.mergedSummaries);
    }
    return printed("%-18s %.0f games/s (%.2f s on %d thread%s)\n", "Throughput", rate,
                   timing.seconds, timing.threads, timing.threads == 1 ? "" : "s");
}

} // namespace

std::string reportTable(const SimResults& results, const Figures& figures) {
    std::string text = headline(results);
    if (results.summary.games == 0) {
        return text + "No game was finished.\n";
    }
    const NameColumn column = nameColumn(results.config);
    text += tables(column, "seat", column.seats, figures.seats);
    text += tables(column, "bot", column.bots, figures.bots);
    if (column.readsDeck) {
        text += "* reads the order of the deck: the ceiling to measure against, not a fair "
                "player\n";
    }
    text += wrapped("Ties split a win evenly, and tied players share the mean of their places. "
                    "The intervals take a deal's games as one sample of the bots' play.");
    if (results.summary.deals < 2) {
        text += "There is no interval from one deal: nothing shows how much deals vary.\n";
    }
    text += gameFigures(results, figures);
    text += throughput(results);
    return text;
}

} // namespace pellaro
