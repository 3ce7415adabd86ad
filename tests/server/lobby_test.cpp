// pellaro-server's lobby and tables driven in memory: what a connection may
// not do, what every seat is told, and a server killed in the middle of a turn.
#include "engine/game_state.h"
#include "engine/results.h"
#include "engine/turn.h"
#include "fuzz/lobby_room.h"

#include <gtest/gtest.h>
#include <random>
#include <sstream>

namespace pellaro {
namespace {

struct Seat {
    std::string code;
    std::string seat;
    std::string token;
};

// The fields of "OK CODE SEAT TOKEN".
Seat seatOf(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        std::istringstream words(line);
        std::string ok;
        Seat seat;
        if (words >> ok >> seat.code >> seat.seat >> seat.token && ok == "OK" &&
            seat.token.size() == 32) {
            return seat;
        }
    }
    ADD_FAILURE() << "no seat was given";
    return {};
}

bool startsWith(const std::string& line, std::string_view start) {
    return line.compare(0, start.size(), start) == 0;
}

std::vector<std::string> movesOf(const std::vector<std::string>& lines) {
    std::vector<std::string> moves;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(moves),
                 [](const std::string& line) { return startsWith(line, "MOVE "); });
    return moves;
}

// The question a connection was last asked and has not answered, if any.
std::string openQuestion(LobbyRoom& room, ClientId client, std::string& pending) {
    for (const std::string& line : room.take(client)) {
        if (startsWith(line, "? ")) {
            pending = line;
        }
    }
    return pending;
}

// People who answer every question at random, never asking for a hint,
// until nobody is asked anything; `pendings` holds each one's open question.
// Drawing from the generator changes it, whatever the analysis says.
// cppcheck-suppress constParameter
void playOn(LobbyRoom& room, const std::vector<ClientId>& people, std::mt19937& random,
            std::map<ClientId, std::string>& pendings) {
    for (bool asked = true; asked;) {
        asked = false;
        for (const ClientId client : people) {
            std::string& pending = pendings[client];
            const std::string question = openQuestion(room, client, pending);
            if (question.empty()) {
                continue;
            }
            asked = true;
            pending.clear();
            std::string reply;
            if (question.find("Review") != std::string::npos) {
                reply = "n";
            } else if (question.find("(D)raw") != std::string::npos) {
                reply = random() % 3 == 0 ? "t" : "d";
            } else {
                reply = std::to_string(random() % 6);
            }
            room.send(client, "ANSWER " + reply);
        }
    }
}

TEST(ServerLobby, WhatIsNotTheSendersToDoIsRefusedInOneLineAndChangesNothing) {
    LobbyRoom room;
    room.heavyJobs = false;
    for (ClientId client = 1; client <= 4; ++client) {
        room.connect(client);
    }
    room.send(1, "CREATE PPE");
    const Seat first = seatOf(room.take(1));
    room.send(2, "JOIN " + first.code);
    const Seat second = seatOf(room.take(2));
    room.send(3, "WATCH " + first.code);
    // Seat 1 opens the game, and is asked.
    const std::vector<std::string> opened = room.take(1);
    ASSERT_TRUE(startsWith(opened.back(), "? ")) << opened.back();
    const std::string& code = first.code;
    const std::string none = "ERR no seat of a table in play has that code, seat and token";
    const std::string noSeat = "ERR you hold no seat: CREATE, JOIN or RESUME one first";
    struct Attack {
        ClientId client;
        std::string line;
        std::string reply;
    };
    const std::vector<Attack> cases = {
        {4, "ANSWER d", noSeat},
        {3, "ANSWER d", noSeat},
        {2, "ANSWER d", "ERR it is not your turn"},
        {2, "answer 1", "ERR it is not your turn"},
        {4, "RESUME " + code + " 1 " + std::string(32, '0'), none},
        {4, "RESUME " + code + " 2 " + first.token, none},
        {4, "RESUME " + code + " 3 " + first.token, none},
        {4, "RESUME " + code + " 5 " + first.token, none},
        {4, "RESUME ZZZZZZ 1 " + first.token, none},
        {4, "RESUME " + code + " 1 " + first.token.substr(1),
         "ERR a seat token is the 32 digits "
         "and letters a to f that JOIN or "
         "CREATE gave"},
        {4, "JOIN " + code, "ERR table " + code + " has no free seat"},
        {4, "JOIN " + code + " 3", "ERR seat 3 of table " + code + " is not free"},
        {4, "JOIN " + code + " 9", "ERR seats are numbered 1 to 5"},
        {4, "JOIN ZZZZZZ", "ERR there is no table ZZZZZZ"},
        {4, "JOIN " + code + ";DROP",
         "ERR a table code is six letters and digits, "
         "such as K7QF2M"},
        {2, "HAND 1 E", "ERR only the table's creator, at its seat, may hand a seat over"},
        {3, "HAND 2 E", "ERR only the table's creator, at its seat, may hand a seat over"},
        {1, "HAND 2 E", "ERR seat 2 is no person's seat that nobody holds in a game under way"},
        {1, "HAND 3 H", "ERR seat 3 is no person's seat that nobody holds in a game under way"},
        {1, "HAND 2 P", "ERR usage: HAND <seat> <E|M|H>"},
        {4, "\x1b[2J", "ERR lines are printable ASCII"},
        {4, std::string("JOIN \0", 6), "ERR lines are printable ASCII"},
        {4, "", "ERR an empty line is no command; HELP lists them"},
        {4, "FLY away", "ERR no such command; HELP lists them"},
        {4, "LIST everything", "ERR LIST takes nothing after it"},
        {4, "ANSWER", "ERR usage: ANSWER <text>"},
        {4, "CREATE EEH", "ERR a table needs a person: at least one seat P"},
        {4, "CREATE PPPPPP",
         "ERR a table has 2 to 5 seats: one letter each, P for a person, E, "
         "M or H for a computer player"},
        {4, "CREATE PX",
         "ERR seats are P for a person, E, M or H for an Easy, Medium or Hard "
         "computer player"},
        {4, "NAME robert-the-long", "ERR a name is 1 to 8 letters, digits, - or _"},
        {4, "NAME a;b", "ERR a name is 1 to 8 letters, digits, - or _"},
        {4, "LEAVE", "ERR you are at no table"},
        {4, "BOARD", "ERR you are at no table"},
    };
    for (ClientId client = 1; client <= 4; ++client) {
        room.take(client);
    }
    for (const auto& attack : cases) {
        room.send(attack.client, attack.line);
        for (ClientId client = 1; client <= 4; ++client) {
            const std::vector<std::string> lines = room.take(client);
            if (client == attack.client) {
                EXPECT_EQ(lines, std::vector<std::string>{attack.reply}) << attack.line;
            } else {
                EXPECT_TRUE(lines.empty()) << attack.line << " told client " << client;
            }
        }
    }
    // The table is as it was: seat 1 still to move, nothing stored.
    std::vector<std::string> warnings;
    EXPECT_TRUE(room.store.loadTables(warnings).at(0).moves.empty());
    room.send(1, "ANSWER d");
    EXPECT_EQ(room.take(1).front(), "OK");
    EXPECT_EQ(second.seat, "2");
}

// The moves told, replayed on the deal whose seed the end names, are each
// one the rules allow with the card shown, end the game, and give every
// score shown.
void expectReplayedEnd(const std::vector<std::string>& told, const std::vector<std::string>& seen) {
    std::uint64_t seed = 0;
    for (const std::string& line : seen) {
        if (startsWith(line, "| This deal was seed ")) {
            seed = std::stoull(line.substr(21));
        }
    }
    GameState replay = seededDeal(3, seed);
    PublicState known = publicStateOf(replay);
    bool over = false;
    for (std::size_t index = 0; index < told.size(); ++index) {
        std::istringstream words(told[index]);
        std::string tag;
        std::string code;
        std::string action;
        std::string card;
        std::size_t number = 0;
        std::int32_t seat = 0;
        std::int32_t row = 0;
        words >> tag >> code >> number >> seat >> action >> row >> card;
        ASSERT_EQ(number, index + 1);
        ASSERT_EQ(seat, replay.currentPlayer + 1);
        const ChosenMove move{action == "D" ? TurnAction::Draw : TurnAction::Take, row - 1};
        ASSERT_TRUE(isRowValid(replay, move.action, move.row)) << told[index];
        if (move.action == TurnAction::Draw) {
            ASSERT_EQ(card, cardLabels[static_cast<std::size_t>(topCard(replay))]);
        }
        over = playTurn(replay, known, move).over;
    }
    ASSERT_TRUE(over);
    const std::vector<std::int32_t> scores = allScores(replay);
    for (std::size_t seat = 0; seat < scores.size(); ++seat) {
        const std::string scored = " scored " + std::to_string(scores[seat]) + '.';
        const std::string name = "| Player #" + std::to_string(seat + 1);
        const bool shown = std::any_of(seen.begin(), seen.end(), [&](const std::string& line) {
            return startsWith(line, name) && line.find(scored) != std::string::npos;
        });
        EXPECT_TRUE(shown) << name << scored;
    }
}

// Two people, an Easy computer player and a watcher play whole games.
TEST(ServerLobby, EverySeatIsToldTheStoredMovesAndTheGameEndsAsTheRulesSay) {
    for (std::uint32_t game = 0; game < 6; ++game) {
        LobbyRoom room;
        room.heavyJobs = false;
        std::mt19937 random(game);
        for (ClientId client = 1; client <= 3; ++client) {
            room.connect(client);
        }
        room.send(1, "NAME ann");
        room.send(2, "NAME bo");
        room.send(1, game % 2 == 0 ? "CREATE PPE" : "CREATE EPP");
        const Seat first = seatOf(room.seen[1]);
        room.send(2, "JOIN " + first.code);
        room.send(3, "WATCH " + first.code);
        std::map<ClientId, std::string> pendings;
        // Half way, the store holds exactly the moves everyone was told.
        for (int step = 0; step < 40; ++step) {
            std::string& pending = pendings[1 + step % 2];
            if (!openQuestion(room, 1 + step % 2, pending).empty()) {
                pending.clear();
                room.send(1 + step % 2, step % 3 == 0 ? "ANSWER t" : "ANSWER d");
                room.send(1 + step % 2, "ANSWER " + std::to_string(1 + step % 3));
            }
        }
        std::vector<std::string> warnings;
        const std::vector<StoredTable> stored = room.store.loadTables(warnings);
        ASSERT_EQ(stored.size(), 1U);
        const std::vector<std::string> toldSoFar = movesOf(room.seen[3]);
        ASSERT_EQ(stored[0].moves.size(), toldSoFar.size());
        playOn(room, {1, 2}, random, pendings);

        const std::vector<std::string> told = movesOf(room.seen[3]);
        EXPECT_EQ(movesOf(room.seen[1]), told);
        EXPECT_EQ(movesOf(room.seen[2]), told);
        expectReplayedEnd(told, room.seen[3]);
        // The watcher is never asked, nor shown a drawn card.
        for (const std::string& line : room.seen[3]) {
            EXPECT_FALSE(startsWith(line, "? ") || line.find("You drew") != std::string::npos)
                << line;
        }
        // A finished table is kept for those at it, and closed once they left.
        EXPECT_EQ(room.store.loadTables(warnings).size(), 1U);
        for (ClientId client = 1; client <= 3; ++client) {
            room.disconnect(client);
        }
        EXPECT_TRUE(room.store.loadTables(warnings).empty());
    }
}

TEST(ServerLobby, AServerKilledAfterADrawGivesTheSeatBackAtTheCardItShowed) {
    for (std::uint32_t attempt = 0; attempt < 20; ++attempt) {
        LobbyRoom room;
        room.heavyJobs = false;
        room.connect(1);
        room.send(1, "CREATE PE");
        const Seat seat = seatOf(room.seen[1]);
        // Play until a drawn card must be placed by a choice of rows.
        std::string pending;
        std::string drawnLine;
        for (int step = 0; step < 60 && drawnLine.empty(); ++step) {
            const std::string question = openQuestion(room, 1, pending);
            pending.clear();
            const bool action = question.find("(D)raw") != std::string::npos;
            room.send(1, action ? "ANSWER d" : "ANSWER " + std::to_string(1 + step % 2));
            const std::vector<std::string>& lines = room.seen[1];
            if (action && startsWith(lines.back(), "? Row to place it on")) {
                drawnLine = lines[lines.size() - 2];
            }
        }
        if (drawnLine.empty()) {
            continue;
        }
        const std::vector<std::string> toldBefore = movesOf(room.seen[1]);
        room.restart();
        room.connect(2);
        room.send(2, "RESUME " + seat.code + " 1 " + seat.token);
        const std::vector<std::string> lines = room.take(2);
        ASSERT_GE(lines.size(), 3U);
        EXPECT_EQ(lines[1], "OK " + seat.code + " 1");
        EXPECT_EQ(movesOf(lines), toldBefore);
        EXPECT_TRUE(startsWith(lines.back(), "? Row to place it on"));
        // "| Player #1 (you), turn 7: You drew S." against "| You drew S.".
        const std::string card = drawnLine.substr(drawnLine.find("You drew"));
        EXPECT_NE(lines[lines.size() - 2].find(": " + card), std::string::npos);
        // The Draw cannot be taken back.
        room.send(2, "ANSWER t");
        EXPECT_TRUE(startsWith(room.take(2).at(1), "| Please type a row number"));
        std::mt19937 random(attempt);
        std::map<ClientId, std::string> pendings;
        room.send(2, "BOARD");
        playOn(room, {2}, random, pendings);
        EXPECT_NE(std::find(room.seen[2].begin(), room.seen[2].end(),
                            "| The game is over: CREATE, JOIN or WATCH another, or QUIT."),
                  room.seen[2].end());
        return;
    }
    FAIL() << "no game drew a card with a choice of rows";
}

// The server killed at every question of whole games: each time the seat
// comes back to the question it had, a voluntary Take aside (the row was
// not chosen, so the Draw is open again), and after the end to the review.
TEST(ServerLobby, AServerKilledAtAnyQuestionAsksItAgainAsItWas) {
    // The deals come from the system's random source: games go on until one
    // has had a turn with only a Take, three at least.
    bool sawForcedTake = false;
    for (std::uint32_t game = 0; game < 3 || (!sawForcedTake && game < 40); ++game) {
        LobbyRoom room;
        room.heavyJobs = false;
        ClientId client = 1;
        room.connect(client);
        room.send(client, game % 2 == 0 ? "CREATE PE" : "CREATE PEE");
        const Seat seat = seatOf(room.seen[client]);
        std::mt19937 random(game);
        std::string asked = room.seen[client].back();
        for (int step = 0; step < 400 && asked.compare(0, 2, "? ") == 0; ++step) {
            const bool onlyTake = asked.find("Row to take") != std::string::npos &&
                                  asked.find("B to go back") == std::string::npos;
            sawForcedTake = sawForcedTake || onlyTake;
            room.restart();
            room.connect(++client);
            room.send(client, "RESUME " + seat.code + " 1 " + seat.token);
            const std::string again = room.seen[client].back();
            if (asked.find("B to go back") != std::string::npos) {
                EXPECT_NE(again.find("(D)raw"), std::string::npos) << again;
            } else {
                EXPECT_EQ(again, asked);
            }
            std::string reply = again.find("(D)raw") != std::string::npos
                                    ? (random() % 8 == 0 ? "t" : "d")
                                    : std::to_string(1 + random() % 3);
            if (again.find("Review") != std::string::npos) {
                reply = "n";
            }
            room.send(client, "ANSWER " + reply);
            asked = room.seen[client].back();
        }
        EXPECT_EQ(asked, "| The game is over: CREATE, JOIN or WATCH another, or QUIT.");
    }
    EXPECT_TRUE(sawForcedTake) << "no turn had only a Take";
}

TEST(ServerLobby, TheCreatorHandsTheSeatOfAPersonWhoLeftToAComputerPlayer) {
    LobbyRoom room;
    room.heavyJobs = false;
    room.connect(1);
    room.connect(2);
    room.send(1, "CREATE PP");
    const Seat seat = seatOf(room.seen[1]);
    room.send(2, "JOIN " + seat.code);
    room.disconnect(2);
    EXPECT_EQ(room.seen[1].back(), "| Player #2 is away; the seat waits for them.");
    room.send(1, "HAND 2 M");
    const std::vector<std::string> handed(room.seen[1].end() - 2, room.seen[1].end());
    EXPECT_EQ(handed, (std::vector<std::string>{
                          "OK", "| Player #2 is played by a Medium computer player from now on."}));
    std::mt19937 random(5);
    std::map<ClientId, std::string> pendings;
    room.budget = 50;
    playOn(room, {1}, random, pendings);
    EXPECT_TRUE(startsWith(room.seen[1].back(), "| The game is over"));
    const std::vector<std::string> moves = movesOf(room.seen[1]);
    EXPECT_TRUE(std::any_of(moves.begin(), moves.end(), [](const std::string& line) {
        return line.find(" 2 D ") != std::string::npos || line.find(" 2 T ") != std::string::npos;
    }));
}

TEST(ServerLobby, ATableNobodyComesBackToIsClosedAfterItsTime) {
    LobbyRoom room;
    room.connect(1);
    room.connect(2);
    room.send(1, "CREATE PP");
    const Seat waiting = seatOf(room.seen[1]);
    room.send(2, "CREATE PPP");
    room.disconnect(1);
    // Counted from the first sweep that finds it empty; a table someone
    // still sits at is never closed.
    for (int sweep = 0; sweep < 3; ++sweep) {
        EXPECT_EQ(room.lobby->sweep(3), 0U) << sweep;
    }
    EXPECT_EQ(room.lobby->sweep(3), 1U);
    std::vector<std::string> warnings;
    EXPECT_EQ(room.store.loadTables(warnings).size(), 1U);
    room.send(2, "JOIN " + waiting.code);
    EXPECT_EQ(room.take(2).back(), "ERR there is no table " + waiting.code);
}

} // namespace
} // namespace pellaro
