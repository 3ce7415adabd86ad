#include "bots/bot.h"
#include "bots/bot_tables.h"
#include "protocol/program_bot.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pellaro {

namespace {

// A bot that greets, then answers every request with the replies given, in
// turn, and waits at the end of them.
std::string replying(const std::string& replies) {
    return "exec:read g; echo 'pellaro-bot 1 test'; for r in " + replies +
           "; do read q; echo \"$r\" | tr _ ' '; done; sleep 5";
}

// What a program's bot decides on a position, or why it failed: a move is
// written "D1" (draw, then place on row 1) or "T2" (take row 2).
std::string outcome(const std::string& name, const GameState& game) {
    Bot bot = newBot(*botNamed(name, defaultBudget), 3, game.currentPlayer);
    try {
        const ChosenMove move = askProgram(bot, game, RequestKey{}, 0, 0);
        return (move.action == TurnAction::Draw ? "D" : "T") + std::to_string(move.row + 1);
    } catch (const BotFailure& failure) {
        return failure.what();
    }
}

// Each way a program can fail is told in words of its own, and a program
// that answers well is asked for exactly its moves.
TEST(ExternalBot, DecidesWhatTheProgramSaysOrTellsHowItFailed) {
    GameState opening = seededDeal(2, 7);
    GameState oneRowFilled = opening;
    applyMove(oneRowFilled, TurnAction::Draw, 0);
    struct Case {
        std::string command;
        const GameState* game;
        std::string says;
    };
    const std::vector<Case> cases = {
        {replying("D 2"), &opening, "D2"},
        {replying("T_1"), &oneRowFilled, "T1"},
        {replying("T_1"), &opening, "chose to take, which no row allows"},
        {replying("T_2"), &oneRowFilled, "chose row 2, which does not allow a Take"},
        {replying("D 3"), &opening, "chose row 3, which does not allow the drawn card"},
        {replying("D 9"), &opening, "wrote \"9\", which is not a row"},
        {replying("draw"), &opening, "wrote \"draw\", which is not D, or T and a row"},
        {"exec:echo hello", &opening, "answered the greeting \"hello\""},
        {"exec:read g; echo 'pellaro-bot 2 later'", &opening, "answered the greeting"},
        {"exec:exit 5", &opening, "exited with status 5"},
        {"exec:kill -9 $$", &opening, "was killed by signal 9"},
        {"exec:/no/such/program", &opening, "could not be started (status 127"},
        {"exec:read g; echo 'pellaro-bot 1 t'; read q; exec sleep 60", &opening,
         "gave no answer within 5 seconds"},
        {"exec:read g; head -c 100000 /dev/zero | tr '\\0' x", &opening,
         "wrote a line longer than 4096 bytes"},
    };
    // Long enough that only the silent program meets it on a busy machine.
    setBotTimeLimit(std::chrono::seconds(5));
    for (const Case& c : cases) {
        EXPECT_NE(outcome(c.command, *c.game).find(c.says), std::string::npos)
            << c.command << ": " << outcome(c.command, *c.game);
        dropBotProcess(c.command.substr(execPrefix.size()));
    }
    setBotTimeLimit(defaultBotTimeLimit);
}

} // namespace

} // namespace pellaro
