#include "solo_loop.h"

#include "../console/console_input.h"
#include "../console/console_view.h"
#include "../driver/game_loop.h"
#include "../engine/game_state.h"
#include "../engine/results.h"
#include "../protocol/bot_process.h"
#include "advice.h"
#include "computer_turns.h"
#include "history.h"
#include "keyboard_input.h"
#include "person_moves.h"
#include "record_statistics.h"
#include "results_file.h"
#include "review.h"
#include "saved_games.h"
#include "seating.h"
#include "solo_display.h"
#include "solo_questions.h"
#include "solo_rules.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace pellaro {

namespace {

bool askYesNo(const std::string& question) {
    std::cout << question << " (Y/N) ";
    const std::optional<char> answer = readWordAnswer();
    return answer && (*answer == 'y' || *answer == 'Y');
}

// The seats of one game: people are asked, computer players decide, and the
// screen tells what happened since a person last played.
struct SoloTable {
    Seating seating;
    std::uint32_t sessionSeed = 0;
    std::uint64_t gameNumber = 0;
    std::uint32_t seed = 0;
    // A program's requests are seeded under the session's key.
    const RequestKey* key = nullptr;
    std::vector<Bot> bots;
    // --bot as typed, or a saved game's built-in bot; empty for a strength.
    std::string botText;
    History history{};
    std::vector<Decision> decisions{};
    // Why a computer player that is a program gave no move: the game ends.
    std::string failure{};
    // Ctrl-C asks to save while a game that can be saved is played.
    SaveOnInterrupt* interrupt = nullptr;
    // The file the game was saved in or resumed from; empty before that.
    std::filesystem::path saveFile{};
    // The person to move has chosen the Draw and seen its card.
    bool drawn = false;
    // The game was stopped at a person's wish, saved or not.
    bool stopped = false;

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
        // A save keeps what the screen had told when the turn began, so that
        // the resumed game shows the turn as it was shown.
        const std::size_t shown = history.shown;
        const std::int32_t headed = history.headed;
        std::vector<std::string> screen = {""};
        for (std::string& line : newsLines(history, seating, seat, seat)) {
            screen.push_back(std::move(line));
        }
        for (std::string& line : tableLines(game, seating, history.round)) {
            screen.push_back(std::move(line));
        }
        showLines(screen);
        const std::size_t movesPlayed = history.turns.size();
        for (;;) {
            const PersonTurn turn = askSoloPersonMove(game, seating, seed, movesPlayed,
                                                      ownTurn(history, movesPlayed, seat), drawn);
            if (turn.end == PersonEnd::Moved) {
                addDecisions(decisions, game, turn.move, seed, movesPlayed);
                drawn = false;
                return turn.move;
            }
            if (turn.end == PersonEnd::InputEnded) {
                return std::nullopt;
            }
            drawn = turn.drawn;
            if (offerSave(shown, headed)) {
                stopped = true;
                return std::nullopt;
            }
        }
    }

    void played(const GameState& before, const ChosenMove& move, const GameState& after,
                bool over) {
        recordTurn(history, before, move, after, over);
    }

    SavedGame saved(std::size_t shown, std::int32_t headed) const {
        SavedGame game{recordDate(std::time(nullptr)),
                       sessionSeed,
                       gameNumber,
                       seating.players,
                       seating.people,
                       botText.empty() ? recordedStrength(seating.strength) : "",
                       botText,
                       {},
                       drawn,
                       shown,
                       headed,
                       {}};
        for (const PlayedTurn& turn : history.turns) {
            game.moves.push_back(turn.move);
        }
        for (const Bot& bot : bots) {
            game.streams.push_back(bot.random);
        }
        return game;
    }

    // Asked after S, or Ctrl-C, at a question; true when the game stops,
    // saved or not. Ctrl-C always stops it; S only once it is saved.
    bool offerSave(std::size_t shown, std::int32_t headed) {
        const bool interrupted = saveAnswerWasInterrupt();
        if (interrupted) {
            // The terminal shows ^C at the end of the question's line.
            endLine();
        }
        if (interrupt == nullptr) {
            std::cout << "A game against a bot program cannot be saved.";
            endLine();
            return false;
        }
        const bool save =
            askYesNo(interrupted ? "Save this game before stopping?" : "Save this game and stop?");
        if (inputEnded()) {
            return true;
        }
        // After S the handler was never used; after Ctrl-C the game stops.
        if (!save) {
            return interrupted;
        }
        std::string why;
        const std::filesystem::path file =
            saveGame(resultsFolder(), saveFile, saved(shown, headed), why);
        if (file.empty()) {
            std::cout << "The game could not be saved (" << why << "); it goes on.";
            endLine();
            interrupt->rearm();
            return false;
        }
        saveFile = file;
        std::cout << "Saved as " << file.string() << "; pellaro-solo --resume goes on with it.";
        endLine();
        return true;
    }
};

std::string seatingLine(const Seating& seating) {
    const auto seats = [](std::int32_t first, std::int32_t last) {
        return "#" + std::to_string(first) + (last == first + 1 ? " and #" : " to #") +
               std::to_string(last);
    };
    std::string line = seating.people == 1
                           ? std::string("You are Player #1; ")
                           : "People play Players " + seats(1, seating.people) + "; ";
    const std::int32_t computers = seating.players - seating.people;
    line += computers == 1 ? "Player #" + std::to_string(seating.players) + " is "
                           : "Players " + seats(seating.people + 1, seating.players) + " are ";
    // A program is not a kind of computer player but who plays them.
    if (seating.botLabel == programLabel) {
        return line + "played by the bot program.";
    }
    const std::string strength = computerName(seating);
    if (computers == 1) {
        return line + (strength.starts_with('E') ? "an " : "a ") + strength + " computer player.";
    }
    return line + strength + " computer players.";
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

// Single quotes keep a shell from reading anything in the text but the
// quotes themselves.
std::string shellWord(const std::string& text) {
    const bool plain = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 ||
               std::string_view("_-+=:,./").find(c) != std::string_view::npos;
    });
    if (plain) {
        return text;
    }
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string replayCommand(const SoloTable& table, std::uint32_t seed) {
    std::string command = "pellaro-solo --seed " + std::to_string(seed);
    if (!table.botText.empty()) {
        command += " --bot " + shellWord(table.botText);
    }
    return command;
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
    std::cout << "This deal was seed " << seed
              << "; to play it again: " << replayCommand(table, seed);
    endLine();
    // Finished and recorded, the game is no longer one to go on with.
    if (!table.saveFile.empty()) {
        std::error_code ignored;
        std::filesystem::remove(table.saveFile, ignored);
    }
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
    const ConsoleView view{minPlayers};
    offerSoloRules();
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

// The session's settings: its seed, who plays the computer seats, and the
// key of a program's requests.
struct Session {
    std::uint32_t seed = 0;
    Seating seating;
    std::optional<BotSettings> bot;
    std::string botText;
    RequestKey key{};
};

// A saved game set up again: its seats, its moves replayed with what the
// screen had told, and the computer players' streams as they stood.
struct Resumed {
    std::filesystem::path file;
    SavedGame saved;
};

void resumeTable(SoloTable& table, GameState& game, const Resumed& resumed) {
    const SavedGame& saved = resumed.saved;
    PublicState known = publicStateOf(game);
    for (std::size_t index = 0; index < saved.moves.size(); ++index) {
        const ChosenMove& move = saved.moves[index];
        const GameState before = game;
        const TurnPlayed played = playTurn(game, known, move);
        table.played(before, move, game, played.over);
        if (isPerson(table.seating, before.currentPlayer)) {
            addDecisions(table.decisions, before, move, table.seed, index);
        }
    }
    table.history.shown = saved.shown;
    table.history.headed = saved.headed;
    for (std::size_t seat = 0; seat < table.bots.size(); ++seat) {
        table.bots[seat].random = saved.streams[seat];
    }
    table.drawn = saved.drawn;
    table.saveFile = resumed.file;
}

// "2026-12-10 13:05 UTC": when a game was saved, as the list and the
// resumed game show it.
std::string savedAt(const SavedGame& saved) {
    return saved.date.substr(0, 10) + ' ' + saved.date.substr(11, 5) + " UTC";
}

std::string savedGameLine(const SaveFile& file) {
    const SavedGame& saved = file.read.saved;
    const std::string against =
        saved.bot.empty() ? strengthName(*strengthOfRecord(saved.strength)) : saved.bot;
    std::string people =
        saved.people == 1 ? std::string("you") : std::to_string(saved.people) + " people";
    return savedAt(saved) + "  " + std::to_string(saved.players) + " players, " + people +
           " against " + against + ", round " + std::to_string(file.read.round);
}

// Lists the saved games and asks which to go on with; nothing when there is
// none or standard input ends. Files that are no saved game are told of
// and left as they are.
std::optional<Resumed> chooseSavedGame() {
    const std::filesystem::path folder = resultsFolder();
    if (folder.empty()) {
        std::cerr << "pellaro-solo: neither XDG_DATA_HOME nor HOME is set, so there are no saved "
                     "games.\n";
        return std::nullopt;
    }
    SavedGames list = listSavedGames(folder);
    for (const std::string& warning : list.warnings) {
        std::cerr << "pellaro-solo: " << warning << '\n';
    }
    if (list.games.empty()) {
        std::cout << "There is no saved game to go on with.";
        endLine();
        return std::nullopt;
    }
    std::cout << "Saved games:";
    endLine();
    for (std::size_t index = 0; index < list.games.size(); ++index) {
        std::cout << "  " << index + 1 << ". " << savedGameLine(list.games[index]);
        endLine();
    }
    const auto count = static_cast<std::int32_t>(list.games.size());
    std::cout << "Which game do you want to go on with (1-" << count << ")? ";
    discardRestOfLine();
    for (;;) {
        const std::optional<std::int32_t> answer = readNumberAnswer();
        if (!answer) {
            return std::nullopt;
        }
        if (*answer >= 1 && *answer <= count) {
            SaveFile& chosen = list.games[static_cast<std::size_t>(*answer - 1)];
            return Resumed{chosen.file, std::move(chosen.read.saved)};
        }
        std::cout << "Please enter a number from 1 to " << count << ": ";
    }
}

// The seats of the session's game, fresh or resumed.
SoloTable tableFor(const Session& session, std::uint64_t gameNumber) {
    const std::uint32_t seed = sessionGameSeed(session.seed, gameNumber);
    return SoloTable{
        session.seating,
        session.seed,
        gameNumber,
        seed,
        &session.key,
        computerPlayers(session.bot ? *session.bot : settingsOf(session.seating.strength), seed,
                        session.seating.players),
        session.botText};
}

// How the computer seats are shown when --bot names their bot: a program by
// that word, a built-in bot by its name.
std::string botLabel(const std::optional<BotSettings>& bot) {
    if (!bot) {
        return {};
    }
    return isProgram(*bot) ? std::string(programLabel) : botName(*bot, defaultBudget);
}

// The session of a saved game: its seed, seats and bot.
Session sessionOf(const SavedGame& saved) {
    Session session;
    session.seed = saved.sessionSeed;
    session.seating.players = saved.players;
    session.seating.people = saved.people;
    if (saved.bot.empty()) {
        session.seating.strength = *strengthOfRecord(saved.strength);
    } else {
        session.bot = botNamed(saved.bot, defaultBudget);
        session.botText = saved.bot;
        session.seating.botLabel = botLabel(session.bot);
    }
    return session;
}

// The session of the command line: its seed, or the clock's, and --bot.
Session sessionOf(const SoloOptions& options) {
    Session session;
    // Without a seed the clock gives one, as in the hot-seat game; every
    // later game of the session derives its own from it, so one number
    // replays all.
    session.seed = options.seed ? *options.seed : static_cast<std::uint32_t>(std::time(nullptr));
    session.bot = options.bot;
    session.botText = options.botText;
    session.seating.botLabel = botLabel(options.bot);
    return session;
}

// A program's key and process, before the first question, so that a bot
// that cannot start is told at once; false when it cannot.
bool startProgram(Session& session) {
    // Never from the seed, which a program could trace its requests back
    // to; so a seed replays its programs' deals but not their requests.
    session.key = freshRequestKey();
    try {
        botProcessFor(session.bot->command);
    } catch (const BotFailure& fault) {
        std::cerr << "pellaro-solo: --bot: the bot " << fault.what() << std::endl;
        return false;
    }
    return true;
}

// How one game of the session ended.
enum class Played : std::uint8_t { Finished, Stopped, Failed };

// One game from its first move, or from where a saved game stopped.
Played playOne(const Session& session, std::uint64_t gameNumber, std::optional<Resumed>& resumed) {
    SoloTable table = tableFor(session, gameNumber);
    GameState game = newGame(session.seating.players, table.seed);
    if (resumed) {
        resumeTable(table, game, *resumed);
        resumed.reset();
    }
    GameEnd end = GameEnd::InputEnded;
    {
        // A game against a program is not saved: its command is not
        // written where a file could make it run.
        std::optional<SaveOnInterrupt> interrupt;
        if (!session.bot || !isProgram(*session.bot)) {
            table.interrupt = &interrupt.emplace();
        }
        end = playGame(game, table);
    }
    if (end == GameEnd::InputEnded) {
        if (table.failure.empty()) {
            return Played::Stopped;
        }
        // Nothing of the game is recorded.
        endLine();
        std::cerr << "pellaro-solo: " << table.failure << std::endl;
        return Played::Failed;
    }
    finishGame(table, game, table.seed);
    return inputEnded() ? Played::Stopped : Played::Finished;
}

void showResumed(const Session& session, const SavedGame& saved) {
    std::cout << "Going on with the game saved " << savedAt(saved) << '.';
    endLine();
    std::cout << seatingLine(session.seating);
    endLine();
}

} // namespace

int SoloLoop(const SoloOptions& options) {
    std::optional<Resumed> resumed;
    if (options.resume) {
        resumed = chooseSavedGame();
        if (!resumed) {
            return 0;
        }
    }
    Session session = resumed ? sessionOf(resumed->saved) : sessionOf(options);
    if (session.bot && isProgram(*session.bot) && !startProgram(session)) {
        return 2;
    }
    bool sameSettings = false;
    for (std::uint64_t played = resumed ? resumed->saved.gameNumber : 0;; ++played) {
        if (resumed) {
            showResumed(session, resumed->saved);
        } else if (!sameSettings && !askSeating(session.seating)) {
            return 0;
        }
        const Played end = playOne(session, played, resumed);
        if (end != Played::Finished) {
            return end == Played::Failed ? 2 : 0;
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
