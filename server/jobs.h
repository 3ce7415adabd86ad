#pragma once

#include "../bots/bot.h"
#include "../engine/game_state.h"
#include "../solo/advice.h"
#include "../solo/history.h"
#include "../solo/seating.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace pellaro {

// The work of a table that takes long enough to stall every other table if
// the event loop did it: a computer player's move, a hint, a review. A job
// carries copies of all it needs, so that a worker thread shares nothing
// with the tables; its result goes back to the loop, which drops it if the
// table has moved on meanwhile.

// A connection of the server, numbered from 1 in the order they came.
using ClientId = std::uint64_t;

enum class JobKind : std::uint8_t { Move, Hint, Review };

struct Job {
    JobKind kind = JobKind::Move;
    std::string table;
    // Moves played when the job was made, and the question it answers: a
    // result for a table that has moved on since is dropped.
    std::size_t moves = 0;
    std::uint64_t question = 0;
    ClientId client = 0;
    std::int32_t seat = 0;
    GameState game{};
    // A computer player's move: its bot, and whether the seat has drawn.
    Bot bot{};
    bool drawn = false;
    // A hint: the question and its seed.
    DecisionStage stage = DecisionStage::Action;
    TurnAction action = TurnAction::Draw;
    bool backToDraw = false;
    std::uint64_t seed = 0;
    // A review: the seat's decisions and the game they come from.
    std::vector<Decision> decisions{};
    History history{};
    Seating seating{};
};

struct JobResult {
    JobKind kind = JobKind::Move;
    std::string table;
    std::size_t moves = 0;
    std::uint64_t question = 0;
    ClientId client = 0;
    std::int32_t seat = 0;
    ChosenMove move{};
    std::vector<std::string> lines{};
};

// Does the job; runs on a worker thread.
JobResult runJob(Job job);

// Lines for one connection, in order, and what else the loop must do once
// they are sent.
struct Outbox {
    std::vector<std::pair<ClientId, std::string>> lines{};
    // Connections to close once their lines are sent.
    std::vector<ClientId> closing{};
    std::vector<Job> jobs{};
    // Moves stored and told, for the server's measure of how long that takes.
    std::size_t moves = 0;

    void say(ClientId client, std::string line) { lines.emplace_back(client, std::move(line)); }
};

} // namespace pellaro
