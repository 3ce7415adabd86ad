#include "load_replay.h"

#include "../engine/card.h"
#include "../engine/results.h"

#include <algorithm>
#include <memory>
#include <sqlite3.h>

namespace pellaro::load {

namespace {

struct CloseDatabase {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct FinishStatement {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;
using Statement = std::unique_ptr<sqlite3_stmt, FinishStatement>;

Statement prepared(sqlite3* db, const char* sql, std::string& why) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) {
        why = sqlite3_errmsg(db);
    }
    return Statement(statement);
}

std::string textAt(sqlite3_stmt* statement, int column) {
    const unsigned char* text = sqlite3_column_text(statement, column);
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): SQLite's text is UTF-8 bytes.
    return text == nullptr ? std::string() : reinterpret_cast<const char*>(text);
}

} // namespace

std::optional<std::map<std::string, StoredGame>> readStore(const std::string& path,
                                                           std::string& why) {
    sqlite3* opened = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &opened, SQLITE_OPEN_READONLY, nullptr);
    const Database db(opened);
    if (rc != SQLITE_OK) {
        why = db ? sqlite3_errmsg(db.get()) : "out of memory";
        return std::nullopt;
    }
    const Statement tables = prepared(db.get(), "SELECT code, seed, closed FROM tables", why);
    const Statement moves = prepared(
        db.get(), "SELECT code, idx, action, board_row FROM moves ORDER BY code, idx", why);
    if (!tables || !moves) {
        return std::nullopt;
    }
    std::map<std::string, StoredGame> games;
    while (sqlite3_step(tables.get()) == SQLITE_ROW) {
        StoredGame& game = games[textAt(tables.get(), 0)];
        game.seed = static_cast<std::uint64_t>(sqlite3_column_int64(tables.get(), 1));
        game.closed = sqlite3_column_int64(tables.get(), 2) != 0;
    }
    while (sqlite3_step(moves.get()) == SQLITE_ROW) {
        StoredGame& game = games[textAt(moves.get(), 0)];
        if (sqlite3_column_int64(moves.get(), 1) != static_cast<std::int64_t>(game.moves.size())) {
            why = "table " + textAt(moves.get(), 0) + " misses a move";
            return std::nullopt;
        }
        const auto action = static_cast<TurnAction>(sqlite3_column_int64(moves.get(), 2) != 0);
        game.moves.push_back({action, sqlite3_column_int(moves.get(), 3)});
    }
    return games;
}

std::vector<ChosenMove> chosenMoves(const std::vector<ToldMove>& told) {
    std::vector<ChosenMove> moves(told.size());
    std::transform(told.begin(), told.end(), moves.begin(), [](const ToldMove& move) {
        return ChosenMove{move.action, move.row - 1};
    });
    return moves;
}

std::optional<std::string> replayDifference(const TableSeen& table, std::uint64_t seed,
                                            const std::vector<ChosenMove>& moves) {
    GameState game = seededDeal(seatsPerTable, seed);
    PublicState known = publicStateOf(game);
    bool over = false;
    for (std::size_t index = 0; index < moves.size(); ++index) {
        const std::string move = "move " + std::to_string(index + 1);
        if (over || !isRowValid(game, moves[index].action, moves[index].row)) {
            return move + " is one the rules refuse";
        }
        if (index < table.moves.size()) {
            const ToldMove& told = table.moves[index];
            const std::string_view card =
                told.action == TurnAction::Draw ? cardLabels[topCard(game)] : "";
            if (ChosenMove{told.action, told.row - 1} != moves[index]) {
                return move + " was stored otherwise than told";
            }
            if (told.seat != game.currentPlayer + 1 || told.card != card) {
                return move + " was told with another seat or card than the deal gives";
            }
        }
        over = playTurn(game, known, moves[index]).over;
    }
    if (!over) {
        return "the game did not end after its " + std::to_string(moves.size()) + " moves";
    }
    const std::vector<std::int32_t> scores = allScores(game);
    for (std::size_t seat = 0; seat < table.scores.size(); ++seat) {
        if (table.scores[seat] && *table.scores[seat] != scores[seat]) {
            return "seat " + std::to_string(seat + 1) + " was told a score of " +
                   std::to_string(*table.scores[seat]) + ", the replay gives " +
                   std::to_string(scores[seat]);
        }
    }
    return std::nullopt;
}

} // namespace pellaro::load
