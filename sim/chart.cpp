#include "summary.h"

#include <algorithm>
#include <array>

namespace {

constexpr double width = 900;
constexpr double height = 760;
constexpr double left = 80;
constexpr double right = 820;
// The two panels' plotting areas, top to bottom. Attributes are quoted with
// apostrophes, which XML allows, so that the strings below need no escapes.
constexpr double sharesTop = 90;
constexpr double sharesBottom = 330;
constexpr double scoresTop = 440;
constexpr double scoresBottom = 680;

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
        case '"':
            out += "&quot;";
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

std::string line(double x1, double y1, double x2, double y2, const char* style) {
    return printed("<line x1='%.1f' y1='%.1f' x2='%.1f' y2='%.1f' %s/>\n", x1, y1, x2, y2, style);
}

// A value axis on the left of a panel from 0 to `top`, with `steps` ticks.
std::string valueAxis(double panelTop, double panelBottom, double top, int steps, bool asPercent) {
    std::string svg = line(left, panelTop, left, panelBottom, "stroke='#000'");
    for (int step = 0; step <= steps; ++step) {
        const double value = top * step / steps;
        const double y = panelBottom - (panelBottom - panelTop) * step / steps;
        svg += line(left, y, right, y, "stroke='#ddd'");
        svg += label(left - 6, y + 4,
                     asPercent ? printed("%.0f%%", 100 * value) : printed("%.2f%%", 100 * value),
                     "end", 11);
    }
    return svg;
}

// Rounds up to a round step for an axis: 1, 2 or 5 times a power of ten.
double roundedUp(double value) {
    constexpr std::array<double, 3> steps = {1, 2, 5};
    double power = 1e-4;
    while (value > 5 * power) {
        power *= 10;
    }
    return power * *std::find_if(steps.begin(), steps.end(),
                                 [&](double step) { return value <= step * power; });
}

std::string sharesPanel(const SimResults& results, const Figures& figures) {
    const SimConfig& config = results.config;
    const double fair = 1.0 / config.players;
    double highest = fair;
    for (const TallyFigures& seat : figures.seats) {
        highest = std::max(highest, seat.winInterval.value_or(Interval{0, seat.winShare}).high);
    }
    const double top = roundedUp(highest * 1.1);
    const auto yOf = [&](double share) {
        return sharesBottom - (sharesBottom - sharesTop) * share / top;
    };
    std::string svg = label(width / 2, sharesTop - 20,
                            "Win share by seat, with its 95% Wilson interval", "middle", 15);
    svg += valueAxis(sharesTop, sharesBottom, top, 5, true);
    const double slot = (right - left) / config.players;
    for (std::int32_t seat = 0; seat < config.players; ++seat) {
        const TallyFigures& shown = figures.seats[seat];
        const double centre = left + slot * (seat + 0.5);
        const double barWidth = slot * 0.5;
        const double y = yOf(shown.winShare);
        svg += printed("<rect x='%.1f' y='%.1f' width='%.1f' height='%.1f' "
                       "fill='#6baed6'/>\n",
                       centre - barWidth / 2, y, barWidth, sharesBottom - y);
        const Interval interval =
            shown.winInterval.value_or(Interval{shown.winShare, shown.winShare});
        const double low = yOf(interval.low);
        const double high = yOf(interval.high);
        const char* whisker = "stroke='#000' stroke-width='1.5'";
        svg += line(centre, low, centre, high, whisker);
        svg += line(centre - 8, low, centre + 8, low, whisker);
        svg += line(centre - 8, high, centre + 8, high, whisker);
        svg += label(centre, sharesBottom + 18, printed("Seat %d", seat + 1));
        svg +=
            label(centre, sharesBottom + 33,
                  config.rotate ? std::string("(rotating)") : botNameIn(config, config.seats[seat]),
                  "middle", 11);
        svg +=
            label(centre, sharesBottom + 48, printed("%.1f%%", 100 * shown.winShare), "middle", 11);
    }
    svg += line(left, yOf(fair), right, yOf(fair), "stroke='#888' stroke-dasharray='6 4'");
    svg += label(right + 4, yOf(fair) + 4, "fair share", "start", 11);
    return svg;
}

std::string scoresPanel(const SimResults& results) {
    const Summary& summary = results.summary;
    const std::vector<BotSettings> bots = distinctBots(results.config);
    double highest = 0;
    for (std::size_t bot = 0; bot < bots.size(); ++bot) {
        const auto games = static_cast<double>(std::max<std::int64_t>(summary.bots[bot].games, 1));
        for (const std::int64_t count : summary.scoreCounts[bot]) {
            highest = std::max(highest, static_cast<double>(count) / games);
        }
    }
    const double top = roundedUp(highest * 1.1);
    const auto xOf = [](double score) {
        return left + (right - left) * (score - lowestScore) / (highestScore - lowestScore);
    };
    std::string svg =
        label(width / 2, scoresTop - 20,
              "Final scores of each bot: share of its games ending on each score", "middle", 15);
    svg += valueAxis(scoresTop, scoresBottom, top, 4, false);
    svg += line(left, scoresBottom, right, scoresBottom, "stroke='#000'");
    for (int score = -80; score <= 80; score += 20) {
        svg += line(xOf(score), scoresBottom, xOf(score), scoresBottom + 5, "stroke='#000'");
        svg += label(xOf(score), scoresBottom + 18, printed("%d", score), "middle", 11);
    }
    svg += label(width / 2, scoresBottom + 38, "final score");
    for (std::size_t bot = 0; bot < bots.size(); ++bot) {
        const auto games = static_cast<double>(std::max<std::int64_t>(summary.bots[bot].games, 1));
        std::string points;
        for (std::int32_t bin = 0; bin < scoreBins; ++bin) {
            const double share = static_cast<double>(summary.scoreCounts[bot][bin]) / games;
            const double y = scoresBottom - (scoresBottom - scoresTop) * share / top;
            points += printed("%s%.1f,%.1f", bin == 0 ? "" : " ", xOf(bin + lowestScore), y);
        }
        svg += printed("<polyline fill='none' stroke='%s' stroke-width='1.5' points='",
                       botColours[bot]) +
               points + "'/>\n";
        const double legendY = scoresTop + 16 + 16 * static_cast<double>(bot);
        svg += line(right - 230, legendY - 4, right - 205, legendY - 4,
                    printed("stroke='%s' stroke-width='3'", botColours[bot]).c_str());
        std::string name = botNameIn(results.config, bots[bot]);
        if (!isFair(bots[bot].strategy)) {
            name += " (reads the deck)";
        }
        svg += label(right - 200, legendY, name, "start", 12);
    }
    return svg;
}

} // namespace

std::string svgChart(const SimResults& results, const Figures& figures) {
    std::string svg = printed("<?xml version='1.0' encoding='UTF-8'?>\n"
                              "<svg xmlns='http://www.w3.org/2000/svg' width='%.0f' "
                              "height='%.0f' viewBox='0 0 %.0f %.0f' "
                              "font-family='sans-serif'>\n",
                              width, height, width, height);
    svg += "<rect width='100%' height='100%' fill='#fff'/>\n";
    const SimConfig& config = results.config;
    svg += label(width / 2, 28,
                 printed("Pellaro: %d players, %lld games, seed %llu, bots ", config.players,
                         static_cast<long long>(results.summary.games),
                         static_cast<unsigned long long>(config.seed)) +
                     botList(config) + (config.rotate ? ", seats rotated" : "") +
                     (results.interrupted ? " (partial)" : ""),
                 "middle", 16);
    svg += sharesPanel(results, figures);
    svg += scoresPanel(results);
    svg += "</svg>\n";
    return svg;
}
