#pragma once

#include "results_file.h"
#include "strengths.h"

#include <compare>
#include <cstdint>
#include <string>
#include <vector>

namespace pellaro {

// The games whose record is told together: one strength, one table size,
// and one person or several, since people sharing a table win more easily.
struct RecordGroup {
    Strength strength = Strength::Easy;
    std::int32_t players = 2;
    bool severalPeople = false;

    auto operator<=>(const RecordGroup&) const = default;
};

// The group of a game read from the results file.
RecordGroup groupOf(const SoloResult& game);

// "Against Hard at four players", "Several people against Easy at three
// players".
std::string groupName(const RecordGroup& group);

// The people's record in a group; a game is won when a person is among its
// winners.
struct RecordFigures {
    std::int32_t games = 0;
    std::int32_t wins = 0;
};

RecordFigures figuresOf(const std::vector<SoloResult>& games, const RecordGroup& group);

} // namespace pellaro
