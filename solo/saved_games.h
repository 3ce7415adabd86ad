#pragma once

#include "../engine/game_state.h"
#include "../engine/seeded_random.h"
#include "../engine/turn.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace pellaro {

// A game stopped at a person's question, to be continued later exactly where
// it stopped: its session, its seats, every move played and what the screen
// had told. One JSON file per game, saved-SEED.json beside the results file.
struct SavedGame {
    // When it was saved, UTC, as the results file writes dates.
    std::string date;
    // The session's seed and the game's number in it, from 0: they give the
    // deal and the computer players, and the session's later games.
    std::uint32_t sessionSeed = 0;
    std::uint64_t gameNumber = 0;
    std::int32_t players = 2;
    std::int32_t people = 1;
    // easy, medium or hard; empty when `bot`, a built-in bot of --bot, plays.
    std::string strength;
    std::string bot;
    std::vector<ChosenMove> moves;
    // The person to move had chosen the Draw and seen its card.
    bool drawn = false;
    // How much of the game the screen had told when the person's turn began.
    std::size_t shown = 0;
    std::int32_t headed = 0;
    // Every seat's computer player's random stream as it stood.
    std::vector<SeededRandom> streams;

    bool operator==(const SavedGame&) const = default;
};

// The deal's seed of a session's game: the session's own for its first.
std::uint32_t sessionGameSeed(std::uint32_t sessionSeed, std::uint64_t gameNumber);

// The file's text: one JSON object.
std::string savedGameText(const SavedGame& saved);

// A saved game read back and checked: its moves replayed on its deal.
struct SaveRead {
    SavedGame saved;
    // The game after its moves, and its round then, from 1.
    GameState game;
    std::int32_t round = 1;
    // Why the text is no game this program saved; empty when it is one.
    std::string problem;
};

// Reads the text of a save file. Anything that is not a game this version
// of the program could have saved (another program's JSON, another format,
// a move the rules refuse, a game over, a computer player to move) gets a
// problem in a few words and nothing else.
SaveRead readSavedGame(const std::string& text);

// A save file in the folder.
struct SaveFile {
    std::filesystem::path file;
    SaveRead read;
};

// The saved games of the folder, oldest first, and a line for each file that
// looks like one and is not, which is left as it is.
struct SavedGames {
    std::vector<SaveFile> games;
    std::vector<std::string> warnings;
};
SavedGames listSavedGames(const std::filesystem::path& folder);

// Writes the game to `file` when one is given, replacing it whole, else to a
// new file under the first free name; the file written, or empty with the
// reason in `failure`.
std::filesystem::path saveGame(const std::filesystem::path& folder,
                               const std::filesystem::path& file, const SavedGame& saved,
                               std::string& failure);

} // namespace pellaro
