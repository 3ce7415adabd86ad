#pragma once

#include "../engine/turn.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace pellaro {

// What pellaro-server keeps of its tables, in one SQLite file (server.db in
// the data folder, WAL mode). Every change is one transaction, committed
// before the call returns: the server tells no seat of a move until its
// write has returned true, so a move anyone saw survives the process being
// killed at any moment. A failed write returns false with its reason and
// changes nothing, stored or in memory.

// How long a person's name may be: a seat's name fills the board's name
// column.
inline constexpr std::size_t longestName = 8;

// Six characters of A to Z and 2 to 9, as table codes are made.
bool isTableCode(std::string_view code);

// Letters, digits, - and _, at most longestName of them; empty when the
// seat has no name.
bool isSeatName(std::string_view name);

// A keyed hash of a seat token: the store never holds a token itself.
using TokenHash = std::array<std::uint8_t, 32>;

// Who plays a seat: a person, or a computer player of a strength.
enum class SeatKind : std::uint8_t { Person = 0, Easy = 1, Medium = 2, Hard = 3 };

struct StoredSeat {
    SeatKind kind = SeatKind::Person;
    // A person's seat that someone has joined: their name and token's hash.
    bool joined = false;
    std::string name{};
    TokenHash token{};

    bool operator==(const StoredSeat&) const = default;
};

struct StoredTable {
    // The table's code, as people share it: six characters of [A-Z2-9].
    std::string code;
    // The deal's seed; never told before the game ends.
    std::uint64_t seed = 0;
    // The seat (from 0) that created the table, which may hand seats to
    // computer players.
    std::int32_t creator = 0;
    // When it was created, "2026-12-10T13:05:00Z".
    std::string created;
    std::vector<StoredSeat> seats;
    // Every move played, in order.
    std::vector<ChosenMove> moves;
    // The seat to move has chosen to draw and been shown the card: its turn
    // goes on at the row question.
    bool drawn = false;

    bool operator==(const StoredTable&) const = default;
};

// The store's prepared statements, kept from call to call.
class StatementCache;

// The open database; closes it on every way out.
class Store {
public:
    // Opens or creates DIR/server.db (and DIR itself, mode 0700, when it is
    // missing). Nothing, with the reason, when it cannot.
    static std::optional<Store> open(const std::filesystem::path& folder, std::string& why);
    // A database in memory, for tests and the fuzz target.
    static Store inMemory();

    Store(Store&& other) noexcept;
    Store& operator=(Store&& other) noexcept;
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;
    ~Store();

    // A new table with its seats and no move. False if the code is taken.
    bool createTable(const StoredTable& table, std::string& why);
    // A seat changed: joined by a person, or handed to a computer player.
    bool setSeat(const std::string& code, std::int32_t seat, const StoredSeat& value,
                 std::string& why);
    // The move numbered `index` (from 0, the count of moves before it), and
    // the drawn mark cleared, in one transaction. False if that index is
    // already stored: a move is never stored twice.
    bool addMove(const std::string& code, std::size_t index, const ChosenMove& move,
                 std::string& why);
    // The seat to move has seen its drawn card.
    bool setDrawn(const std::string& code, bool drawn, std::string& why);
    // The table is finished with: it is no longer loaded at start.
    bool closeTable(const std::string& code, std::string& why);

    // Every table not closed, with its seats and moves, in the order they
    // were created. A row the server could not have written (a seat kind,
    // a move or a count out of range) leaves its table out, with a line in
    // `warnings`.
    std::vector<StoredTable> loadTables(std::vector<std::string>& warnings) const;

    // The secret key of the token hashes: 32 bytes from the operating
    // system's random source, made when the database was created and kept
    // in it.
    const std::array<std::uint8_t, 32>& key() const { return key_; }

private:
    Store(sqlite3* db, int lockFile, const std::array<std::uint8_t, 32>& key);
    void close() noexcept;
    // False, with the reason, for a store moved from or without its database.
    bool isOpen(std::string& why) const;

    sqlite3* db_ = nullptr;
    // The open lock file that keeps a second server out of the folder; -1
    // for a database in memory.
    int lockFile_ = -1;
    // Prepared once and reused: addMove runs for every move of every table.
    std::unique_ptr<StatementCache> statements_;
    std::array<std::uint8_t, 32> key_{};
};

} // namespace pellaro
