#pragma once

#include <cstdint>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace pellaro {

// One finished game in the results file.
struct SoloResult {
    // When the game ended, UTC, as 2026-12-09T14:20:00Z.
    std::string date;
    std::int32_t players = 2;
    std::int32_t people = 1;
    // easy, medium or hard.
    std::string strength;
    std::uint32_t seed = 0;
    std::vector<std::int32_t> scores;
    // 1-based seats of the winners.
    std::vector<std::int32_t> winners;
};

// cppcheck-suppress unknownMacro
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(SoloResult, date, players, people, strength, seed, scores,
                                   winners)

// The folder of the results file: $XDG_DATA_HOME/pellaro when that is an
// absolute path, else $HOME/.local/share/pellaro; empty when neither is set.
std::filesystem::path resultsFolder();

// What adding a game found: every game recorded before it that could be read,
// and a line for each thing that went wrong, none of which stops the game.
struct RecordOutcome {
    std::vector<SoloResult> earlier;
    // False when the earlier games could not be read at all.
    bool readEarlier = true;
    std::vector<std::string> warnings;
};

// Adds the game to results.jsonl in the folder, one JSON object a line.
// Under a lock on results.lock, the whole file is written anew to a
// temporary file that then replaces it, so that two games ending at once
// never lose or mix their lines. A file with lines that cannot be read is
// kept aside as results.jsonl.corrupt, its good lines carried over.
RecordOutcome recordGame(const std::filesystem::path& folder, const SoloResult& game);

// Games at the strength and table size, and those a person won.
struct WinTally {
    std::int32_t games = 0;
    std::int32_t wins = 0;
};

WinTally tallyOf(const std::vector<SoloResult>& games, const std::string& strength,
                 std::int32_t players);

// The time in the records' form.
std::string recordDate(std::int64_t secondsSinceEpoch);

} // namespace pellaro
