#include "summary.h"
#include "tournament.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

namespace pellaro {

namespace {

// Attributes are quoted with apostrophes, which XML allows, so that the
// strings below need no escapes.
constexpr double width = 900;
constexpr double left = 90;
constexpr double right = 800;
constexpr double panelHeight = 200;
// From a panel's top to the next one's: its title, its plot and its labels.
constexpr double panelStep = panelHeight + 130;

constexpr std::array<const char*, maxPlayers> botColours = {"#1f77b4", "#d62728", "#2ca02c",
                                                            "#9467bd", "#ff7f0e"};

std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string label(double x, double y, const std::string& text, const char* anchor = "middle",
                  int size = 12) {
    return printed("<text x='%.1f' y='%.1f' font-size='%d' text-anchor='%s'>", x, y, size, anchor) +
           escaped(text) + "</text>\n";
}

std::string line(double x1, double y1, double x2, double y2, const std::string& style) {
    return printed("<line x1='%.1f' y1='%.1f' x2='%.1f' y2='%.1f' ", x1, y1, x2, y2) + style +
           "/>\n";
}

// The picture's opening, white, the full width and `height` tall.
std::string pictureStart(double height) {
    return printed("<?xml version='1.0' encoding='UTF-8'?>\n"
                   "<svg xmlns='http://www.w3.org/2000/svg' width='%.0f' "
                   "height='%.0f' viewBox='0 0 %.0f %.0f' "
                   "font-family='sans-serif'>\n",
                   width, height, width, height) +
           "<rect width='100%' height='100%' fill='#fff'/>\n";
}

// A round step for an axis over `span`: 1, 2 or 5 times a power of ten,
// giving four to ten ticks.
double tickStep(double span) {
    const double power = std::pow(10.0, std::floor(std::log10(std::max(span, 1e-9) / 4)));
    constexpr std::array<double, 4> steps = {1, 2, 5, 10};
    return power * *std::find_if(steps.begin(), steps.end() - 1,
                                 [&](double step) { return span / (step * power) <= 10; });
}

// A value axis from `low` to `high` widened to whole ticks.
struct Axis {
    double low = 0;
    double high = 1;
    double step = 0.1;
};

// The data run from `from` to `to`; the axis never passes `floor` or `ceiling`.
Axis axisOver(double from, double to, double floor, double ceiling) {
    const double margin = std::max((to - from) * 0.1, 1e-3);
    Axis axis;
    axis.step = tickStep(to - from + 2 * margin);
    axis.low = std::max(floor, std::floor((from - margin) / axis.step) * axis.step);
    axis.high = std::min(ceiling, std::ceil((to + margin) / axis.step) * axis.step);
    return axis;
}

// The axis's ticks, counted whole so that rounding adds none and drops none.
std::vector<double> ticksOf(const Axis& axis) {
    const auto count = std::lround((axis.high - axis.low) / axis.step);
    std::vector<double> ticks;
    for (long tick = 0; tick <= count; ++tick) {
        ticks.push_back(axis.low + static_cast<double>(tick) * axis.step);
    }
    return ticks;
}

// A panel's title, its grid of shares and its left axis.
template <typename Place>
std::string panelFrame(double top, const std::string& title, const Axis& axis, const Place& yOf,
                       const char* format) {
    std::string svg = label(width / 2, top - 16, title, "middle", 15);
    for (const double tick : ticksOf(axis)) {
        svg += line(left, yOf(tick), right, yOf(tick), "stroke='#e4e4e4'");
        svg += label(left - 6, yOf(tick) + 4, printed(format, 100 * tick), "end", 11);
    }
    return svg + line(left, top, left, top + panelHeight, "stroke='#000'");
}

// One panel of win shares, a dot and its 95 % interval per seat or bot,
// scaled to the shares and intervals shown, with the fair share marked.
struct ShareItem {
    std::string name;
    std::string note;
    const TallyFigures* figures = nullptr;
    const char* colour = "#333";
};

std::string sharesPanel(double top, const std::string& title, const std::vector<ShareItem>& items,
                        double fair) {
    double low = fair;
    double high = fair;
    for (const ShareItem& item : items) {
        const Interval interval = item.figures->winInterval.value_or(
            Interval{item.figures->winShare, item.figures->winShare});
        low = std::min(low, interval.low);
        high = std::max(high, interval.high);
    }
    const Axis axis = axisOver(low, high, 0, 1);
    const double bottom = top + panelHeight;
    const auto yOf = [&](double share) {
        return bottom - panelHeight * (share - axis.low) / (axis.high - axis.low);
    };
    std::string svg = panelFrame(top, title, axis, yOf, axis.step < 0.01 ? "%.1f%%" : "%.0f%%");
    svg += line(left, yOf(fair), right, yOf(fair), "stroke='#555' stroke-dasharray='6 4'");
    svg += label(right + 4, yOf(fair) + 4, printed("fair %.1f%%", 100 * fair), "start", 11);
    const double slot = (right - left) / static_cast<double>(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        const ShareItem& item = items[i];
        const double x = left + slot * (static_cast<double>(i) + 0.5);
        const double share = item.figures->winShare;
        if (item.figures->winInterval) {
            const double a = yOf(item.figures->winInterval->low);
            const double b = yOf(item.figures->winInterval->high);
            // Never thinner than the dot, so that a narrow interval still shows.
            const double half = std::max((a - b) / 2, 7.0);
            const double mid = (a + b) / 2;
            const std::string style = printed("stroke='%s' stroke-width='3'", item.colour);
            svg += std::string("<g class='interval'>") + line(x, mid - half, x, mid + half, style) +
                   line(x - 12, mid - half, x + 12, mid - half, style) +
                   line(x - 12, mid + half, x + 12, mid + half, style) + "</g>\n";
        }
        svg += printed("<circle class='share' cx='%.1f' cy='%.1f' r='5' fill='%s'/>\n", x,
                       yOf(share), item.colour);
        svg += label(x, bottom + 18, item.name);
        svg += label(x, bottom + 33, item.note, "middle", 11);
        svg += label(x, bottom + 48, printed("%.1f%%", 100 * share), "middle", 11);
    }
    return svg;
}

// Each bot's final scores as the share of its games ending on each score,
// over the scores that occurred.
std::string scoresPanel(double top, const SimResults& results) {
    const Summary& summary = results.summary;
    const std::vector<BotSettings> bots = distinctBots(results.config);
    std::int32_t first = highestScore;
    std::int32_t last = lowestScore;
    double highest = 0;
    for (std::size_t bot = 0; bot < bots.size(); ++bot) {
        const auto games = static_cast<double>(std::max<std::int64_t>(summary.bots[bot].games, 1));
        for (std::int32_t bin = 0; bin < scoreBins; ++bin) {
            const std::int64_t count = summary.scoreCounts[bot][bin];
            if (count > 0) {
                first = std::min(first, bin + lowestScore);
                last = std::max(last, bin + lowestScore);
                highest = std::max(highest, static_cast<double>(count) / games);
            }
        }
    }
    const Axis xAxis = axisOver(first, last, lowestScore, highestScore);
    const Axis yAxis = axisOver(0, highest, 0, 1);
    const double bottom = top + panelHeight;
    const auto xOf = [&](double score) {
        return left + (right - left) * (score - xAxis.low) / (xAxis.high - xAxis.low);
    };
    const auto yOf = [&](double share) { return bottom - panelHeight * share / yAxis.high; };
    std::string svg =
        panelFrame(top, "Final scores of each bot: share of its games ending on each score", yAxis,
                   yOf, "%.1f%%");
    svg += line(left, bottom, right, bottom, "stroke='#000'");
    for (const double score : ticksOf(xAxis)) {
        svg += line(xOf(score), bottom, xOf(score), bottom + 5, "stroke='#000'");
        svg += label(xOf(score), bottom + 18, printed("%.0f", score), "middle", 11);
    }
    svg += label(width / 2, bottom + 38, "final score");
    for (std::size_t bot = 0; bot < bots.size(); ++bot) {
        const auto games = static_cast<double>(std::max<std::int64_t>(summary.bots[bot].games, 1));
        std::string points;
        for (auto score = static_cast<std::int32_t>(xAxis.low); score <= xAxis.high; ++score) {
            const double share =
                static_cast<double>(summary.scoreCounts[bot][score - lowestScore]) / games;
            points += printed("%s%.1f,%.1f", points.empty() ? "" : " ", xOf(score), yOf(share));
        }
        svg += printed("<polyline fill='none' stroke='%s' stroke-width='1.5' points='",
                       botColours[bot]) +
               points + "'/>\n";
        const double legendY = top + 16 + 16 * static_cast<double>(bot);
        svg += line(right - 230, legendY - 4, right - 205, legendY - 4,
                    printed("stroke='%s' stroke-width='3'", botColours[bot]));
        svg += label(right - 200, legendY,
                     botName(bots[bot], results.config.budget) +
                         (readsTheDeck(bots[bot]) ? " (reads the deck)" : ""),
                     "start", 12);
    }
    return svg;
}

} // namespace

std::string svgChart(const SimResults& results, const Figures& figures) {
    const SimConfig& config = results.config;
    const std::vector<BotSettings> bots = distinctBots(config);
    const double fair = 1.0 / config.players;
    std::vector<ShareItem> seats;
    for (std::size_t seat = 0; seat < figures.seats.size(); ++seat) {
        seats.push_back(
            {printed("Seat %zu", seat + 1),
             config.rotate ? std::string("(rotating)") : botName(config.seats[seat], config.budget),
             &figures.seats[seat], "#333"});
    }
    std::vector<ShareItem> botItems;
    for (std::size_t bot = 0; bot < bots.size(); ++bot) {
        botItems.push_back({botName(bots[bot], config.budget),
                            readsTheDeck(bots[bot]) ? "(reads the deck)" : "", &figures.bots[bot],
                            botColours[bot]});
    }
    // The bots get a panel of their own whenever they differ.
    const double panels = bots.size() > 1 ? 3 : 2;
    const double height = 70 + panels * panelStep;
    std::string svg = pictureStart(height);
    svg += label(width / 2, 28,
                 printed("Pellaro: %d players, %lld games, seed %llu, bots ", config.players,
                         static_cast<long long>(results.summary.games),
                         static_cast<unsigned long long>(config.seed)) +
                     botList(config) + (config.rotate ? ", seats rotated" : "") +
                     (results.interrupted ? " (partial)" : ""),
                 "middle", 16);
    double top = 100;
    svg += sharesPanel(top, "Win share by seat, with its 95% interval", seats, fair);
    if (bots.size() > 1) {
        top += panelStep;
        svg += sharesPanel(top, "Win share by bot, with its 95% interval", botItems, fair);
    }
    svg += scoresPanel(top + panelStep, results);
    svg += "</svg>\n";
    return svg;
}

std::string tournamentChart(const Tournament& tournament, const TournamentFigures& figures) {
    const TournamentConfig& config = tournament.config;
    const Ratings& ratings = figures.ratings;
    const std::size_t count = config.bots.size();
    const std::vector<std::size_t> order = rankingOf(figures);
    double low = 0;
    double high = 0;
    for (std::size_t bot = 0; bot < count; ++bot) {
        const double rating = eloPoints(ratings.strength[bot]);
        const double spread = 1.96 * eloPoints(ratings.deviation[bot]);
        low = std::min(low, rating - spread);
        high = std::max(high, rating + spread);
    }
    // Bots down the left, the rating scale along the bottom.
    constexpr double nameRight = 330;
    constexpr double rowHeight = 34;
    const double top = 80;
    const double bottom = top + rowHeight * static_cast<double>(count);
    const double height = bottom + 70;
    const Axis axis = axisOver(low, high, -1e9, 1e9);
    const auto xOf = [&](double rating) {
        return nameRight + 20 +
               (right - nameRight - 20) * (rating - axis.low) / (axis.high - axis.low);
    };
    std::string svg = pictureStart(height);
    svg += label(width / 2, 28,
                 printed("Pellaro tournament: %zu bots, %d players, seed %llu", count,
                         config.players, static_cast<unsigned long long>(config.seed)) +
                     (tournament.interrupted ? " (partial)" : ""),
                 "middle", 16);
    svg += label(width / 2, 52, "Rating with its 95% interval, 400 points for ten to one", "middle",
                 13);
    for (const double tick : ticksOf(axis)) {
        svg += line(xOf(tick), top - 8, xOf(tick), bottom, "stroke='#e4e4e4'");
        svg += label(xOf(tick), bottom + 18, printed("%+.0f", tick), "middle", 11);
    }
    svg += line(xOf(0), top - 8, xOf(0), bottom, "stroke='#555' stroke-dasharray='6 4'");
    for (std::size_t rank = 0; rank < count; ++rank) {
        const std::size_t bot = order[rank];
        const double y = top + rowHeight * (static_cast<double>(rank) + 0.5);
        const double rating = eloPoints(ratings.strength[bot]);
        const double spread = 1.96 * eloPoints(ratings.deviation[bot]);
        std::string name = botName(config.bots[bot], config.budget);
        if (name.size() > 44) {
            name.resize(41);
            name += "...";
        }
        svg += label(nameRight, y + 4, printed("%zu. ", rank + 1) + name, "end", 12);
        const std::string style = printed("stroke='%s' stroke-width='3'", "#1f77b4");
        svg += std::string("<g class='interval'>") +
               line(xOf(rating - spread), y, xOf(rating + spread), y, style) + "</g>\n";
        svg += printed("<circle class='rating' cx='%.1f' cy='%.1f' r='5' fill='#1f77b4'/>\n",
                       xOf(rating), y);
    }
    svg += label(width / 2, bottom + 42, "rating");
    svg += "</svg>\n";
    return svg;
}

} // namespace pellaro
