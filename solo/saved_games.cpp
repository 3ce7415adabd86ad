#include "saved_games.h"

#include "../bots/bot.h"
#include "../engine/turn_rules.h"
#include "json_fields.h"
#include "results_file.h"
#include "whole_files.h"

#include <algorithm>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>

namespace pellaro {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

// What marks a file as this program's saved game, and the form it has.
const char* const kindField = "pellaro-solo";
const char* const kindValue = "saved game";
constexpr std::int64_t formatVersion = 1;
// A whole game holds a few hundred moves: anything far larger is no save.
constexpr std::size_t largestSave = std::size_t{64} * 1024;

std::string moveText(const std::vector<ChosenMove>& moves) {
    std::string text;
    for (const ChosenMove& move : moves) {
        if (!text.empty()) {
            text += ' ';
        }
        text += move.action == TurnAction::Draw ? 'D' : 'T';
        text += static_cast<char>('1' + move.row);
    }
    return text;
}

// "D1 T3 ...": a Draw placed on row 1, a Take of row 3; nothing when the
// text has any other form.
std::optional<std::vector<ChosenMove>> movesOf(const std::string& text) {
    std::vector<ChosenMove> moves;
    for (std::size_t at = 0; at < text.size(); at += 3) {
        if (at + 2 > text.size() || (text[at] != 'D' && text[at] != 'T') || text[at + 1] < '1' ||
            text[at + 1] > '0' + maxPlayers || (at + 2 < text.size() && text[at + 2] != ' ') ||
            at + 3 == text.size()) {
            return std::nullopt;
        }
        moves.push_back(
            ChosenMove{text[at] == 'D' ? TurnAction::Draw : TurnAction::Take, text[at + 1] - '1'});
    }
    return moves;
}

bool isStream(const json& value) {
    if (!value.is_array() || value.size() != 4) {
        return false;
    }
    bool zero = true;
    for (const json& word : value) {
        if (!word.is_number_unsigned()) {
            return false;
        }
        zero = zero && word.get<std::uint64_t>() == 0;
    }
    // A stream of all zeros would give nothing but zeros.
    return !zero;
}

// As recordDate writes it, and nothing else: the list shows it.
bool isDate(const std::string& text) {
    const std::string form = "dddd-dd-ddTdd:dd:ddZ";
    if (text.size() != form.size()) {
        return false;
    }
    for (std::size_t at = 0; at < form.size(); ++at) {
        const bool digit = text[at] >= '0' && text[at] <= '9';
        if (form[at] == 'd' ? !digit : text[at] != form[at]) {
            return false;
        }
    }
    return true;
}

// Who plays the computer seats: a strength the program offers, or a
// built-in bot that plays from its seat's view; never a program to run.
std::string seatsProblem(const SavedGame& saved) {
    if (saved.strength.empty() == saved.bot.empty()) {
        return "neither a strength nor a bot, or both";
    }
    if (!saved.strength.empty()) {
        return strengthOfRecord(saved.strength) ? "" : "no strength easy, medium or hard";
    }
    std::string refusal;
    const std::optional<BotSettings> bot = botNamed(saved.bot, defaultBudget, &refusal);
    if (!bot || !refusal.empty() || isProgram(*bot) || !bot->entry->fair) {
        return "no built-in bot that plays fair";
    }
    return {};
}

// The fields, each of its type and range; the moves are checked apart.
std::string fieldsProblem(const json& object, SavedGame& saved) {
    const std::optional<std::int64_t> format = integerField(object, "format", 0, 1'000'000);
    if (!format || *format != formatVersion) {
        return "saved by another version of pellaro-solo";
    }
    const std::optional<std::string> date = textField(object, "saved");
    const std::optional<std::int64_t> sessionSeed =
        integerField(object, "session seed", 0, std::numeric_limits<std::uint32_t>::max());
    const std::optional<std::int64_t> gameNumber =
        integerField(object, "game", 0, std::numeric_limits<std::uint32_t>::max());
    const std::optional<std::int64_t> players =
        integerField(object, "players", minPlayers, maxPlayers);
    const std::optional<std::string> moves = textField(object, "moves");
    const json* drawn = fieldOf(object, "drawn");
    const std::optional<std::int64_t> shown =
        integerField(object, "shown", 0, static_cast<std::int64_t>(largestSave));
    const std::optional<std::int64_t> headed =
        integerField(object, "headed", 0, static_cast<std::int64_t>(largestSave));
    const json* streams = fieldOf(object, "streams");
    if (!date || !isDate(*date) || !sessionSeed || !gameNumber || !players || !moves ||
        drawn == nullptr || !drawn->is_boolean() || !shown || !headed) {
        return "a field missing or out of range";
    }
    saved.players = static_cast<std::int32_t>(*players);
    const std::optional<std::int64_t> people = integerField(object, "people", 1, saved.players - 1);
    if (!people) {
        return "a field missing or out of range";
    }
    if (streams == nullptr || !streams->is_array() ||
        streams->size() != static_cast<std::size_t>(saved.players) ||
        !std::all_of(streams->begin(), streams->end(), isStream)) {
        return "no random stream for each seat";
    }
    const std::optional<std::vector<ChosenMove>> played = movesOf(*moves);
    if (!played) {
        return "moves that are not D or T and a row";
    }
    saved.date = *date;
    saved.sessionSeed = static_cast<std::uint32_t>(*sessionSeed);
    saved.gameNumber = static_cast<std::uint64_t>(*gameNumber);
    saved.people = static_cast<std::int32_t>(*people);
    saved.strength = textField(object, "strength").value_or("");
    saved.bot = textField(object, "bot").value_or("");
    saved.moves = *played;
    saved.drawn = drawn->get<bool>();
    saved.shown = static_cast<std::size_t>(*shown);
    saved.headed = static_cast<std::int32_t>(*headed);
    for (const json& stream : *streams) {
        SeededRandom random;
        for (std::size_t word = 0; word < random.state.size(); ++word) {
            random.state[word] = stream[word].get<std::uint64_t>();
        }
        saved.streams.push_back(random);
    }
    return seatsProblem(saved);
}

// Plays the moves on the deal, each checked by the rules first, and checks
// that the game stopped where a person was asked.
std::string movesProblem(const SavedGame& saved, GameState& game, std::int32_t& round) {
    game = newGame(saved.players, sessionGameSeed(saved.sessionSeed, saved.gameNumber));
    PublicState known = publicStateOf(game);
    round = 1;
    for (std::size_t index = 0; index < saved.moves.size(); ++index) {
        const ChosenMove& move = saved.moves[index];
        if (!isActionPossible(game, move.action) || !isRowValid(game, move.action, move.row)) {
            return "move " + std::to_string(index + 1) + " is one the rules refuse";
        }
        const TurnPlayed played = playTurn(game, known, move);
        if (played.over) {
            return "a game that is over";
        }
        round += played.closedRound ? 1 : 0;
    }
    if (game.currentPlayer >= saved.people) {
        return "a computer player to move";
    }
    if (saved.drawn && !isActionPossible(game, TurnAction::Draw)) {
        return "a Draw where none is possible";
    }
    if (saved.shown > saved.moves.size() || saved.headed > round) {
        return "more shown than played";
    }
    return {};
}

} // namespace

std::uint32_t sessionGameSeed(std::uint32_t sessionSeed, std::uint64_t gameNumber) {
    return gameNumber == 0 ? sessionSeed
                           : static_cast<std::uint32_t>(deriveSeed(sessionSeed, gameNumber));
}

std::string savedGameText(const SavedGame& saved) {
    json streams = json::array();
    for (const SeededRandom& random : saved.streams) {
        streams.push_back(random.state);
    }
    json object = {{kindField, kindValue},     {"format", formatVersion},
                   {"saved", saved.date},      {"session seed", saved.sessionSeed},
                   {"game", saved.gameNumber}, {"players", saved.players},
                   {"people", saved.people},   {"moves", moveText(saved.moves)},
                   {"drawn", saved.drawn},     {"shown", saved.shown},
                   {"headed", saved.headed},   {"streams", streams}};
    object[saved.bot.empty() ? "strength" : "bot"] = saved.bot.empty() ? saved.strength : saved.bot;
    return object.dump(1) + '\n';
}

SaveRead readSavedGame(const std::string& text) {
    SaveRead read;
    const json object = json::parse(text, nullptr, false);
    if (object.is_discarded() || !object.is_object()) {
        read.problem = "not JSON";
        return read;
    }
    const std::optional<std::string> kind = textField(object, kindField);
    if (!kind || *kind != kindValue) {
        read.problem = "not a game saved by pellaro-solo";
        return read;
    }
    read.problem = fieldsProblem(object, read.saved);
    if (read.problem.empty()) {
        read.problem = movesProblem(read.saved, read.game, read.round);
    }
    if (!read.problem.empty()) {
        read.saved = SavedGame{};
    }
    return read;
}

SavedGames listSavedGames(const fs::path& folder) {
    SavedGames list;
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    if (error) {
        if (error != std::errc::no_such_file_or_directory) {
            list.warnings.push_back("cannot read " + folder.string() + " (" + error.message() +
                                    ")");
        }
        return list;
    }
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : entries) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("saved-") && name.ends_with(".json")) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        std::string text;
        std::string failure;
        if (readRegularFile(file, text, failure, largestSave) != FileRead::Read) {
            list.warnings.push_back("cannot read " + file.string() + " (" + failure +
                                    "); it is left as it is.");
            continue;
        }
        SaveRead read = readSavedGame(text);
        if (!read.problem.empty()) {
            list.warnings.push_back(file.string() + " is no saved game (" + read.problem +
                                    "); it is left as it is.");
            continue;
        }
        list.games.push_back({file, std::move(read)});
    }
    std::stable_sort(
        list.games.begin(), list.games.end(),
        [](const SaveFile& a, const SaveFile& b) { return a.read.saved.date < b.read.saved.date; });
    return list;
}

fs::path saveGame(const fs::path& folder, const fs::path& file, const SavedGame& saved,
                  std::string& failure) {
    if (folder.empty()) {
        failure = "neither XDG_DATA_HOME nor HOME is set";
        return {};
    }
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
        failure = "cannot use " + folder.string() + " (" + error.message() + ")";
        return {};
    }
    const std::string text = savedGameText(saved);
    if (!file.empty()) {
        return replaceFile(file, text, failure) ? file : fs::path();
    }
    const std::string stem =
        "saved-" + std::to_string(sessionGameSeed(saved.sessionSeed, saved.gameNumber));
    return createFile(folder, stem, "json", text, failure);
}

} // namespace pellaro
