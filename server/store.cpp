#include "store.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sodium.h>
#include <sqlite3.h>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace pellaro {

bool isTableCode(std::string_view code) {
    return code.size() == 6 && std::ranges::all_of(code, [](char c) {
               return (c >= 'A' && c <= 'Z') || (c >= '2' && c <= '9');
           });
}

bool isSeatName(std::string_view name) {
    return name.size() <= longestName && std::ranges::all_of(name, [](char c) {
               return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                      c == '_' || c == '-';
           });
}

namespace {

// "Pell": marks the file as ours, so another program's database is refused.
constexpr std::int32_t applicationId = 0x50656C6C;
// The layout below; a file of another version is refused rather than guessed at.
constexpr std::int32_t formatVersion = 1;
constexpr int busyMilliseconds = 5000;
constexpr std::int64_t minSeats = 2;
constexpr std::int64_t maxSeats = 5;

constexpr const char* schema = R"(
CREATE TABLE meta(name TEXT PRIMARY KEY NOT NULL, value BLOB NOT NULL) STRICT;
CREATE TABLE tables(
    code TEXT PRIMARY KEY NOT NULL,
    seed INTEGER NOT NULL,
    creator INTEGER NOT NULL,
    created TEXT NOT NULL,
    drawn INTEGER NOT NULL,
    closed INTEGER NOT NULL
) STRICT;
CREATE TABLE seats(
    code TEXT NOT NULL REFERENCES tables(code),
    seat INTEGER NOT NULL,
    kind INTEGER NOT NULL,
    joined INTEGER NOT NULL,
    name TEXT NOT NULL,
    token BLOB NOT NULL,
    PRIMARY KEY(code, seat)
) STRICT;
CREATE TABLE moves(
    code TEXT NOT NULL REFERENCES tables(code),
    idx INTEGER NOT NULL,
    action INTEGER NOT NULL,
    board_row INTEGER NOT NULL,
    PRIMARY KEY(code, idx)
) STRICT;
)";

// Every statement the store runs, prepared on first use and kept.
enum class Sql : std::uint8_t {
    Begin,
    Commit,
    Rollback,
    Facts,
    InsertTable,
    InsertSeat,
    UpdateSeat,
    InsertMove,
    SetDrawn,
    Close,
    LoadTables,
    LoadSeats,
    LoadMoves,
    Count
};

constexpr std::array<const char*, static_cast<std::size_t>(Sql::Count)> sqlText{
    "BEGIN IMMEDIATE",
    "COMMIT",
    "ROLLBACK",
    "SELECT closed, (SELECT count(*) FROM seats WHERE code = ?1),"
    " (SELECT count(*) FROM moves WHERE code = ?1) FROM tables WHERE code = ?1",
    "INSERT INTO tables(code, seed, creator, created, drawn, closed) VALUES(?, ?, ?, ?, ?, 0)",
    "INSERT INTO seats(code, seat, kind, joined, name, token) VALUES(?, ?, ?, ?, ?, ?)",
    "UPDATE seats SET kind = ?3, joined = ?4, name = ?5, token = ?6 WHERE code = ?1 AND seat = ?2",
    "INSERT INTO moves(code, idx, action, board_row) VALUES(?, ?, ?, ?)",
    "UPDATE tables SET drawn = ?2 WHERE code = ?1",
    "UPDATE tables SET closed = 1 WHERE code = ?1",
    "SELECT code, seed, creator, created, drawn, closed FROM tables ORDER BY rowid",
    "SELECT seat, kind, joined, name, token FROM seats WHERE code = ? ORDER BY seat",
    "SELECT idx, action, board_row FROM moves WHERE code = ? ORDER BY idx",
};

// Control characters from a path or the library would break the one line.
std::string oneLine(std::string_view text) {
    std::string line(text);
    std::replace_if(
        line.begin(), line.end(),
        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }, '?');
    return line;
}

// A table code as it may be printed: a stored one may hold anything.
std::string printableCode(std::string_view code) {
    constexpr std::size_t shown = 12;
    std::string out;
    for (const char c : code.substr(0, shown)) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        out.push_back(plain ? c : '?');
    }
    return out.empty() ? std::string("?") : out;
}

std::string errorOf(sqlite3* db) {
    return oneLine(db != nullptr ? sqlite3_errmsg(db) : "out of memory");
}

// "2026-12-10T13:05:00Z"
bool isTime(std::string_view time) {
    constexpr std::string_view shape = "dddd-dd-ddTdd:dd:ddZ";
    if (time.size() != shape.size()) {
        return false;
    }
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const bool fits =
            shape[i] == 'd' ? (time[i] >= '0' && time[i] <= '9') : time[i] == shape[i];
        if (!fits) {
            return false;
        }
    }
    return true;
}

// What makes a table one the server could not have written, if anything.
std::optional<std::string> problemOf(const StoredTable& table) {
    const auto seats = static_cast<std::int64_t>(table.seats.size());
    if (!isTableCode(table.code)) {
        return "its code is not six characters of A-Z and 2-9";
    }
    if (seats < minSeats || seats > maxSeats) {
        return "it has " + std::to_string(seats) + " seats";
    }
    if (table.creator < 0 || table.creator >= seats) {
        return "its creator is seat " + std::to_string(table.creator);
    }
    if (!isTime(table.created)) {
        return "its creation time is not like 2026-12-10T13:05:00Z";
    }
    for (std::size_t i = 0; i < table.seats.size(); ++i) {
        if (!isSeatName(table.seats[i].name)) {
            return "the name at seat " + std::to_string(i) + " is not up to 8 of A-Z a-z 0-9 _ -";
        }
    }
    for (std::size_t i = 0; i < table.moves.size(); ++i) {
        const ChosenMove& move = table.moves[i];
        if (move.row < 0 || move.row >= seats) {
            return "move " + std::to_string(i) + " names row " + std::to_string(move.row);
        }
    }
    return std::nullopt;
}

std::string warningFor(std::string_view code, const std::string& reason) {
    return "Table " + printableCode(code) + " left out: " + reason + ".";
}

} // namespace

// A prepared statement, finalized when dropped. Outside the unnamed
// namespace, as the statement cache that Store names holds them.
class StoreStatement {
public:
    StoreStatement() = default;
    StoreStatement(const StoreStatement&) = delete;
    StoreStatement& operator=(const StoreStatement&) = delete;
    StoreStatement(StoreStatement&&) = delete;
    StoreStatement& operator=(StoreStatement&&) = delete;
    ~StoreStatement() { sqlite3_finalize(stmt_); }

    sqlite3_stmt* get() const { return stmt_; }
    sqlite3_stmt** out() { return &stmt_; }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

namespace {

// One run of a cached statement: reset, and its values unbound, on every way
// out, so no string it borrowed outlives the call.
class Run {
public:
    explicit Run(sqlite3_stmt* stmt) : stmt_(stmt) {}
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;
    Run(Run&&) = delete;
    Run& operator=(Run&&) = delete;
    ~Run() {
        if (stmt_ != nullptr) {
            sqlite3_reset(stmt_);
            sqlite3_clear_bindings(stmt_);
        }
    }

    sqlite3_stmt* get() const { return stmt_; }
    bool ok() const { return stmt_ != nullptr; }
    int step() { return sqlite3_step(stmt_); }

private:
    sqlite3_stmt* stmt_;
};

using Blob = std::array<std::uint8_t, 32>;

int bindOne(sqlite3_stmt* stmt, int at, std::int64_t value) {
    return sqlite3_bind_int64(stmt, at, value);
}
int bindOne(sqlite3_stmt* stmt, int at, std::string_view value) {
    return sqlite3_bind_text(stmt, at, value.data(), static_cast<int>(value.size()), SQLITE_STATIC);
}
int bindOne(sqlite3_stmt* stmt, int at, const Blob& value) {
    return sqlite3_bind_blob(stmt, at, value.data(), static_cast<int>(value.size()), SQLITE_STATIC);
}

template <typename... Values>
int bindAll([[maybe_unused]] sqlite3_stmt* stmt, const Values&... values) {
    int rc = SQLITE_OK;
    [[maybe_unused]] int at = 0;
    ((rc = rc == SQLITE_OK ? bindOne(stmt, ++at, values) : rc), ...);
    return rc;
}

// A column of the type the layout gives it, if it has that type.
std::optional<std::int64_t> intAt(sqlite3_stmt* stmt, int column) {
    if (sqlite3_column_type(stmt, column) != SQLITE_INTEGER) {
        return std::nullopt;
    }
    return sqlite3_column_int64(stmt, column);
}

std::optional<std::string> textAt(sqlite3_stmt* stmt, int column) {
    if (sqlite3_column_type(stmt, column) != SQLITE_TEXT) {
        return std::nullopt;
    }
    // Read as bytes: a stored name may hold a NUL, which is then refused.
    const void* text = sqlite3_column_blob(stmt, column);
    const int bytes = sqlite3_column_bytes(stmt, column);
    if (text == nullptr || bytes <= 0) {
        return std::string();
    }
    return std::string(static_cast<const char*>(text), static_cast<std::size_t>(bytes));
}

bool inRange(const std::optional<std::int64_t>& value, std::int64_t low, std::int64_t high) {
    return value && *value >= low && *value <= high;
}

std::string numberOr(const std::optional<std::int64_t>& value) {
    return value ? std::to_string(*value) : std::string("not a number");
}

} // namespace

class StatementCache {
public:
    explicit StatementCache(sqlite3* database) : db(database) {}

    // The statement, reset and ready, with its values bound; not ok (and
    // `why` told) when it cannot be prepared or bound.
    template <typename... Values>
    sqlite3_stmt* prepare(Sql which, std::string& why, const Values&... values) {
        StoreStatement& slot = all[static_cast<std::size_t>(which)];
        if (slot.get() == nullptr &&
            sqlite3_prepare_v3(db, sqlText[static_cast<std::size_t>(which)], -1,
                               SQLITE_PREPARE_PERSISTENT, slot.out(), nullptr) != SQLITE_OK) {
            why = errorOf(db);
            return nullptr;
        }
        if (bindAll(slot.get(), values...) != SQLITE_OK) {
            why = errorOf(db);
            sqlite3_clear_bindings(slot.get());
            return nullptr;
        }
        return slot.get();
    }

    // Runs a statement that returns no row.
    template <typename... Values>
    bool run(Sql which, std::string& why, const Values&... values) {
        Run run(prepare(which, why, values...));
        if (!run.ok()) {
            return false;
        }
        if (run.step() != SQLITE_DONE) {
            why = errorOf(db);
            return false;
        }
        return true;
    }

    sqlite3* db;
    std::array<StoreStatement, static_cast<std::size_t>(Sql::Count)> all{};
};

namespace {

// One write: rolled back unless committed, so a failed call changes nothing.
class Transaction {
public:
    explicit Transaction(StatementCache& statements) : statements_(statements) {}
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    Transaction(Transaction&&) = delete;
    Transaction& operator=(Transaction&&) = delete;
    ~Transaction() {
        if (sqlite3_get_autocommit(statements_.db) == 0) {
            std::string ignored;
            statements_.run(Sql::Rollback, ignored);
        }
    }

    bool begin(std::string& why) { return statements_.run(Sql::Begin, why); }
    bool commit(std::string& why) { return statements_.run(Sql::Commit, why); }

private:
    StatementCache& statements_;
};

struct Facts {
    bool known = false;
    bool closed = false;
    std::int64_t seats = 0;
    std::int64_t moves = 0;
};

// What a write needs to know of a table first; nothing if it cannot be read.
std::optional<Facts> factsOf(StatementCache& statements, std::string_view code, std::string& why) {
    Run run(statements.prepare(Sql::Facts, why, code));
    if (!run.ok()) {
        return std::nullopt;
    }
    Facts facts;
    const int rc = run.step();
    if (rc == SQLITE_ROW) {
        facts.known = true;
        facts.closed = sqlite3_column_int64(run.get(), 0) != 0;
        facts.seats = sqlite3_column_int64(run.get(), 1);
        facts.moves = sqlite3_column_int64(run.get(), 2);
    } else if (rc != SQLITE_DONE) {
        why = errorOf(statements.db);
        return std::nullopt;
    }
    return facts;
}

// The facts of a table open to change; nothing, with the reason, otherwise.
std::optional<Facts> openTable(StatementCache& statements, std::string_view code,
                               std::string& why) {
    std::optional<Facts> facts = factsOf(statements, code, why);
    if (facts && !facts->known) {
        why = "no table " + printableCode(code);
        return std::nullopt;
    }
    if (facts && facts->closed) {
        why = "table " + printableCode(code) + " is closed";
        return std::nullopt;
    }
    return facts;
}

std::int64_t bit(bool value) {
    return value ? 1 : 0;
}

// The seats of a table as stored, checked as they are read; nothing, with
// the reason, when a row is one the server could not have written.
std::optional<std::vector<StoredSeat>> readSeats(StatementCache& statements, std::string_view code,
                                                 std::string& why) {
    Run run(statements.prepare(Sql::LoadSeats, why, code));
    if (!run.ok()) {
        return std::nullopt;
    }
    std::vector<StoredSeat> seats;
    int rc = SQLITE_OK;
    while ((rc = run.step()) == SQLITE_ROW) {
        sqlite3_stmt* row = run.get();
        const auto at = static_cast<std::int64_t>(seats.size());
        const std::string seat = "seat " + std::to_string(at);
        if (at >= maxSeats) {
            why = "it has more than 5 seats";
            return std::nullopt;
        }
        if (intAt(row, 0) != at) {
            why = seat + " is missing";
            return std::nullopt;
        }
        const std::optional<std::int64_t> kind = intAt(row, 1);
        if (!inRange(kind, 0, 3)) {
            why = seat + " has kind " + numberOr(kind);
            return std::nullopt;
        }
        if (!inRange(intAt(row, 2), 0, 1)) {
            why = seat + " is neither joined nor free";
            return std::nullopt;
        }
        std::optional<std::string> name = textAt(row, 3);
        if (!name || !isSeatName(*name)) {
            why = seat + " has a name that is not up to 8 of A-Z a-z 0-9 _ -";
            return std::nullopt;
        }
        if (sqlite3_column_type(row, 4) != SQLITE_BLOB ||
            sqlite3_column_bytes(row, 4) != static_cast<int>(TokenHash{}.size())) {
            why = seat + " has a token hash that is not 32 bytes";
            return std::nullopt;
        }
        StoredSeat& stored = seats.emplace_back();
        stored.kind = static_cast<SeatKind>(*kind);
        stored.joined = sqlite3_column_int64(row, 2) != 0;
        stored.name = std::move(*name);
        std::memcpy(stored.token.data(), sqlite3_column_blob(row, 4), stored.token.size());
    }
    if (rc != SQLITE_DONE) {
        why = errorOf(statements.db);
        return std::nullopt;
    }
    return seats;
}

std::optional<std::vector<ChosenMove>> readMoves(StatementCache& statements, std::string_view code,
                                                 std::int64_t seats, std::string& why) {
    Run run(statements.prepare(Sql::LoadMoves, why, code));
    if (!run.ok()) {
        return std::nullopt;
    }
    std::vector<ChosenMove> moves;
    int rc = SQLITE_OK;
    while ((rc = run.step()) == SQLITE_ROW) {
        sqlite3_stmt* row = run.get();
        const auto at = static_cast<std::int64_t>(moves.size());
        if (intAt(row, 0) != at) {
            why = "move " + std::to_string(at) + " is missing";
            return std::nullopt;
        }
        const std::optional<std::int64_t> action = intAt(row, 1);
        const std::optional<std::int64_t> boardRow = intAt(row, 2);
        if (!inRange(action, 0, 1)) {
            why = "move " + std::to_string(at) + " has action " + numberOr(action);
            return std::nullopt;
        }
        if (!inRange(boardRow, 0, seats - 1)) {
            why = "move " + std::to_string(at) + " names row " + numberOr(boardRow);
            return std::nullopt;
        }
        moves.push_back(
            ChosenMove{static_cast<TurnAction>(*action), static_cast<std::int32_t>(*boardRow)});
    }
    if (rc != SQLITE_DONE) {
        why = errorOf(statements.db);
        return std::nullopt;
    }
    return moves;
}

// One row of the tables table, its seats and moves; nothing, with the
// reason, when any of it is not what the server writes.
std::optional<StoredTable> readTable(StatementCache& statements, sqlite3_stmt* row,
                                     const std::string& code, std::string& why) {
    const std::optional<std::int64_t> seed = intAt(row, 1);
    const std::optional<std::int64_t> creator = intAt(row, 2);
    std::optional<std::string> created = textAt(row, 3);
    if (!seed || !inRange(creator, 0, maxSeats - 1) || !created || !inRange(intAt(row, 4), 0, 1)) {
        why = "its seed, creator, creation time or drawn mark is not what the server writes";
        return std::nullopt;
    }
    StoredTable table;
    table.code = code;
    table.seed = std::bit_cast<std::uint64_t>(*seed);
    table.creator = static_cast<std::int32_t>(*creator);
    table.created = std::move(*created);
    table.drawn = sqlite3_column_int64(row, 4) != 0;
    std::optional<std::vector<StoredSeat>> seats = readSeats(statements, code, why);
    if (!seats) {
        return std::nullopt;
    }
    table.seats = std::move(*seats);
    const auto seatCount = static_cast<std::int64_t>(table.seats.size());
    std::optional<std::vector<ChosenMove>> moves = readMoves(statements, code, seatCount, why);
    if (!moves) {
        return std::nullopt;
    }
    table.moves = std::move(*moves);
    if (std::optional<std::string> problem = problemOf(table)) {
        why = std::move(*problem);
        return std::nullopt;
    }
    return table;
}

bool exec(sqlite3* db, const char* sql, std::string& why) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        why = errorOf(db);
        return false;
    }
    return true;
}

std::optional<std::int64_t> pragmaNumber(sqlite3* db, const char* sql, std::string& why) {
    StoreStatement statement;
    if (sqlite3_prepare_v2(db, sql, -1, statement.out(), nullptr) != SQLITE_OK ||
        sqlite3_step(statement.get()) != SQLITE_ROW) {
        why = errorOf(db);
        return std::nullopt;
    }
    return sqlite3_column_int64(statement.get(), 0);
}

bool insertKey(sqlite3* db, const Blob& key, std::string& why) {
    StoreStatement insert;
    if (sqlite3_prepare_v2(db, "INSERT INTO meta(name, value) VALUES('key', ?)", -1, insert.out(),
                           nullptr) != SQLITE_OK ||
        bindAll(insert.get(), key) != SQLITE_OK || sqlite3_step(insert.get()) != SQLITE_DONE) {
        why = errorOf(db);
        return false;
    }
    return true;
}

// Lays out a new database with a fresh key, in one transaction.
bool createSchema(sqlite3* db, std::string& why) {
    static_assert(applicationId == 1348824172, "the pragma below spells it out");
    static_assert(formatVersion == 1, "the pragma below spells it out");
    Blob key{};
    randombytes_buf(key.data(), key.size());
    const bool done = exec(db, "BEGIN IMMEDIATE", why) && exec(db, schema, why) &&
                      exec(db, "PRAGMA application_id = 1348824172", why) &&
                      exec(db, "PRAGMA user_version = 1", why) && insertKey(db, key, why) &&
                      exec(db, "COMMIT", why);
    sodium_memzero(key.data(), key.size());
    if (!done && sqlite3_get_autocommit(db) == 0) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    return done;
}

std::optional<Blob> readKey(sqlite3* db, std::string& why) {
    StoreStatement select;
    if (sqlite3_prepare_v2(db, "SELECT value FROM meta WHERE name = 'key'", -1, select.out(),
                           nullptr) != SQLITE_OK) {
        why = errorOf(db);
        return std::nullopt;
    }
    Blob key{};
    if (sqlite3_step(select.get()) != SQLITE_ROW ||
        sqlite3_column_type(select.get(), 0) != SQLITE_BLOB ||
        sqlite3_column_bytes(select.get(), 0) != static_cast<int>(key.size())) {
        why = "the database's key is missing or damaged";
        return std::nullopt;
    }
    std::memcpy(key.data(), sqlite3_column_blob(select.get(), 0), key.size());
    return key;
}

// Settings, layout and key of a freshly opened connection: the key, or
// nothing with the reason.
std::optional<Blob> prepareDatabase(sqlite3* db, std::string& why) {
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, busyMilliseconds);
    // A damaged or crafted file must not run functions from its own schema.
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    // WAL with synchronous=NORMAL: a commit that returned is in the operating
    // system's hands, so it survives the server being killed; a power cut may
    // still lose the last few moves, the price of not syncing every move.
    if (!exec(db, "PRAGMA journal_mode = WAL", why) ||
        !exec(db, "PRAGMA synchronous = NORMAL", why) ||
        !exec(db, "PRAGMA foreign_keys = ON", why)) {
        return std::nullopt;
    }
    const std::optional<std::int64_t> application = pragmaNumber(db, "PRAGMA application_id", why);
    const std::optional<std::int64_t> version = pragmaNumber(db, "PRAGMA user_version", why);
    const std::optional<std::int64_t> objects =
        pragmaNumber(db, "SELECT count(*) FROM sqlite_schema", why);
    if (!application || !version || !objects) {
        return std::nullopt;
    }
    if (*application == 0 && *version == 0 && *objects == 0) {
        if (!createSchema(db, why)) {
            return std::nullopt;
        }
    } else if (*application != applicationId) {
        why = "it is not a pellaro-server database";
        return std::nullopt;
    } else if (*version != formatVersion) {
        why = "its format is version " + std::to_string(*version) +
              "; this pellaro-server reads version " + std::to_string(formatVersion);
        return std::nullopt;
    }
    return readKey(db, why);
}

// A connection, closed on every way out unless released.
struct Connection {
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    Connection(Connection&&) = delete;
    Connection& operator=(Connection&&) = delete;
    ~Connection() { sqlite3_close_v2(db); }
    sqlite3* release() { return std::exchange(db, nullptr); }
    sqlite3* db = nullptr;
};

// The folder's lock file, closed (and so unlocked) unless released.
struct LockFile {
    LockFile() = default;
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;
    LockFile(LockFile&&) = delete;
    LockFile& operator=(LockFile&&) = delete;
    ~LockFile() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    int release() { return std::exchange(fd, -1); }
    int fd = -1;
};

bool makeFolder(const std::filesystem::path& folder, std::string& why) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(folder, error);
    if (std::filesystem::is_directory(status)) {
        return true;
    }
    if (std::filesystem::exists(status)) {
        why = oneLine(folder.string()) + " is not a folder";
        return false;
    }
    if (folder.has_parent_path()) {
        std::filesystem::create_directories(folder.parent_path(), error);
    }
    // Only the server's own user may read its tables' seeds and key.
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        why = "cannot create " + oneLine(folder.string()) + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace

Store::Store(sqlite3* db, int lockFile, const std::array<std::uint8_t, 32>& key)
    : db_(db), lockFile_(lockFile), statements_(std::make_unique<StatementCache>(db)), key_(key) {}

std::optional<Store> Store::open(const std::filesystem::path& folder, std::string& why) {
    if (sodium_init() < 0) {
        why = "the random source cannot be used (libsodium failed to start)";
        return std::nullopt;
    }
    if (!makeFolder(folder, why)) {
        return std::nullopt;
    }
    const std::filesystem::path lockPath = folder / "server.lock";
    LockFile lock;
    lock.fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lock.fd < 0) {
        why = "cannot open " + oneLine(lockPath.string()) + ": " + std::strerror(errno);
        return std::nullopt;
    }
    if (::flock(lock.fd, LOCK_EX | LOCK_NB) != 0) {
        why = errno == EWOULDBLOCK
                  ? "another pellaro-server is using " + oneLine(folder.string())
                  : "cannot lock " + oneLine(lockPath.string()) + ": " + std::strerror(errno);
        return std::nullopt;
    }
    const std::filesystem::path dbPath = folder / "server.db";
    Connection connection;
    if (sqlite3_open_v2(dbPath.c_str(), &connection.db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW,
                        nullptr) != SQLITE_OK) {
        why = "cannot open " + oneLine(dbPath.string()) + ": " + errorOf(connection.db);
        return std::nullopt;
    }
    std::string reason;
    const std::optional<Blob> madeKey = prepareDatabase(connection.db, reason);
    if (!madeKey) {
        why = "cannot use " + oneLine(dbPath.string()) + ": " + reason;
        return std::nullopt;
    }
    return Store(connection.release(), lock.release(), *madeKey);
}

Store Store::inMemory() {
    const int ready = sodium_init();
    assert(ready >= 0);
    (void)ready;
    Connection connection;
    std::string why;
    const int opened = sqlite3_open_v2(":memory:", &connection.db,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    const std::optional<Blob> madeKey =
        opened == SQLITE_OK ? prepareDatabase(connection.db, why) : std::nullopt;
    // Only a lack of memory stops this; every call of a store without its
    // database then fails with its reason.
    return madeKey ? Store(connection.release(), -1, *madeKey) : Store(nullptr, -1, Blob{});
}

Store::Store(Store&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), lockFile_(std::exchange(other.lockFile_, -1)),
      statements_(std::move(other.statements_)), key_(other.key_) {}

Store& Store::operator=(Store&& other) noexcept {
    if (this != &other) {
        close();
        db_ = std::exchange(other.db_, nullptr);
        lockFile_ = std::exchange(other.lockFile_, -1);
        statements_ = std::move(other.statements_);
        key_ = other.key_;
    }
    return *this;
}

Store::~Store() {
    close();
}

void Store::close() noexcept {
    // Every statement is finalized before the database closes.
    statements_.reset();
    sqlite3_close_v2(std::exchange(db_, nullptr));
    if (lockFile_ >= 0) {
        ::close(std::exchange(lockFile_, -1));
    }
}

bool Store::isOpen(std::string& why) const {
    if (db_ == nullptr) {
        why = "the store is closed";
    }
    return db_ != nullptr;
}

bool Store::createTable(const StoredTable& table, std::string& why) {
    if (!isOpen(why)) {
        return false;
    }
    if (std::optional<std::string> problem = problemOf(table)) {
        why = "table " + printableCode(table.code) + " cannot be stored: " + *problem;
        return false;
    }
    if (!table.moves.empty()) {
        why = "a new table has no moves";
        return false;
    }
    StatementCache& sql = *statements_;
    Transaction transaction(sql);
    if (!transaction.begin(why)) {
        return false;
    }
    const std::optional<Facts> facts = factsOf(sql, table.code, why);
    if (!facts) {
        return false;
    }
    if (facts->known) {
        why = "table code " + table.code + " is taken";
        return false;
    }
    if (!sql.run(Sql::InsertTable, why, std::string_view(table.code),
                 std::bit_cast<std::int64_t>(table.seed), std::int64_t{table.creator},
                 std::string_view(table.created), bit(table.drawn))) {
        return false;
    }
    for (std::size_t i = 0; i < table.seats.size(); ++i) {
        const StoredSeat& seat = table.seats[i];
        if (!sql.run(Sql::InsertSeat, why, std::string_view(table.code),
                     static_cast<std::int64_t>(i), std::int64_t{static_cast<int>(seat.kind)},
                     bit(seat.joined), std::string_view(seat.name), seat.token)) {
            return false;
        }
    }
    return transaction.commit(why);
}

bool Store::setSeat(const std::string& code, std::int32_t seat, const StoredSeat& value,
                    std::string& why) {
    if (!isOpen(why)) {
        return false;
    }
    if (!isSeatName(value.name)) {
        why = "a name is up to 8 of A-Z a-z 0-9 _ -";
        return false;
    }
    StatementCache& sql = *statements_;
    Transaction transaction(sql);
    if (!transaction.begin(why)) {
        return false;
    }
    const std::optional<Facts> facts = openTable(sql, code, why);
    if (!facts) {
        return false;
    }
    if (seat < 0 || seat >= facts->seats) {
        why = "no seat " + std::to_string(seat) + " at table " + printableCode(code);
        return false;
    }
    return sql.run(Sql::UpdateSeat, why, std::string_view(code), std::int64_t{seat},
                   std::int64_t{static_cast<int>(value.kind)}, bit(value.joined),
                   std::string_view(value.name), value.token) &&
           transaction.commit(why);
}

bool Store::addMove(const std::string& code, std::size_t index, const ChosenMove& move,
                    std::string& why) {
    if (!isOpen(why)) {
        return false;
    }
    StatementCache& sql = *statements_;
    Transaction transaction(sql);
    if (!transaction.begin(why)) {
        return false;
    }
    const std::optional<Facts> facts = openTable(sql, code, why);
    if (!facts) {
        return false;
    }
    if (std::cmp_not_equal(index, facts->moves)) {
        why = "table " + printableCode(code) + " has " + std::to_string(facts->moves) +
              " moves stored, not " + std::to_string(index);
        return false;
    }
    if (move.row < 0 || move.row >= facts->seats) {
        why = "table " + printableCode(code) + " has no row " + std::to_string(move.row);
        return false;
    }
    return sql.run(Sql::InsertMove, why, std::string_view(code), static_cast<std::int64_t>(index),
                   std::int64_t{static_cast<int>(move.action)}, std::int64_t{move.row}) &&
           sql.run(Sql::SetDrawn, why, std::string_view(code), std::int64_t{0}) &&
           transaction.commit(why);
}

bool Store::setDrawn(const std::string& code, bool drawn, std::string& why) {
    if (!isOpen(why)) {
        return false;
    }
    StatementCache& sql = *statements_;
    Transaction transaction(sql);
    return transaction.begin(why) && openTable(sql, code, why) &&
           sql.run(Sql::SetDrawn, why, std::string_view(code), bit(drawn)) &&
           transaction.commit(why);
}

bool Store::closeTable(const std::string& code, std::string& why) {
    if (!isOpen(why)) {
        return false;
    }
    StatementCache& sql = *statements_;
    Transaction transaction(sql);
    if (!transaction.begin(why)) {
        return false;
    }
    const std::optional<Facts> facts = factsOf(sql, code, why);
    if (!facts) {
        return false;
    }
    if (!facts->known) {
        why = "no table " + printableCode(code);
        return false;
    }
    return sql.run(Sql::Close, why, std::string_view(code)) && transaction.commit(why);
}

std::vector<StoredTable> Store::loadTables(std::vector<std::string>& warnings) const {
    std::vector<StoredTable> tables;
    if (db_ == nullptr) {
        warnings.emplace_back("The store is closed.");
        return tables;
    }
    StatementCache& sql = *statements_;
    std::string why;
    Run run(sql.prepare(Sql::LoadTables, why));
    if (!run.ok()) {
        warnings.push_back(oneLine("The tables cannot be read: " + why + "."));
        return tables;
    }
    int rc = SQLITE_OK;
    while ((rc = run.step()) == SQLITE_ROW) {
        sqlite3_stmt* row = run.get();
        const std::string code = textAt(row, 0).value_or(std::string());
        if (intAt(row, 5) == 1) {
            continue;
        }
        std::optional<StoredTable> table;
        if (inRange(intAt(row, 5), 0, 0)) {
            table = readTable(sql, row, code, why);
        } else {
            why = "it is neither open nor closed";
        }
        if (table) {
            tables.push_back(std::move(*table));
        } else {
            warnings.push_back(warningFor(code, why));
        }
    }
    if (rc != SQLITE_DONE) {
        warnings.push_back(oneLine("The tables cannot all be read: " + errorOf(db_) + "."));
    }
    return tables;
}

} // namespace pellaro
