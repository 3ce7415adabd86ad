#include "solo_loop.h"

#include "../console/console_input.h"
#include "../console/console_view.h"
#include "../driver/game_loop.h"
#include "../engine/game_state.h"
#include "../engine/results.h"
#include "../engine/seeded_random.h"
#include "../protocol/bot_process.h"
#include "advice.h"
#include "computer_turns.h"
#include "history.h"
#include "person_moves.h"
#include "record_statistics.h"
#include "results_file.h"
#include "review.h"
#include "seating.h"
#include "solo_display.h"
#include "solo_questions.h"

#include <cstdint>
#include <ctime>
#include <iostream>
#include <optional>
#include <unistd.h>
#include <vector>

namespace pellaro {

namespace {

// The seats of one game: people are asked, computer players decide, and the
// screen tells what happened since a person last played.
struct SoloTable {
    Seating seating;
    std::uint64_t seed = 0;
    // A program's requests are seeded under the session's key.
    const RequestKey* key = nullptr;
    std::uint64_t gameNumber = 0;
    std::vector<Bot> bots;
    History history;
    std::vector<Decision> decisions;
    // Why a computer player that is a program gave no move: the game ends.
    std::string failure;

    std::optional<ChosenMove> chooseMove(const GameState& game) {
        const std::int32_t seat = game.currentPlayer;
        if (!isPerson(seating, seat)) {
            try {
                return decideComputerMove(game, bots[static_cast<std::size_t>(seat)], *key,
                                          gameNumber, history.turns.size());
            } catch (const BotFailure& fault) {
                failure = seatName(seating, seat) + " at move " +
                          std::to_string(history.turns.size() + 1) + ": the bot " + fault.what();
                return std::nullopt;
            }
        }
        std::vector<std::string> screen = {""};
        for (std::string& line : newsLines(history, seating, seat, seat)) {
            screen.push_back(std::move(line));
        }
        for (std::string& line : tableLines(game, seating, history.round)) {
            screen.push_back(std::move(line));
        }
        showLines(screen);
        return askSoloPersonMove(game, seating, seed, history.turns.size(), decisions,
                                 ownTurn(history, history.turns.size(), seat));
    }

    void played(const GameState& before, const ChosenMove& move, const GameState& after,
                bool over) {
        recordTurn(history, before, move, after, over);
    }
};

std::string seatingLine(const Seating& seating) {
    const std::string strength = computerName(seating);
    std::string line;
    if (seating.people == 1) {
        line = "You are Player #1; ";
    } else {
        line = "People play Players #1" + std::string(seating.people == 2 ? " and #" : " to #") +
               std::to_string(seating.people) + "; ";
    }
    const std::int32_t computers = seating.players - seating.people;
    if (computers == 1) {
        const char* article = strength.starts_with('E') ? " is an " : " is a ";
        return line + "Player #" + std::to_string(seating.players) + article + strength +
               " computer player.";
    }
    return line + "Players #" + std::to_string(seating.people + 1) + " to #" +
           std::to_string(seating.players) + " are " + strength + " computer players.";
}

// Saves the finished game and tells the people's record at this strength
// and table size, one person apart from several; a failure costs one line
// of warning and nothing else.
void recordResult(const GameState& game, const Seating& seating, std::uint32_t seed) {
    const std::vector<std::int32_t> scores = allScores(game);
    SoloResult record{recordDate(std::time(nullptr)),
                      seating.players,
                      seating.people,
                      recordedStrength(seating.strength),
                      seed,
                      scores,
                      winners(game, topScore(game, scores))};
    RecordOutcome outcome = recordGame(resultsFolder(), record);
    for (const std::string& warning : outcome.warnings) {
        std::cerr << "pellaro-solo: " << warning << '\n';
    }
    if (!outcome.readEarlier) {
        return;
    }
    outcome.earlier.push_back(record);
    const RecordGroup group = groupOf(record);
    const RecordFigures figures = figuresOf(outcome.earlier, group);
    std::cout << groupName(group) << ": " << figures.wins << (figures.wins == 1 ? " win" : " wins")
              << " in " << figures.games << (figures.games == 1 ? " game." : " games.");
    endLine();
}

bool askYesNo(const std::string& question) {
    std::cout << question << " (Y/N) ";
    const std::optional<char> answer = readWordAnswer();
    return answer && (*answer == 'y' || *answer == 'Y');
}

// Told at once, as the review takes some seconds; how far it has come is
// shown on a terminal alone.
void showReview(const std::vector<Decision>& decisions, const History& history,
                const Seating& seating) {
    std::cout << "Reviewing your decisions...";
    endLine();
    ReviewCounter counter{isatty(STDOUT_FILENO) == 1, std::time(nullptr), decisions.size()};
    const std::vector<Regret> regrets = reviewDecisions(decisions, [&counter](std::size_t done) {
        std::cout << counterUpdate(counter, done, std::time(nullptr)) << std::flush;
    });
    std::cout << counterEnd(counter);
    showLines(reviewLines(decisions, regrets, history, seating));
}

// The end of a finished game: the last news, the scores with their
// breakdowns, the record, the seed and the offer of a review.
void finishGame(SoloTable& table, const GameState& game, std::uint32_t seed) {
    showLines(newsLines(table.history, table.seating, -1, game.currentPlayer));
    showLines(resultLines(game, table.seating));
    // A game against a bot of --bot is no game at a strength.
    if (table.seating.botLabel.empty()) {
        recordResult(game, table.seating, seed);
    }
    std::cout << "This deal was seed " << seed << "; to play it again: pellaro-solo --seed "
              << seed;
    endLine();
    if (table.decisions.empty()) {
        return;
    }
    endLine();
    if (askYesNo("Review your decisions against Hard's?")) {
        showReview(table.decisions, table.history, table.seating);
    }
}

// The set-up questions; false when standard input ended.
bool askSeating(Seating& seating) {
    ConsoleView view{minPlayers};
    view.offerRules();
    if (inputEnded()) {
        return false;
    }
    seating.players = view.askPlayerCount();
    if (inputEnded()) {
        return false;
    }
    // At two players one person is the only answer.
    seating.people = seating.players == minPlayers ? 1 : askPeopleCount(seating.players);
    if (inputEnded()) {
        return false;
    }
    if (seating.botLabel.empty()) {
        seating.strength = askStrength();
        if (inputEnded()) {
            return false;
        }
    }
    std::cout << seatingLine(seating);
    endLine();
    return true;
}

// How the computer seats are shown when --bot names their bot: a program by
// that word, a built-in bot by its name.
std::string botLabel(const SoloOptions& options) {
    if (!options.bot) {
        return {};
    }
    return isProgram(*options.bot) ? std::string("program") : botName(*options.bot, defaultBudget);
}

} // namespace

int SoloLoop(const SoloOptions& options) {
    // Without a seed the clock gives one, as in the hot-seat game; every later
    // game of the session derives its own from it, so one number replays all.
    const std::uint32_t sessionSeed =
        options.seed ? *options.seed : static_cast<std::uint32_t>(std::time(nullptr));
    // Never from the seed, which a program could trace its requests back to;
    // so a seed replays its programs' deals but not their requests.
    const RequestKey key =
        options.bot && isProgram(*options.bot) ? freshRequestKey() : RequestKey{};
    Seating seating;
    seating.botLabel = botLabel(options);
    bool sameSettings = false;
    for (std::uint64_t played = 0;; ++played) {
        if (!sameSettings && !askSeating(seating)) {
            return 0;
        }
        const auto seed =
            played == 0 ? sessionSeed : static_cast<std::uint32_t>(deriveSeed(sessionSeed, played));
        GameState game = newGame(seating.players, seed);
        SoloTable table{seating,
                        seed,
                        &key,
                        played,
                        computerPlayers(options.bot ? *options.bot : settingsOf(seating.strength),
                                        seed, seating.players),
                        {},
                        {},
                        {}};
        if (playGame(game, table) == GameEnd::InputEnded) {
            if (table.failure.empty()) {
                return 0;
            }
            // Nothing of the game is recorded.
            endLine();
            std::cerr << "pellaro-solo: " << table.failure << std::endl;
            return 2;
        }
        finishGame(table, game, seed);
        if (inputEnded()) {
            return 0;
        }
        endLine();
        sameSettings = askYesNo("Play again with the same settings?");
        if (inputEnded()) {
            return 0;
        }
        if (!sameSettings) {
            endLine();
            if (!askYesNo("Play a new game with other settings?")) {
                return 0;
            }
        }
    }
}

} // namespace pellaro
