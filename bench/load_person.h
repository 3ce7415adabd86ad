#pragma once

#include "../engine/seeded_random.h"
#include "../engine/turn.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellaro::load {

// One person of the server's load run: a scripted player at a table of four
// people, who thinks a while before each answer (or answers at once) and
// checks every line the server sends against what the game allows.

using Clock = std::chrono::steady_clock;

// A move as a MOVE line tells it, from 1: "2 D 3 +2" is seat 2 drawing a +2
// onto row 3.
struct ToldMove {
    std::int32_t seat = 0;
    TurnAction action = TurnAction::Draw;
    std::int32_t row = 0;
    // The card label of a Draw; empty for a Take.
    std::string card{};

    bool operator==(const ToldMove&) const = default;
};

// A table as its four people saw it together.
struct TableSeen {
    std::string code{};
    // The longest list of moves any of its people was told.
    std::vector<ToldMove> moves{};
    // How many of its people have been told each move.
    std::vector<std::int32_t> told{};
    // When the answer that makes move n (the key) was sent.
    std::map<std::size_t, Clock::time_point> answeredAt{};
    // From the end screen: the deal's seed and each seat's score.
    std::optional<std::uint64_t> seed{};
    std::vector<std::optional<std::int32_t>> scores{};
};

// What the run counts over every person.
struct Tally {
    std::vector<std::string> errors{};
    std::vector<double> latencies{};
    std::int64_t movesTold = 0;
    std::int64_t reconnects = 0;
    std::int64_t refusedRows = 0;
    // Seats whose RESUME was refused because their game ended while they were away.
    std::int64_t endedAway = 0;
    // No person answers a question at or past this move until `released`;
    // how many tables have reached it.
    std::size_t holdAt = 0;
    bool released = true;
    std::int32_t tablesHeld = 0;

    void error(const std::string& who, const std::string& what);
};

inline constexpr std::int32_t seatsPerTable = 4;

class Person {
public:
    // Seat 0 creates the table; the others join it once its code is known.
    // Before each answer it thinks from 0 to 2 * thinkMs milliseconds, drawn
    // apart from its choices so that the think time never changes the games.
    Person(TableSeen& table, std::int32_t index, std::uint64_t runSeed, std::int32_t person,
           std::int32_t thinkMs);

    // Feeds one line from the server; the lines to send back are appended to `send`.
    void hear(std::string_view line, std::vector<std::string>& send, Tally& tally);
    // The connection dropped: the next HELLO is answered with RESUME.
    void lost();
    // The first command of a new connection, once it can be sent.
    std::optional<std::string> greeting();
    // Thinks over the answer held back by Tally::holdAt, if any.
    void release(std::vector<std::string>& send);
    // When the answer being thought over is due; nothing while none is.
    std::optional<Clock::time_point> answerDue() const;
    // Sends the answer being thought over once `now` reaches its due time.
    void answerIfDue(Clock::time_point now, std::vector<std::string>& send);

    // Seated: the table's code, the seat and its token are known.
    bool seated() const { return !token_.empty(); }
    // Saw the game end and its last line, or its game ended while away.
    bool finished() const { return phase_ == Phase::Done || phase_ == Phase::EndedAway; }
    const std::vector<ToldMove>& moves() const { return moves_; }
    TableSeen& table() const { return table_; }
    std::string name() const;

private:
    enum class Phase : std::uint8_t { Arriving, Playing, Done, EndedAway };
    enum class Sent : std::uint8_t { None, Create, Join, Resume, Answer };

    void heardOk(std::string_view rest, Tally& tally);
    void heardMove(std::string_view rest, Tally& tally);
    void heardScreen(std::string_view text, Tally& tally);
    void heardQuestion(std::string_view question, std::vector<std::string>& send, Tally& tally);
    std::optional<std::string> answerFor(std::string_view question);
    void newMove(const ToldMove& move, Tally& tally);
    void think(std::string text, std::vector<std::string>& send);
    void answer(const std::string& text, std::vector<std::string>& send);

    TableSeen& table_;
    // Its place among the table's four connections: 0 creates the table.
    std::int32_t index_;
    SeededRandom random_;
    SeededRandom thinkRandom_;
    std::int32_t thinkMs_;
    // The seat the server gave, from 0.
    std::int32_t seat_ = -1;
    bool greeted_ = false;
    Phase phase_ = Phase::Arriving;
    Sent sent_ = Sent::None;
    std::string token_{};
    std::vector<ToldMove> moves_{};
    // The next MOVE number due on this connection: 1 again after JOIN or RESUME.
    std::size_t nextMove_ = 1;
    // Whose turn it is follows from how full the rows are and how many cards
    // are left, never from the cards' colours: a game of any deal, played
    // with the told moves, tracks it without the secret seed.
    GameState shadow_{};
    PublicState known_{};
    bool over_ = false;
    // The row just answered, and whether the rules allow it.
    std::optional<bool> rowAllowed_{};
    std::optional<std::string> held_{};
    // The answer being thought over and when it is due.
    std::optional<std::string> thinking_{};
    Clock::time_point dueAt_{};
    // Draw-or-Take questions where the rules leave one of them, not yet reported.
    std::int32_t pointlessQuestions_ = 0;
};

} // namespace pellaro::load
