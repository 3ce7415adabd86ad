#pragma once

#include "bots/bot.h"
#include "engine/turn.h"
#include "protocol/bot_process.h"
#include "summary.h"

#include <functional>

namespace pellaro {

// A game as its line in a --jsonl file says it went: enough to replay it
// move by move and to check its end. Moves are written "D2:R" (draw, place
// the R on row 2) and "T1" (take row 1), rows from 1.
struct GameRecord {
    std::int64_t game = 0;
    std::int64_t deal = 0;
    std::int32_t rotation = 0;
    std::uint64_t seed = 0;
    std::int32_t players = 0;
    std::vector<std::string> bots;
    std::array<CardKind, deckSize> deck{};
    std::vector<PlayedMove> moves;
    std::vector<std::array<std::int32_t, cardKindCount>> piles;
    std::vector<std::int32_t> scores;
    std::vector<std::int32_t> winners;
};

// The seats' bots in one rotation, set up once for every game a thread plays
// in it: a game reseats them rather than copying their settings anew.
struct Lineup {
    std::int32_t rotation = 0;
    std::array<Bot, maxPlayers> bots{};
    // Each seat's bot as botIndex numbers it.
    std::array<std::int32_t, maxPlayers> botIndices{};
};

Lineup lineupOf(const SimConfig& config, std::int32_t rotation);

// A deal's game in the lineup's rotation: the engine's shuffle fed by the
// deal's own generator, and each seat's bot seeded from the deal's seed and
// its seat. Fills the record when one is given. An external bot's failure is
// thrown on as a BotFailure whose message names the bot, the deal and the move.
GameOutcome playDeal(const SimConfig& config, Lineup& lineup, std::int64_t deal,
                     GameRecord* record);

// A program's bot failed among games played together; the games from the
// first up to gamesFinished - 1 were over before it.
struct FailureAmongGames : BotFailure {
    FailureAmongGames(const BotFailure& failure, std::size_t finished)
        : BotFailure(failure), gamesFinished(finished) {}
    std::size_t gamesFinished = 0;
};

// The games of deals first to end - 1, each in every rotation, played as
// playDeal plays them, but all at once: each time the programs' bots are to
// decide, the requests of every game waiting go to each program together,
// and the replies come back together. Game i of the range (deal first + i /
// rotations) has its outcome, and its record when asked for, at index i.
// Returns the number of games from the first that are over: all of them,
// unless `stopping` said so between two rounds of requests. A bot's failure
// throws FailureAmongGames.
std::size_t playGamesTogether(const SimConfig& config, std::int64_t first, std::int64_t end,
                              std::vector<GameOutcome>& outcomes, std::vector<GameRecord>* records,
                              const std::function<bool()>& stopping);

std::string moveText(const PlayedMove& move);

// Appends the record's line, its newline included.
void appendRecordLine(std::string& out, const GameRecord& record);

// The game number a line starts with, read without parsing the whole line;
// -1 when the line does not start as the writer starts it.
std::int64_t leadingGameNumber(std::string_view line);

// Reads a line back; false, with the reason, when it is not a well-formed record.
bool parseRecord(std::string_view line, GameRecord& record, std::string& error);

// Replays a record on its own deck and accepts it only if the deck holds
// exactly the game's 76 cards, every move is one the rules allow the player
// to move (a Draw placing the deck's top card), the last move and no other
// ends the game, and the piles, scores and winners are those recorded.
// Otherwise false, with the first fault found.
bool checkReplay(const GameRecord& record, std::string& error);

// The game move by move with the game's own board before every move, then
// its scores and winners, on standard output. For a record checkReplay accepts.
void showReplay(const GameRecord& record);

} // namespace pellaro
