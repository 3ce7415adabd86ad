#pragma once

#include "../engine/turn.h"
#include "../solo/history.h"
#include "jobs.h"
#include "store.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellaro {

// One table of pellaro-server: its seats, its game and what each
// connection at it has been told. Every move is stored before anyone is
// told of it; people see pellaro-solo's screens, a question only on their
// own turn, and their drawn card alone.

// How much of the game's news a connection has been shown.
struct Told {
    std::size_t shown = 0;
    std::int32_t headed = 0;
};

struct TableSeat {
    // The connection that holds the seat now; 0 when nobody does.
    ClientId holder = 0;
    Told told{};
    // A person's decisions, for the review.
    std::vector<Decision> decisions{};
    // A computer player's bot.
    Bot bot{};
    // The game is over and the review is offered to this seat.
    bool reviewOffered = false;
};

struct ServerTable {
    StoredTable stored;
    std::vector<TableSeat> seats{};
    GameState game{};
    PublicState known{};
    History history{};
    // The seat to move answered T and is asked which row.
    bool takeAsked = false;
    std::map<ClientId, Told> watchers{};
    // A computer player's move is being decided.
    bool thinking = false;
    // Numbers each question asked, so that a hint that comes late is dropped.
    std::uint64_t question = 0;
    // For a table still waiting for people: the sweep (see Lobby::sweep)
    // at which nobody was at it any more, 0 while someone is.
    std::uint64_t emptySince = 0;
};

// The table of a stored record, its moves replayed; nothing, with the
// reason, when a move is one the rules refuse.
std::optional<ServerTable> tableOf(StoredTable stored, std::string& why);

// A new table's bot for a computer seat.
void seatComputer(ServerTable& table, std::int32_t seat);

// Every person's seat has been joined.
bool isStarted(const ServerTable& table);

bool isOver(const ServerTable& table);

// A person's seat that someone may join.
bool isFree(const ServerTable& table, std::int32_t seat);

// "K7QF2M  4 players: #1 ann, #2 free, #3 Hard, #4 Hard" for the list.
std::string tableSummary(const ServerTable& table);

// Told to everyone at the table once every person's seat is joined.
void tellStart(ServerTable& table, Outbox& out);

// Moves the game on: asks the person to move, plays what needs no answer
// (a Draw when no row can be taken, the only row with room), or starts the
// computer player's job. Nothing while the game waits for people.
void nextStep(ServerTable& table, Store& store, Outbox& out);

// Why the seat may not answer now, or nothing.
std::optional<std::string> answerRefusal(const ServerTable& table, std::int32_t seat);

// The answer of the seat's holder, which answerRefusal allowed.
void answer(ServerTable& table, Store& store, std::int32_t seat, std::string_view text,
            Outbox& out);

// A job's result for this table: a computer player's move is stored and
// played, a hint or a review shown; a result the table has moved past is
// dropped.
void jobDone(ServerTable& table, Store& store, const JobResult& result, Outbox& out);

// Everything a connection that comes to the table is shown: every move so
// far, the news, the board and, for a seat, its question.
void showTable(ServerTable& table, Store& store, ClientId client, std::int32_t seat, Outbox& out);

// The board as the seat (or -1, a watcher) sees it.
void showBoard(const ServerTable& table, ClientId client, std::int32_t seat, Outbox& out);

// The seat's open question again, if it has one.
void askAgain(ServerTable& table, std::int32_t seat, Outbox& out);

// Everyone at the table: the seats' holders and the watchers.
std::vector<ClientId> audience(const ServerTable& table);

} // namespace pellaro
