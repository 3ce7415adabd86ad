#include "record_statistics.h"

#include "../engine/game_state.h"
#include "../sim/statistics.h"
#include "person_moves.h"
#include "seating.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <tuple>

namespace pellaro {

namespace {

const std::array<const char*, maxPlayers + 1> numberWords = {"no",    "one",  "two",
                                                             "three", "four", "five"};

// The best person's score less the best computer player's.
std::int64_t marginOf(const SoloResult& game) {
    const auto people = game.scores.begin() + game.people;
    return std::int64_t{*std::max_element(game.scores.begin(), people)} -
           *std::max_element(people, game.scores.end());
}

std::string countOf(std::int32_t count, const char* thing) {
    return std::to_string(count) + ' ' + thing + (count == 1 ? "" : "s");
}

double shareOf(std::int64_t part, std::int64_t whole) {
    return static_cast<double>(part) / static_cast<double>(whole);
}

void addGroupLines(std::vector<std::string>& lines, const RecordGroup& group,
                   const RecordFigures& figures) {
    const double share = shareOf(figures.wins, figures.games);
    const Interval interval = wilsonInterval(share, figures.games);
    lines.emplace_back();
    lines.push_back(groupName(group) + ": " + countOf(figures.games, "game"));
    lines.push_back("  Won " + std::to_string(figures.wins) + ": " + percent(share) +
                    " (95% interval " + percent(interval.low) + " to " + percent(interval.high) +
                    ')');
    lines.push_back("  Mean score " + tenths(shareOf(figures.scoreSum, figures.games)) +
                    "; mean margin " + signedTenths(shareOf(figures.marginSum, figures.games)));
    lines.push_back("  Winning streak " + std::to_string(figures.streak) + "; best " +
                    std::to_string(figures.bestStreak));
    const std::int32_t before = figures.games - figures.recent;
    if (before > 0) {
        lines.push_back("  Last " + std::to_string(figures.recent) + " games " +
                        percent(shareOf(figures.recentWins, figures.recent)) + " won; the " +
                        std::to_string(before) + " before " +
                        percent(shareOf(figures.wins - figures.recentWins, before)));
    }
}

} // namespace

RecordGroup groupOf(const SoloResult& game) {
    const std::optional<Strength> strength = strengthOfRecord(game.strength);
    assert(strength.has_value());
    return RecordGroup{*strength, game.players, game.people > 1};
}

std::string groupName(const RecordGroup& group) {
    assert(group.players >= minPlayers && group.players <= maxPlayers);
    return std::string(group.severalPeople ? "Several people against " : "Against ") +
           strengthName(group.strength) + " at " +
           numberWords[static_cast<std::size_t>(group.players)] + " players";
}

RecordFigures figuresOf(const std::vector<SoloResult>& games, const RecordGroup& group) {
    RecordFigures figures;
    std::vector<bool> won;
    for (const SoloResult& game : games) {
        if (groupOf(game) != group) {
            continue;
        }
        const std::int64_t margin = marginOf(game);
        won.push_back(margin >= 0);
        ++figures.games;
        figures.scoreSum +=
            *std::max_element(game.scores.begin(), game.scores.begin() + game.people);
        figures.marginSum += margin;
        figures.streak = won.back() ? figures.streak + 1 : 0;
        figures.bestStreak = std::max(figures.bestStreak, figures.streak);
    }
    figures.wins = static_cast<std::int32_t>(std::count(won.begin(), won.end(), true));
    figures.recent = std::min(figures.games, recentGames);
    figures.recentWins =
        static_cast<std::int32_t>(std::count(won.end() - figures.recent, won.end(), true));
    return figures;
}

std::vector<std::string> recordLines(const std::vector<SoloResult>& games) {
    assert(!games.empty());
    std::vector<RecordGroup> groups;
    for (const SoloResult& game : games) {
        const RecordGroup group = groupOf(game);
        if (std::find(groups.begin(), groups.end(), group) == groups.end()) {
            groups.push_back(group);
        }
    }
    // Weakest first, then by table size, one person before several.
    std::sort(groups.begin(), groups.end(), [](const RecordGroup& a, const RecordGroup& b) {
        return std::tie(a.strength, a.players, a.severalPeople) <
               std::tie(b.strength, b.players, b.severalPeople);
    });
    std::vector<std::string> lines = {
        "Your record from the results file, by strength and table size. The margin",
        "is your score less the best other score."};
    for (const RecordGroup& group : groups) {
        addGroupLines(lines, group, figuresOf(games, group));
    }
    if (std::any_of(groups.begin(), groups.end(),
                    [](const RecordGroup& group) { return group.severalPeople; })) {
        lines.emplace_back();
        lines.emplace_back(
            "With several people, a game is won when one of them wins; the score is the");
        lines.emplace_back("best of theirs, and the margin its lead over the computer players.");
    }
    return lines;
}

int showRecord(const std::filesystem::path& folder, std::ostream& out, std::ostream& warnings) {
    if (folder.empty()) {
        out << "No games recorded: neither XDG_DATA_HOME nor HOME is set.\n";
        return 0;
    }
    const ResultsRead read = readResultsIn(folder);
    const std::filesystem::path file = resultsFile(folder);
    if (!read.failure.empty()) {
        warnings << "pellaro-solo: cannot read " << file.string() << " (" << read.failure << ")\n";
        return 1;
    }
    if (!read.unread.empty()) {
        warnings << "pellaro-solo: " << unreadLinesWarning(file, read.unread) << "; not counted.\n";
    }
    if (!read.exists) {
        out << "No games recorded yet: there is no results file.\n";
    } else if (read.games.empty()) {
        out << "No games recorded yet: the results file holds none.\n";
    } else {
        for (const std::string& line : recordLines(read.games)) {
            out << line << '\n';
        }
    }
    return 0;
}

} // namespace pellaro
