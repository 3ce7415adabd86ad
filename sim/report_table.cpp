#include "report_table.h"

#include "figures.h"
#include "text_format.h"

#include <algorithm>
#include <vector>

namespace {

std::string percent(double share) {
    return printed("%.2f%%", 100 * share);
}

// The first column widens for long bot names, such as montecarlo:20000.
std::string tableHeading(int nameWidth, const char* first) {
    return printed("%-*s %10s %9s  %-16s %8s %10s  %-16s %10s\n", nameWidth, first, "games",
                   "win share", "95% interval", "outright", "mean score", "95% interval",
                   "mean place");
}

std::string tableLine(int nameWidth, const std::string& name, const TallyFigures& figures) {
    if (figures.games == 0) {
        return printed("%-*s %10lld\n", nameWidth, name.c_str(),
                       static_cast<long long>(figures.games));
    }
    const std::string shareInterval =
        percent(figures.winInterval.low) + " to " + percent(figures.winInterval.high);
    const std::string scoreInterval =
        printed("%.2f to %.2f", figures.scoreInterval.low, figures.scoreInterval.high);
    return printed("%-*s %10lld %9s  %-16s %8lld %10.2f  %-16s %10.2f\n", nameWidth, name.c_str(),
                   static_cast<long long>(figures.games), percent(figures.winShare).c_str(),
                   shareInterval.c_str(), static_cast<long long>(figures.outrightWins),
                   figures.meanScore, scoreInterval.c_str(), figures.meanPlace);
}

std::string lengthLine(const char* name, const LengthFigures& figures) {
    return printed("%-18s %.2f per game (%d to %d)\n", name, figures.mean, figures.least,
                   figures.most);
}

std::string headline(const SimResults& results) {
    const SimConfig& config = results.config;
    std::string text = printed("Pellaro simulation: %d players, bots ", config.players) +
                       botList(config) +
                       printed(", seed %llu, budget %d\n",
                               static_cast<unsigned long long>(config.seed), config.budget);
    text += printed("%lld deals", static_cast<long long>(config.deals));
    text += config.rotate
                ? printed(", each played in all %d rotations of the seats", config.players)
                : std::string(", one game each");
    text += "; this report counts " + coverageText(results.coverage) +
            printed(": %lld games\n", static_cast<long long>(results.summary.games));
    if (results.interrupted) {
        text += "PARTIAL: stopped by Ctrl-C; only the deals finished before it, in order, count\n";
    }
    return text;
}

// The first column of both tables: "1 greedy" by seat, "clairvoyant*" by bot.
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
            config.rotate ? std::string("(rotating)") : botNameIn(config, config.seats[seat]);
        column.seats.push_back(printed("%zu %s", seat + 1, bot.c_str()));
    }
    for (const BotSettings& bot : distinctBots(config)) {
        column.bots.push_back(botNameIn(config, bot) + (bot.entry->fair ? "" : "*"));
        column.readsDeck = column.readsDeck || !bot.entry->fair;
    }
    for (const auto* names : {&column.seats, &column.bots}) {
        for (const std::string& name : *names) {
            column.width = std::max(column.width, static_cast<int>(name.size()));
        }
    }
    return column;
}

std::string botTables(const SimResults& results, const Figures& figures) {
    const NameColumn column = nameColumn(results.config);
    std::string text = "\n" + tableHeading(column.width, "seat");
    for (std::size_t seat = 0; seat < figures.seats.size(); ++seat) {
        text += tableLine(column.width, column.seats[seat], figures.seats[seat]);
    }
    text += "\n" + tableHeading(column.width, "bot");
    for (std::size_t bot = 0; bot < figures.bots.size(); ++bot) {
        text += tableLine(column.width, column.bots[bot], figures.bots[bot]);
    }
    if (column.readsDeck) {
        text +=
            "* reads the order of the deck: the ceiling to measure against, not a fair player\n";
    }
    return text;
}

std::string gameFigures(const SimResults& results, const Figures& figures) {
    const double fair = 1.0 / results.config.players;
    std::string text = "\n";
    text += printed("%-18s %+.2f%% (95%% interval %+.2f%% to %+.2f%%) beyond the fair %s\n",
                    "Seat 1 advantage", 100 * figures.seatOneAdvantage,
                    100 * figures.seatOneInterval.low, 100 * figures.seatOneInterval.high,
                    percent(fair).c_str());
    text += printed("%-18s %.4f (1 less the largest gap between two seats' win shares)\n",
                    "Balance", figures.balance);
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
        return printed("%-18s %.0f games/s over the %.2f s the %d summaries took together\n",
                       "Throughput", rate, timing.seconds, timing.mergedSummaries);
    }
    return printed("%-18s %.0f games/s (%.2f s on %d thread%s)\n", "Throughput", rate,
                   timing.seconds, timing.threads, timing.threads == 1 ? "" : "s");
}

} // namespace

std::string reportTable(const SimResults& results) {
    const Figures figures = figuresOf(results.config, results.summary);
    std::string text = headline(results);
    if (results.summary.games == 0) {
        return text + "No game was finished.\n";
    }
    text += botTables(results, figures);
    text += "Ties split a win evenly, and tied players share the mean of their places. The\n"
            "intervals count a deal's games as one sample of the bots' play.\n";
    text += gameFigures(results, figures);
    text += throughput(results);
    return text;
}
