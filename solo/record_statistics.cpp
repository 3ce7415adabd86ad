#include "record_statistics.h"

#include "../engine/game_state.h"
#include "seating.h"

#include <algorithm>
#include <array>
#include <cassert>

namespace pellaro {

namespace {

const std::array<const char*, maxPlayers + 1> numberWords = {"no",    "one",  "two",
                                                             "three", "four", "five"};

bool personWon(const SoloResult& game) {
    return std::any_of(game.winners.begin(), game.winners.end(),
                       [&game](std::int32_t seat) { return seat <= game.people; });
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
    for (const SoloResult& game : games) {
        if (groupOf(game) != group) {
            continue;
        }
        ++figures.games;
        figures.wins += personWon(game) ? 1 : 0;
    }
    return figures;
}

} // namespace pellaro
