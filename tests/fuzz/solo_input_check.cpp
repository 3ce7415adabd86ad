#include "solo_input_check.h"

#include "engine/game_state.h"
#include "solo/record_statistics.h"
#include "solo/results_file.h"
#include "solo/saved_games.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace pellaro {

namespace {

bool isShowable(const std::string& line) {
    return line.size() <= 80 &&
           std::all_of(line.begin(), line.end(), [](char c) { return c >= ' ' && c <= '~'; });
}

std::string resultsFault(std::string_view input) {
    ResultsRead read;
    read.text = input;
    readResultLines(read);
    for (const SoloResult& game : read.games) {
        if (game.players < minPlayers || game.players > maxPlayers || game.people < 1 ||
            game.people >= game.players ||
            game.scores.size() != static_cast<std::size_t>(game.players) || game.winners.empty() ||
            !strengthOfRecord(game.strength)) {
            return "a game no table could have played was read";
        }
        const std::int32_t top = *std::max_element(game.scores.begin(), game.scores.end());
        for (const std::int32_t winner : game.winners) {
            if (winner < 1 || winner > game.players || game.scores[winner - 1] != top) {
                return "a winner without the top score was read";
            }
        }
        ResultsRead again;
        again.text = nlohmann::json(game).dump() + '\n';
        readResultLines(again);
        if (again.games.size() != 1 || nlohmann::json(again.games[0]) != nlohmann::json(game)) {
            return "a game read does not read back as written";
        }
    }
    if (read.games.empty()) {
        return {};
    }
    for (const std::string& line : recordLines(read.games)) {
        if (!isShowable(line)) {
            return "the record shows a line that does not fit: " + line;
        }
    }
    return {};
}

std::string saveFault(std::string_view input) {
    const SaveRead read = readSavedGame(std::string(input));
    if (!read.problem.empty()) {
        return read.problem.find('\n') == std::string::npos ? "" : "a problem of two lines";
    }
    const SavedGame& saved = read.saved;
    if (saved.people < 1 || saved.people >= saved.players ||
        read.game.currentPlayer >= saved.people ||
        saved.streams.size() != static_cast<std::size_t>(saved.players)) {
        return "a saved game no table could have saved was read";
    }
    const std::string text = savedGameText(saved);
    const SaveRead again = readSavedGame(text);
    if (!again.problem.empty() || !(again.saved == saved) || again.round != read.round) {
        return "a saved game does not read back as written";
    }
    if (!isShowable(saved.date + saved.strength + saved.bot)) {
        return "a saved game holds what the list cannot show";
    }
    return {};
}

} // namespace

std::string soloInputFault(std::string_view input) {
    std::string fault = resultsFault(input);
    if (fault.empty()) {
        fault = saveFault(input);
    }
    return fault;
}

} // namespace pellaro
