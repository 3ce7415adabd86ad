// Writes the fuzzer's seed corpus: whole sessions typed as players would type
// them, the moves chosen by the game's own rules so that every game is played
// to its score report. With --check it compares instead of writing. With
// --requests it writes the bot server's seeds instead: request lines as games
// ask them.
//
// Which moves are legal depends only on how full and taken the rows are, never
// on which cards they hold, so these sessions stay whole games whatever deck
// the fuzz target deals for them.

#include "engine/game_state.h"
#include "engine/turn_rules.h"
#include "tests/fuzz/request_check.h"
#include "tests/support/legal_rows.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace pellaro {

namespace {

struct Cut {
    std::size_t at = 0;
    std::string question;
    int finishedGames = 0;
};

struct Session {
    std::string input;
    int finishedGames = 0;
    // Where each question begins to read, so that input can be cut off there.
    std::vector<Cut> cuts;
};

struct Typist {
    std::mt19937 random;
    // How often a question first gets answers it refuses, in percent.
    int mistakes = 0;

    bool chance(int percent) { return std::uniform_int_distribution<int>(0, 99)(random) < percent; }
};

template <typename T>
T pick(Typist& typist, const std::vector<T>& choices) {
    return choices[std::uniform_int_distribution<std::size_t>(0,
                                                              choices.size() - 1)(typist.random)];
}

void asking(Session& session, const std::string& question) {
    session.cuts.push_back({session.input.size(), question, session.finishedGames});
}

void answer(Session& session, const std::string& line) {
    session.input += line;
    session.input += '\n';
}

void offerRules(Session& session, Typist& typist, bool wanted) {
    asking(session, "rules");
    if (!wanted) {
        answer(session, pick<std::string>(typist, {"n", "N", "no thanks", "  \t n", "\n\nNope"}));
        return;
    }
    // Every first character but n shows the walkthrough.
    answer(session, pick<std::string>(typist, {"y", "Y", "yes please", "?", "\n x"}));
    for (int pause = 0; pause < 3; ++pause) {
        asking(session, "pause-continue");
        answer(session, pick<std::string>(typist, {"", "", "ok", " d 2"}));
    }
    asking(session, "pause-play");
    answer(session, pick<std::string>(typist, {"", "t"}));
}

void askPlayerCount(Session& session, Typist& typist, int players) {
    asking(session, "players");
    while (typist.chance(typist.mistakes)) {
        answer(session,
               pick<std::string>(typist, {"7", "1", "0", "-3", "6", "two", "", "99999999999",
                                          "-99999999999", "2147483650", "x3", "   ", "\t-2"}));
        asking(session, "players-again");
    }
    const std::string count = std::to_string(players);
    answer(session,
           pick<std::string>(typist, {count, count, " " + count, "+" + count, count + " players",
                                      count + ".9", "00" + count, count + "\r"}));
}

std::vector<std::int32_t> rowsRefusing(const GameState& game, TurnAction action) {
    std::vector<std::int32_t> rows;
    for (std::int32_t row = 0; row < game.numberOfPlayers; ++row) {
        if (!isRowValid(game, action, row)) {
            rows.push_back(row);
        }
    }
    return rows;
}

TurnAction chooseAction(const GameState& game, Typist& typist) {
    const bool canTake = isActionPossible(game, TurnAction::Take);
    const bool canDraw = isActionPossible(game, TurnAction::Draw);
    if (canTake && (!canDraw || typist.chance(35))) {
        return TurnAction::Take;
    }
    return TurnAction::Draw;
}

void askAction(Session& session, Typist& typist, const GameState& game, TurnAction action) {
    asking(session, "action");
    while (typist.chance(typist.mistakes)) {
        const TurnAction other = action == TurnAction::Draw ? TurnAction::Take : TurnAction::Draw;
        if (!isActionPossible(game, other) && typist.chance(50)) {
            // Refused by the game: "Invalid Move!!!" throws away the rest of the line.
            answer(session, other == TurnAction::Take ? pick<std::string>(typist, {"t", "take 1"})
                                                      : pick<std::string>(typist, {"d", "draw 2"}));
        } else {
            answer(session, pick<std::string>(typist, {"x", "1", "?", "quit", "-", "\x7f"}));
        }
        asking(session, "action-again");
    }
    if (action == TurnAction::Take) {
        answer(session,
               pick<std::string>(typist, {"t", "T", "take", "  t", "t 2", "x t", "Take\r"}));
    } else {
        answer(session, pick<std::string>(typist, {"d", "D", "draw", "dog", "\td", "d 1", "? d"}));
    }
}

std::string typedRow(std::int32_t row, Typist& typist) {
    const std::string number = std::to_string(row + 1);
    return pick<std::string>(typist, {number, number, " " + number, "+" + number, number + "nd",
                                      "0" + number, number + "\r"});
}

void askRow(Session& session, Typist& typist, const GameState& game, TurnAction action,
            std::int32_t row) {
    const std::string question = action == TurnAction::Take ? "row-take" : "row-draw";
    asking(session, question);
    const std::vector<std::int32_t> refused = rowsRefusing(game, action);
    while (typist.chance(typist.mistakes)) {
        if (!refused.empty() && typist.chance(40)) {
            answer(session, typedRow(pick(typist, refused), typist));
        } else {
            const std::string beyond = std::to_string(game.numberOfPlayers + 1);
            answer(session, pick<std::string>(typist, {"0", "", "abc", "-4", beyond, "2147483648",
                                                       "-2147483648", "-2147483649", " ", "-0"}));
        }
        asking(session, question + "-again");
    }
    answer(session, typedRow(row, typist));
}

void playGame(Session& session, Typist& typist, int players) {
    // The seed is of no account here: the deck decides no move's legality.
    GameState game = newGame(players, 1);
    bool over = false;
    while (!over) {
        const TurnAction action = chooseAction(game, typist);
        askAction(session, typist, game, action);
        const std::int32_t row = pick(typist, rowsAllowing(game, action));
        askRow(session, typist, game, action, row);
        over = applyMove(game, action, row);
    }
    ++session.finishedGames;
}

void askNewGame(Session& session, Typist& typist, bool again) {
    asking(session, "replay");
    answer(session, again ? pick<std::string>(typist, {"y", "Y", "yes", "  Yup"})
                          : pick<std::string>(typist, {"n", "N", "no", "maybe", "\n\nq"}));
}

struct GamePlan {
    int players = 2;
    bool rules = false;
};

Session playSessions(std::uint32_t seed, int mistakes, const std::vector<GamePlan>& games) {
    Session session;
    Typist typist{std::mt19937(seed), mistakes};
    for (std::size_t i = 0; i < games.size(); ++i) {
        offerRules(session, typist, games[i].rules);
        askPlayerCount(session, typist, games[i].players);
        playGame(session, typist, games[i].players);
        askNewGame(session, typist, i + 1 < games.size());
    }
    return session;
}

std::string named(const std::string& name, int finishedGames) {
    return name + ".scores-" + std::to_string(finishedGames);
}

void addSession(std::map<std::string, std::string>& corpus, const std::string& name,
                const Session& session) {
    corpus[named(name, session.finishedGames)] = session.input;
}

// The session cut off where each kind of question first begins to read, so
// that every question meets the end of input.
void addCuts(std::map<std::string, std::string>& corpus, const Session& session) {
    std::map<std::string, const Cut*> first;
    for (const Cut& cut : session.cuts) {
        first.emplace(cut.question, &cut);
    }
    for (const auto& [question, cut] : first) {
        corpus[named("end-at-" + question, cut->finishedGames)] = session.input.substr(0, cut->at);
        // The same with the answer's line begun but not ended.
        corpus[named("end-inside-" + question, cut->finishedGames)] =
            session.input.substr(0, cut->at) + " 1";
    }
}

std::string repeated(char c, std::size_t count) {
    // Not braces: {count, c} would be a string of those two characters.
    std::string text(count, c);
    return text;
}

// Lines of 999 characters are read whole; from the 1000th on the rest of the
// line is thrown away, however long it is. Words have no limit.
Session longWalkthroughLines() {
    Session session;
    answer(session, "y" + repeated('e', 1500));
    for (std::size_t length = 998; length <= 1001; ++length) {
        answer(session, repeated('.', length));
    }
    // The digit is the 1000th character and is lost: no number, refused.
    answer(session, repeated(' ', 999) + "3");
    answer(session, "3" + repeated(' ', 997) + "x");
    return session;
}

Session longGameLines() {
    Session session;
    Typist typist{std::mt19937(99), 0};
    answer(session, "n" + repeated('o', 1200));
    answer(session, "4" + repeated('\t', 1200));
    GameState game = newGame(4, 1);
    bool over = false;
    for (int turn = 0; !over; ++turn) {
        const TurnAction action = chooseAction(game, typist);
        const std::string word = action == TurnAction::Take ? "t" : "d";
        const std::int32_t row = pick(typist, rowsAllowing(game, action));
        const std::string number = std::to_string(row + 1);
        if (turn == 0) {
            answer(session, word + repeated('z', 1200));
            answer(session, repeated(' ', 999) + number);
            answer(session, repeated(' ', 998) + number + repeated('#', 1200));
        } else {
            answer(session, word);
            answer(session, number);
        }
        over = applyMove(game, action, row);
    }
    ++session.finishedGames;
    answer(session, "y" + repeated('Y', 1200));
    answer(session, "n");
    answer(session, "2" + repeated(' ', 1200));
    return session;
}

// Carriage returns, zero bytes and bytes above 127 in every kind of answer.
Session oddBytes() {
    Session session;
    Typist typist{std::mt19937(7), 0};
    session.input += "\r\n\v N\r\n";
    session.input += std::string("\0\r\n", 3);
    session.input += "\xff\xfe\r\n";
    session.input += std::string("4\0"
                                 "5\r\n",
                                 5);
    GameState game = newGame(4, 1);
    bool over = false;
    while (!over) {
        const TurnAction action = chooseAction(game, typist);
        session.input += std::string("\0\r\n", 3);
        session.input += "\xc3\xa9\r\n";
        session.input += action == TurnAction::Take ? "t\r\n" : "d\r\n";
        const std::int32_t row = pick(typist, rowsAllowing(game, action));
        session.input += std::string("\0", 1) + std::to_string(row + 1) + "\r\n";
        session.input += std::to_string(row + 1) + std::string("\0"
                                                               "9\r\n",
                                                               4);
        over = applyMove(game, action, row);
    }
    ++session.finishedGames;
    session.input += "\x80y\r\n";
    return session;
}

std::map<std::string, std::string> makeCorpus() {
    std::map<std::string, std::string> corpus;
    addSession(corpus, "rules-declined", playSessions(1, 0, {{3, false}}));
    addSession(corpus, "rules-walkthrough", playSessions(2, 0, {{2, true}}));
    for (int players = 2; players <= 5; ++players) {
        const auto seed = static_cast<std::uint32_t>(10 + players);
        addSession(corpus, "game-" + std::to_string(players) + "-players",
                   playSessions(seed, 0, {{players, false}}));
        addSession(corpus, "bad-answers-" + std::to_string(players) + "-players",
                   playSessions(seed + 10, 30, {{players, players % 2 == 0}}));
    }
    const Session replays = playSessions(30, 25, {{2, false}, {5, true}, {3, false}, {4, true}});
    addSession(corpus, "replays", replays);
    addCuts(corpus, replays);

    // The rest of the replay answer's line answers the next rules offer.
    Session sameLine = playSessions(31, 0, {{2, false}});
    sameLine.input.resize(sameLine.cuts.back().at);
    sameLine.input += "y n\n";
    Typist typist{std::mt19937(32), 0};
    askPlayerCount(sameLine, typist, 5);
    playGame(sameLine, typist, 5);
    askNewGame(sameLine, typist, false);
    addSession(corpus, "replay-answers-next-offer", sameLine);

    addSession(corpus, "long-lines-walkthrough", longWalkthroughLines());
    addSession(corpus, "long-lines-game", longGameLines());
    addSession(corpus, "odd-bytes", oddBytes());
    corpus[named("empty", 0)] = "";
    corpus[named("blank-lines", 0)] = "\n\n \t\n\r\n\v\f";
    corpus[named("end-inside-first-word", 0)] = "n";
    return corpus;
}

// A few requests a seed, at every table size, and two tables that are not
// a game's: a row taken while nobody is out, and a round after the last.
std::map<std::string, std::string> requestCorpus() {
    std::map<std::string, std::string> corpus;
    const std::vector<std::string> lines = realRequests(1, 72);
    for (std::size_t first = 0; first < lines.size(); first += 3) {
        std::string& seed = corpus["requests-" + std::to_string(first / 3 + 10)];
        for (std::size_t line = first; line < first + 3; ++line) {
            seed += lines[line] + "\n";
        }
    }
    corpus["taken-while-nobody-is-out"] = "move 6503994444967757138 2 1 15 0 *BB BB "
                                          "1,0,1,1,1,1,1,0,0 0,1,2,1,0,0,2,0,1 00 "
                                          "8,8,4,7,8,8,6,3,9\n";
    corpus["after-the-last-round"] = "move 1 2 1 72 1 + - 9,9,9,9,0,0,0,3,2 0,0,0,0,9,9,9,0,3 00 "
                                     "0,0,0,0,0,0,0,0,4\n";
    return corpus;
}

int check(const std::string& folder, const std::map<std::string, std::string>& corpus) {
    int stale = 0;
    for (const auto& [name, input] : corpus) {
        std::ifstream file(std::filesystem::path(folder) / name, std::ios::binary);
        const std::string kept{std::istreambuf_iterator<char>(file), {}};
        if (!file.is_open() || kept != input) {
            std::cerr << "out of date: " << name << '\n';
            ++stale;
        }
    }
    return stale == 0 ? 0 : 1;
}

int write(const std::string& folder, const std::map<std::string, std::string>& corpus) {
    for (const auto& [name, input] : corpus) {
        std::ofstream file(std::filesystem::path(folder) / name, std::ios::binary);
        file << input;
        if (!file) {
            std::cerr << "cannot write " << name << '\n';
            return 1;
        }
    }
    return 0;
}

} // namespace

} // namespace pellaro

int main(int argc, char** argv) {
    using namespace pellaro;
    std::vector<std::string> args(argv + 1, argv + argc);
    const bool requests = !args.empty() && args[0] == "--requests";
    if (requests) {
        args.erase(args.begin());
    }
    const auto corpus = requests ? requestCorpus() : makeCorpus();
    if (args.size() == 1) {
        return write(args[0], corpus);
    }
    if (args.size() == 2 && args[0] == "--check") {
        return check(args[1], corpus);
    }
    std::cerr << "usage: pellaro_make_corpus [--requests] [--check] FOLDER\n";
    return 2;
}
