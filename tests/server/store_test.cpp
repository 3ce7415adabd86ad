#include "server/store.h"

#include <cstdlib>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <sqlite3.h>

namespace pellaro {
namespace {

// A new empty folder under the system's temporary folder, removed at the end.
struct TempFolder {
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "pellaro-store-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        path = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    TempFolder(TempFolder&&) = delete;
    TempFolder& operator=(TempFolder&&) = delete;

    std::filesystem::path path;
};

StoredTable tableOf(const std::string& code, std::size_t seats, std::uint64_t seed) {
    StoredTable table{code, seed, 0, "2026-12-10T13:05:00Z", {}, {}, false};
    table.seats.resize(seats);
    return table;
}

// Runs SQL straight on server.db, as a damaged or crafted file would hold it.
void tamper(const std::filesystem::path& folder, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((folder / "server.db").c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error != nullptr ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << message;
}

TEST(Store, KeepsWhatWasWrittenAcrossReopening) {
    TempFolder temp;
    const auto folder = temp.path / "data";
    std::vector<StoredTable> expected{
        tableOf("AAAAA2", 2, std::numeric_limits<std::uint64_t>::max()),
        tableOf("ZZZZZ9", 5, 1ULL << 63U), tableOf("MMMMM5", 3, 0)};
    const StoredSeat joined{SeatKind::Person, true, "Ann_b-7", TokenHash{1, 2, 3, 255}};
    const StoredSeat computer{SeatKind::Hard, false, "", TokenHash{}};
    {
        std::string why;
        std::optional<Store> store = Store::open(folder, why);
        ASSERT_TRUE(store) << why;
        EXPECT_EQ(std::filesystem::status(folder).permissions(), std::filesystem::perms::owner_all);
        expected[1].creator = 4;
        for (const StoredTable& table : expected) {
            ASSERT_TRUE(store->createTable(table, why)) << why;
        }
        ASSERT_TRUE(store->createTable(tableOf("CLOSED", 2, 5), why)) << why;
        ASSERT_TRUE(store->closeTable("CLOSED", why)) << why;
        ASSERT_TRUE(store->setSeat("ZZZZZ9", 4, joined, why)) << why;
        ASSERT_TRUE(store->setSeat("ZZZZZ9", 2, computer, why)) << why;
        const std::vector<ChosenMove> moves{
            {TurnAction::Draw, 4}, {TurnAction::Take, 0}, {TurnAction::Draw, 2}};
        for (std::size_t i = 0; i < moves.size(); ++i) {
            ASSERT_TRUE(store->setDrawn("ZZZZZ9", true, why)) << why;
            ASSERT_TRUE(store->addMove("ZZZZZ9", i, moves[i], why)) << why;
        }
        ASSERT_TRUE(store->setDrawn("MMMMM5", true, why)) << why;
        expected[1].seats[4] = joined;
        expected[1].seats[2] = computer;
        expected[1].moves = moves;
        expected[2].drawn = true;
    }
    std::string why;
    const std::optional<Store> again = Store::open(folder, why);
    ASSERT_TRUE(again) << why;
    std::vector<std::string> warnings;
    EXPECT_EQ(again->loadTables(warnings), expected);
    EXPECT_TRUE(warnings.empty());
}

TEST(Store, RefusesWritesThatWouldBreakItsTables) {
    Store store = Store::inMemory();
    std::string why;
    ASSERT_TRUE(store.createTable(tableOf("TABLE2", 3, 9), why)) << why;
    ASSERT_TRUE(store.addMove("TABLE2", 0, {TurnAction::Draw, 1}, why)) << why;
    ASSERT_TRUE(store.createTable(tableOf("SHUT22", 2, 9), why)) << why;
    ASSERT_TRUE(store.closeTable("SHUT22", why)) << why;
    const StoredSeat seat{SeatKind::Person, true, "Bo", TokenHash{}};
    struct Case {
        const char* what;
        std::function<bool(std::string&)> write;
        std::string why;
    };
    const std::vector<Case> cases{
        {"taken code",
         [&](std::string& w) { return store.createTable(tableOf("TABLE2", 2, 1), w); },
         "table code TABLE2 is taken"},
        {"one seat", [&](std::string& w) { return store.createTable(tableOf("NEW222", 1, 1), w); },
         "table NEW222 cannot be stored: it has 1 seats"},
        {"six seats", [&](std::string& w) { return store.createTable(tableOf("NEW222", 6, 1), w); },
         "table NEW222 cannot be stored: it has 6 seats"},
        {"move twice", [&](std::string& w) { return store.addMove("TABLE2", 0, {}, w); },
         "table TABLE2 has 1 moves stored, not 0"},
        {"move gap", [&](std::string& w) { return store.addMove("TABLE2", 2, {}, w); },
         "table TABLE2 has 1 moves stored, not 2"},
        {"move row",
         [&](std::string& w) {
             return store.addMove("TABLE2", 1, {TurnAction::Take, 3}, w);
         },
         "table TABLE2 has no row 3"},
        {"move unknown", [&](std::string& w) { return store.addMove("NOPE22", 0, {}, w); },
         "no table NOPE22"},
        {"move closed", [&](std::string& w) { return store.addMove("SHUT22", 0, {}, w); },
         "table SHUT22 is closed"},
        {"seat unknown", [&](std::string& w) { return store.setSeat("NOPE22", 0, seat, w); },
         "no table NOPE22"},
        {"seat past", [&](std::string& w) { return store.setSeat("TABLE2", 3, seat, w); },
         "no seat 3 at table TABLE2"},
        {"seat name",
         [&](std::string& w) {
             return store.setSeat("TABLE2", 0, {SeatKind::Person, true, "a b", {}}, w);
         },
         "a name is up to 8 of A-Z a-z 0-9 _ -"},
        {"drawn unknown", [&](std::string& w) { return store.setDrawn("NO\x1b", true, w); },
         "no table NO?"},
        {"close unknown", [&](std::string& w) { return store.closeTable("NOPE22", w); },
         "no table NOPE22"},
    };
    for (const Case& c : cases) {
        std::string reason;
        EXPECT_FALSE(c.write(reason)) << c.what;
        EXPECT_EQ(reason, c.why) << c.what;
    }
    std::vector<std::string> warnings;
    const std::vector<StoredTable> tables = store.loadTables(warnings);
    ASSERT_EQ(tables.size(), 1U);
    EXPECT_EQ(tables[0].moves, (std::vector<ChosenMove>{{TurnAction::Draw, 1}}));
    EXPECT_EQ(tables[0].seats, std::vector<StoredSeat>(3));

    Store moved = std::move(store);
    EXPECT_FALSE(store.setDrawn("TABLE2", true, why)); // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(why, "the store is closed");
    EXPECT_TRUE(moved.setDrawn("TABLE2", true, why)) << why;
}

TEST(Store, RefusesAFolderItCannotOwn) {
    TempFolder temp;
    std::string why;
    std::optional<Store> first = Store::open(temp.path, why);
    ASSERT_TRUE(first) << why;
    EXPECT_FALSE(Store::open(temp.path, why));
    EXPECT_EQ(why, "another pellaro-server is using " + temp.path.string());
    first.reset();
    tamper(temp.path, "PRAGMA user_version = 2");
    EXPECT_FALSE(Store::open(temp.path, why));
    EXPECT_EQ(why, "cannot use " + (temp.path / "server.db").string() +
                       ": its format is version 2; this pellaro-server reads version 1");
    tamper(temp.path, "PRAGMA user_version = 1; PRAGMA application_id = 7");
    EXPECT_FALSE(Store::open(temp.path, why));
    EXPECT_EQ(why, "cannot use " + (temp.path / "server.db").string() +
                       ": it is not a pellaro-server database");

    const auto file = temp.path / "plain";
    std::ofstream(file) << "x";
    EXPECT_FALSE(Store::open(file, why));
    EXPECT_EQ(why, file.string() + " is not a folder");
}

TEST(Store, LeavesOutTablesItCouldNotHaveWritten) {
    struct Case {
        const char* sql;
        const char* warning;
    };
    const std::vector<Case> cases{
        {"UPDATE seats SET kind = 9 WHERE code = 'BAD222' AND seat = 1",
         "Table BAD222 left out: seat 1 has kind 9."},
        {"INSERT INTO moves VALUES('BAD222', 0, 0, 7)",
         "Table BAD222 left out: move 0 names row 7."},
        {"INSERT INTO moves VALUES('BAD222', 0, 1, 0), ('BAD222', 2, 0, 0)",
         "Table BAD222 left out: move 1 is missing."},
        {"UPDATE seats SET token = zeroblob(31) WHERE code = 'BAD222' AND seat = 0",
         "Table BAD222 left out: seat 0 has a token hash that is not 32 bytes."},
        {"UPDATE seats SET name = 'a' || char(27) WHERE code = 'BAD222' AND seat = 1",
         "Table BAD222 left out: seat 1 has a name that is not up to 8 of A-Z a-z 0-9 _ -."},
        {"UPDATE tables SET code = 'B' || char(27) || 'd' WHERE code = 'BAD222'",
         "Table B?? left out: its code is not six characters of A-Z and 2-9."},
        {"INSERT INTO moves VALUES('BAD222', 0, 2, 0)",
         "Table BAD222 left out: move 0 has action 2."},
        {"DELETE FROM seats WHERE code = 'BAD222' AND seat = 0",
         "Table BAD222 left out: seat 0 is missing."},
        {"UPDATE tables SET creator = 3 WHERE code = 'BAD222'",
         "Table BAD222 left out: its creator is seat 3."},
    };
    for (const Case& c : cases) {
        TempFolder temp;
        std::string why;
        {
            std::optional<Store> store = Store::open(temp.path, why);
            ASSERT_TRUE(store) << why;
            ASSERT_TRUE(store->createTable(tableOf("GOOD22", 2, 1), why)) << why;
            ASSERT_TRUE(store->createTable(tableOf("BAD222", 2, 2), why)) << why;
            ASSERT_TRUE(store->createTable(tableOf("GOOD33", 3, 3), why)) << why;
        }
        tamper(temp.path, c.sql);
        const std::optional<Store> store = Store::open(temp.path, why);
        ASSERT_TRUE(store) << why;
        std::vector<std::string> warnings;
        const std::vector<StoredTable> tables = store->loadTables(warnings);
        EXPECT_EQ(warnings, std::vector<std::string>{c.warning}) << c.sql;
        ASSERT_EQ(tables.size(), 2U) << c.sql;
        EXPECT_EQ(tables[0].code, "GOOD22");
        EXPECT_EQ(tables[1].code, "GOOD33");
    }
}

TEST(Store, KeepsItsKeyAndEachFolderHasItsOwn) {
    TempFolder one;
    TempFolder two;
    std::string why;
    std::optional<Store> first = Store::open(one.path, why);
    ASSERT_TRUE(first) << why;
    const std::array<std::uint8_t, 32> key = first->key();
    EXPECT_NE(key, (std::array<std::uint8_t, 32>{}));
    first.reset();
    const std::optional<Store> again = Store::open(one.path, why);
    ASSERT_TRUE(again) << why;
    EXPECT_EQ(again->key(), key);
    const std::optional<Store> other = Store::open(two.path, why);
    ASSERT_TRUE(other) << why;
    EXPECT_NE(other->key(), key);
}

} // namespace
} // namespace pellaro
