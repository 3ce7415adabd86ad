#include "console/console_view.h"
#include "support/redirected_console.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pellaro {

namespace {

Row row(std::vector<CardKind> cards, bool taken = false) {
    Row built;
    for (std::size_t i = 0; i < cards.size(); ++i) {
        built.slots[i] = cards[i];
    }
    built.full = cards.size() == 3;
    built.taken = taken;
    return built;
}

PlayerState player(std::array<std::int32_t, cardKindCount> counts, bool out = false) {
    return PlayerState{out, counts};
}

std::string shown(std::int32_t count, const std::vector<PlayerState>& players,
                  const std::vector<Row>& rows, bool lastRound) {
    RedirectedConsole console("");
    ConsoleView view{};
    view.playerCount = count;
    view.showBoard(PlayerList(players.begin(), players.end()), RowList(rows.begin(), rows.end()),
                   lastRound);
    EXPECT_EQ(console.unread(), "");
    return console.output();
}

const std::string emptyHand = "R:0 G:0 B:0 Y:0 P:0 S:0 V:0 W:0 +2:0 Taken? ";

TEST(Board, ThreePlayersInTheLastRound) {
    const std::vector<PlayerState> players = {
        player({2, 0, 1, 0, 0, 3, 0, 1, 1}, true),
        player({0, 3, 0, 0, 0, 0, 0, 0, 0}),
        player({0, 0, 4, 0, 0, 0, 0, 0, 2}),
    };
    // Row 2 was taken with its three cards still in it.
    const std::vector<Row> rows = {row({Red, Wild}), row({Blue, Blue, Green}, true), row({})};
    EXPECT_EQ(shown(3, players, rows, true),
              "\n\n\n\n"
              "LAST ROUND!!\n"
              "Current board\n"
              "Row #1| R W \n"
              "Row #2| Taken\n"
              "Row #3| \n"
              "\n"
              "The players' hands\n"
              "Player #1|  R:2 G:0 B:1 Y:0 P:0 S:3 V:0 W:1 +2:1 Taken? Y\n"
              "Player #2|  R:0 G:3 B:0 Y:0 P:0 S:0 V:0 W:0 +2:0 Taken? N\n"
              "Player #3|  R:0 G:0 B:4 Y:0 P:0 S:0 V:0 W:0 +2:2 Taken? N\n");
}

TEST(Board, RowLines) {
    struct Case {
        Row shownRow;
        std::string line;
    };
    const std::vector<Case> cases = {
        {row({}), "Row #1| \n"},
        {row({Violet}), "Row #1| V \n"},
        {row({PlusTwo}), "Row #1| +2 \n"},
        {row({Blue, PlusTwo, Wild}), "Row #1| B +2 W \n"},
        {row({Red, Green, Blue}), "Row #1| R G B \n"},
        {row({Yellow, Pink, Silver}), "Row #1| Y P S \n"},
        {row({Red}, true), "Row #1| Taken\n"},
        {row({Red, Red, Red}, true), "Row #1| Taken\n"},
    };
    for (const Case& c : cases) {
        const std::string board = shown(2, {player({}), player({})}, {c.shownRow, row({})}, false);
        EXPECT_EQ(board.substr(0, std::string("\n\n\n\nCurrent board\n").size() + c.line.size()),
                  "\n\n\n\nCurrent board\n" + c.line);
    }
}

TEST(Board, TheStartOfARoundForEachPlayerCount) {
    for (std::int32_t count = 2; count <= 5; ++count) {
        std::string expected = "\n\n\n\nCurrent board\n";
        for (std::int32_t r = 1; r <= count; ++r) {
            expected += "Row #" + std::to_string(r) + "| \n";
        }
        expected += "\nThe players' hands\n";
        for (std::int32_t p = 1; p <= count; ++p) {
            expected += "Player #" + std::to_string(p) + "|  " + emptyHand + "N\n";
        }
        const std::vector<PlayerState> players(count);
        const std::vector<Row> rows(count);
        EXPECT_EQ(shown(count, players, rows, false), expected) << count;
    }
}

TEST(Board, LargeCountsAreNotAligned) {
    const std::vector<PlayerState> players = {player({9, 9, 9, 9, 9, 9, 9, 3, 10}, true),
                                              player({})};
    const std::string board = shown(2, players, {row({}), row({})}, false);
    EXPECT_NE(board.find("Player #1|  R:9 G:9 B:9 Y:9 P:9 S:9 V:9 W:3 +2:10 Taken? Y\n"
                         "Player #2|  " +
                         emptyHand + "N\n"),
              std::string::npos);
}

} // namespace

} // namespace pellaro
