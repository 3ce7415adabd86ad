#pragma once

#include "strengths.h"

#include <cstdint>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
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

// How the records name a strength: "easy", "medium" or "hard".
std::string recordedStrength(Strength strength);

// The strength a record names; none for any other word.
std::optional<Strength> strengthOfRecord(const std::string& word);

// The folder of the results file: $XDG_DATA_HOME/pellaro when that is an
// absolute path, else $HOME/.local/share/pellaro; empty when neither is set.
std::filesystem::path resultsFolder();

// results.jsonl in the folder.
std::filesystem::path resultsFile(const std::filesystem::path& folder);

// A line of the results file that holds no game this program could have
// played: it is never counted.
struct UnreadLine {
    // From 1.
    std::int32_t number = 0;
    // Why, in a few words: "not JSON", "no seed from 0 to 4294967295".
    std::string why;
};

// What the results file holds, read without changing anything.
struct ResultsRead {
    // False when there is no results file.
    bool exists = false;
    // Why the file could not be read at all; empty when it could, or when
    // there is none.
    std::string failure;
    // The games, in the order they were added.
    std::vector<SoloResult> games;
    std::vector<UnreadLine> unread;
    // The file's bytes.
    std::string text;
};

// Reads the results file. Blank lines, as an editor may leave, are skipped.
ResultsRead readResults(const std::filesystem::path& file);

// Reads the games and the unread lines of `read.text`, the file's bytes.
void readResultLines(ResultsRead& read);

// The same for the results file of the folder, under a shared lock when the
// folder has a lock file; the folder is never written.
ResultsRead readResultsIn(const std::filesystem::path& folder);

// One line of warning naming the unread lines of the file (some at least);
// the caller adds what becomes of them.
std::string unreadLinesWarning(const std::filesystem::path& file,
                               const std::vector<UnreadLine>& unread);

// What adding a game found: every game recorded before it that could be read,
// and a line for each thing that went wrong, none of which stops the game.
struct RecordOutcome {
    std::vector<SoloResult> earlier;
    // False when the earlier games could not be read at all.
    bool readEarlier = true;
    std::vector<std::string> warnings;
};

// Adds the game to results.jsonl in the folder, one JSON object a line,
// under a lock on results.lock so that two games ending at once never lose or
// mix their lines. The game's line is appended in one write, after a line end
// when the file lacks its last one, so that a crash can harm no earlier line.
// A file without any write permission is left alone. A file with unread lines
// keeps every byte under a new name, results.jsonl.corrupt, then .corrupt.2
// and so on, never one already there; results.jsonl then holds its other
// lines as they were and the game. A results file that is a symbolic link
// is never replaced: its unread lines stay where they are.
RecordOutcome recordGame(const std::filesystem::path& folder, const SoloResult& game);

// The time in the records' form.
std::string recordDate(std::int64_t secondsSinceEpoch);

} // namespace pellaro
