#include "console/console_input.h"
#include "console/console_view.h"
#include "random_play.h"

#include <benchmark/benchmark.h>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

namespace pellaro {

namespace {

// Standard output goes to a string buffer emptied before every call, so the
// figures are the cost of building the text, not of a terminal. Its flushes
// cost nothing, where a real one is a system call per line end.
struct CapturedOutput {
    std::stringbuf buffer;
    std::streambuf* saved = nullptr;
};

void capture(CapturedOutput& output) {
    output.saved = std::cout.rdbuf(&output.buffer);
}

void release(CapturedOutput& output) {
    std::cout.rdbuf(output.saved);
}

void empty(CapturedOutput& output) {
    output.buffer.str(std::string());
}

// A five-player board in its last round, rows and piles half filled.
GameState lastRoundBoard() {
    GameState game = newGame(maxPlayers, 7);
    MoveRandom random;
    while (!isLastRound(game)) {
        const Move move = randomLegalMove(game, random);
        applyMove(game, move.action, move.row);
    }
    return game;
}

void board(benchmark::State& state) {
    const GameState game = lastRoundBoard();
    const ConsoleView view{game.numberOfPlayers};
    CapturedOutput output;
    capture(output);
    std::size_t written = 0;
    for ([[maybe_unused]] auto _ : state) {
        empty(output);
        view.showBoard(game.players, game.rows, isLastRound(game));
        written = output.buffer.view().size();
    }
    const bool shown =
        output.buffer.view().find("LAST ROUND!!\nCurrent board\n") != std::string_view::npos;
    release(output);
    if (!shown) {
        state.SkipWithError("the board was not written");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * written));
}
BENCHMARK(board);

void rulesWalkthrough(benchmark::State& state) {
    // The offer's yes and an Enter for each of the four pauses.
    const std::string answers = "y\n\n\n\n\n";
    std::istringstream input;
    std::streambuf* const savedInput = std::cin.rdbuf(input.rdbuf());
    CapturedOutput output;
    capture(output);
    std::size_t written = 0;
    for ([[maybe_unused]] auto _ : state) {
        input.str(answers);
        resetConsoleInput();
        empty(output);
        ConsoleView{}.offerRules();
        written = output.buffer.view().size();
    }
    const std::string_view shown = output.buffer.view();
    const bool complete = shown.starts_with("Would you like to hear the rules? (Y/N) ") &&
                          shown.ends_with("6-9     \t21\n\nPress enter to play; \n");
    release(output);
    std::cin.rdbuf(savedInput);
    resetConsoleInput();
    if (!complete) {
        state.SkipWithError("the walkthrough was not shown to its end");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * written));
}
BENCHMARK(rulesWalkthrough);

} // namespace

} // namespace pellaro
