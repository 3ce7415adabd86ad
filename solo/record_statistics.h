#pragma once

#include "results_file.h"
#include "strengths.h"

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace pellaro {

// The games whose record is told together: one strength, one table size,
// and one person or several, since people sharing a table win more easily.
struct RecordGroup {
    Strength strength = Strength::Easy;
    std::int32_t players = 2;
    bool severalPeople = false;

    bool operator==(const RecordGroup&) const = default;
};

// The group of a game read from the results file.
RecordGroup groupOf(const SoloResult& game);

// "Against Hard at four players", "Several people against Easy at three
// players".
std::string groupName(const RecordGroup& group);

// How many of the last games show the trend.
inline constexpr std::int32_t recentGames = 10;

// The people's record in a group, the games in the order they were played.
// A game is won when a person is among its winners; its score is the best
// person's, and its margin that score less the best computer player's, so
// that a game is won exactly when its margin is not below zero.
struct RecordFigures {
    std::int32_t games = 0;
    std::int32_t wins = 0;
    std::int64_t scoreSum = 0;
    std::int64_t marginSum = 0;
    // Games won in a row at the end, and the most ever.
    std::int32_t streak = 0;
    std::int32_t bestStreak = 0;
    // The last recentGames games, or all when fewer, and their wins.
    std::int32_t recent = 0;
    std::int32_t recentWins = 0;
};

RecordFigures figuresOf(const std::vector<SoloResult>& games, const RecordGroup& group);

// The record of every group with games, within 80 columns; the games must
// be some.
std::vector<std::string> recordLines(const std::vector<SoloResult>& games);

// pellaro-solo --stats: the record from the results file of the folder, or
// a line saying why there is none; warnings go to `warnings`. The file is
// only read. Returns the exit status: 1 when the file cannot be read.
int showRecord(const std::filesystem::path& folder, std::ostream& out, std::ostream& warnings);

} // namespace pellaro
