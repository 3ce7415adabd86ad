#pragma once

#include "load_person.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace pellaro::load {

// The end of the load run: each table's game replayed with the game's own
// rules, and the fault run's moves as the server stored them.

// A table as the server's database holds it.
struct StoredGame {
    std::uint64_t seed = 0;
    bool closed = false;
    std::vector<ChosenMove> moves{};
};

// Every table of the database at `path`, by code; nothing, with the reason,
// when it cannot be read.
std::optional<std::map<std::string, StoredGame>> readStore(const std::string& path,
                                                           std::string& why);

// The moves of a table as its people were told them.
std::vector<ChosenMove> chosenMoves(const std::vector<ToldMove>& told);

// Replays `moves` on the deal of `seed`: each told move's seat and drawn
// card, the game's end at the last move and no sooner, and every score told.
// Nothing when all agree, else the first difference.
std::optional<std::string> replayDifference(const TableSeen& table, std::uint64_t seed,
                                            const std::vector<ChosenMove>& moves);

} // namespace pellaro::load
