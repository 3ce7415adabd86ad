#include "data_home.h"
#include "e2e/running_program.h"
#include "engine/turn_rules.h"
#include "person_answers.h"
#include "solo/saved_games.h"
#include "solo/solo_loop.h"
#include "support/redirected_console.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace pellaro {

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// The answers before, the turns' answers from `from` to `to`, and those
// after, as one input.
std::string input(const std::string& before, const std::vector<std::string>& turns,
                  std::size_t from, std::size_t to, const std::string& after) {
    std::string text = before;
    for (std::size_t index = from; index < to; ++index) {
        text += turns[index];
    }
    text += after;
    return text;
}

std::string sessionOutput(const std::string& input, const SoloOptions& options) {
    const RedirectedConsole console(input);
    EXPECT_EQ(SoloLoop(options), 0);
    return console.output();
}

std::vector<fs::path> savesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code none;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, none)) {
        if (entry.path().filename().string().starts_with("saved-")) {
            files.push_back(entry.path());
        }
    }
    return files;
}

// Stopped with S at a question, and with the Draw's card seen, then resumed:
// from the turn's screen on, the rest of the game is what the game never
// stopped shows, byte for byte, computer players, hints and review alike.
TEST(SavedGames, AResumedGameEndsAsOneNeverStopped) {
    struct Case {
        SoloGame plan;
        std::uint32_t seed;
        std::size_t turn;
        bool drawn;
    };
    std::vector<Case> cases = {{{5, 2, Strength::Easy}, 31, 6, true},
                               {{4, 1, Strength::Easy}, 35, 3, false}};
    if (!PELLARO_INSTRUMENTED) {
        cases.push_back({{3, 1, Strength::Medium}, 32, 4, false});
        cases.push_back({{2, 1, Strength::Hard}, 33, 3, true});
    }
    for (const Case& c : cases) {
        const std::vector<std::string> turns = personTurnAnswerList(c.plan, c.seed);
        // The first turn from the one named that asks Draw or Take, and for
        // a stop with the card seen, that draws.
        std::size_t k = c.turn;
        while (k < turns.size() && !turns[k].starts_with("d\n") &&
               (c.drawn || !turns[k].starts_with("t\n"))) {
            ++k;
        }
        ASSERT_LT(k, turns.size()) << c.seed;
        const std::string setUp =
            "n\n" + std::to_string(c.plan.players) + '\n' +
            (c.plan.players == 2 ? "" : std::to_string(c.plan.people) + '\n') +
            "emh"[static_cast<int>(c.plan.strength)] + '\n';
        // The review, of the decisions rebuilt from the saved moves, once;
        // in the optimised build alone, where its valuations are quick.
        const bool reviewed = !PELLARO_INSTRUMENTED && &c == &cases.front();
        const std::string end = std::string(reviewed ? "y" : "n") + "\nn\nn\n";
        const SoloOptions seeded{c.seed};
        std::string whole;
        {
            const TemporaryDataHome home;
            whole = sessionOutput(input(setUp, turns, 0, turns.size(), end), seeded);
        }
        const TemporaryDataHome home;
        const std::string stop = c.drawn ? "d\ns\ny\nnever read\n" : "s\ny\nnever read\n";
        const std::string stopped = sessionOutput(input(setUp, turns, 0, k, stop), seeded);
        EXPECT_TRUE(stopped.ends_with("; pellaro-solo --resume goes on with it.\n")) << stopped;
        ASSERT_EQ(savesIn(home.pellaro()).size(), 1U) << c.seed;
        const std::string rest = c.drawn ? turns[k].substr(2) : turns[k];
        SoloOptions resume;
        resume.resume = true;
        const std::string resumed =
            sessionOutput(input("1\n" + rest, turns, k + 1, turns.size(), end), resume);
        EXPECT_TRUE(resumed.starts_with("Saved games:\n  1. ")) << resumed.substr(0, 200);
        const std::string seated = " computer player";
        const std::size_t seating = resumed.find(seated);
        ASSERT_NE(seating, std::string::npos) << resumed.substr(0, 300);
        std::string tail = resumed.substr(resumed.find('\n', seating) + 1);
        if (c.drawn) {
            tail.replace(tail.find(": You drew "), 2,
                         ": (D)raw a card, (T)ake a row or ? for a hint: ");
        }
        EXPECT_TRUE(whole.ends_with(tail))
            << "seed " << c.seed << ", resumed:\n"
            << tail << "\nnever stopped:\n"
            << whole.substr(whole.size() - std::min(whole.size(), tail.size()));
        EXPECT_EQ(tail.find("Reviewing your decisions...") != std::string::npos, reviewed);
        // Finished and recorded, it is no longer offered.
        EXPECT_TRUE(savesIn(home.pellaro()).empty()) << c.seed;
        EXPECT_TRUE(fs::exists(home.pellaro() / "results.jsonl"));
    }
}

// Three players, each drew onto row 1, the person to move again.
json savedThreeDraws() {
    SavedGame saved{"2026-12-10T13:02:29Z",
                    77,
                    0,
                    3,
                    1,
                    "easy",
                    "",
                    {{TurnAction::Draw, 0}, {TurnAction::Draw, 0}, {TurnAction::Draw, 0}},
                    false,
                    0,
                    1,
                    {}};
    for (std::int32_t seat = 0; seat < 3; ++seat) {
        saved.streams.push_back(seededRandom(static_cast<std::uint64_t>(seat) + 1));
    }
    return json::parse(savedGameText(saved));
}

// A whole game played to its end, the first row the rules allow each time.
std::string everyMoveOfAGame() {
    GameState game = newGame(3, 77);
    std::string moves;
    for (bool over = false; !over;) {
        const TurnAction action =
            isActionPossible(game, TurnAction::Take) ? TurnAction::Take : TurnAction::Draw;
        const std::int32_t row = lowestRow(allowedRows(game, action));
        moves += std::string(moves.empty() ? "" : " ") + (action == TurnAction::Draw ? 'D' : 'T') +
                 static_cast<char>('1' + row);
        over = applyMove(game, action, row);
    }
    return moves;
}

// Whatever a save file holds that this program could not have saved is
// refused in a few words, listed in one line and left as it is: nothing in
// it can run a program, show a terminal anything but what the game prints,
// or place a card the rules refuse.
TEST(SavedGames, WhatIsNoSavedGameIsToldAndLeftAsItIs) {
    ASSERT_EQ(readSavedGame(savedThreeDraws().dump()).problem, "");
    struct Case {
        std::string field;
        json value;
        std::string problem;
    };
    const json zeros = json::array({0U, 0U, 0U, 0U});
    const std::vector<Case> cases = {
        {"pellaro-solo", "saved results", "not a game saved by pellaro-solo"},
        {"format", 2, "another version"},
        {"players", 6, "out of range"},
        {"people", 3, "out of range"},
        {"session seed", -1, "out of range"},
        {"session seed", 4294967296U, "out of range"},
        {"game", "0", "out of range"},
        {"saved", "\x1b[2J2026-12-10T13:02Z", "out of range"},
        {"moves", "D1 D1 D4", "move 3 is one the rules refuse"},
        {"moves", "D1 D1 D1 D1", "move 4 is one the rules refuse"},
        {"moves", "D1 D1", "a computer player to move"},
        {"moves", "D1 D1 D1 ", "not D or T and a row"},
        {"moves", "D1,D1,D1", "not D or T and a row"},
        {"moves", everyMoveOfAGame(), "a game that is over"},
        {"strength", "brutal", "no strength"},
        {"bot", "greedy", "neither a strength nor a bot, or both"},
        {"streams", json::array({zeros, zeros, zeros}), "no random stream"},
        {"streams", json::array({zeros}), "no random stream"},
        {"moves", "D6 D1 D1", "not D or T and a row"},
        {"moves", "D0", "not D or T and a row"},
        {"moves", "D1D1D1", "not D or T and a row"},
        {"moves", 5, "out of range"},
        {"drawn", "yes", "out of range"},
        {"format", "1", "another version"},
        {"saved", 7, "out of range"},
        {"people", 0, "out of range"},
        {"streams", "none", "no random stream"},
        {"streams", json::array({json::array({1U, 2U, 3U}), zeros, zeros}), "no random stream"},
        {"streams", json::array({json::array({1U, 2U, 3U, -4}), zeros, zeros}), "no random stream"},
        {"shown", 4, "more shown than played"},
        {"headed", 3, "more shown than played"},
    };
    const TemporaryDataHome home;
    fs::create_directories(home.pellaro());
    std::vector<std::pair<fs::path, std::string>> files = {
        {home.pellaro() / "saved-1.json", R"({"pellaro-solo": "saved game", "format": 1)"},
        {home.pellaro() / "saved-2.json", "[1, 2]"}};
    for (const Case& c : cases) {
        json object = savedThreeDraws();
        object[c.field] = c.value;
        const std::string text = object.dump();
        EXPECT_NE(readSavedGame(text).problem.find(c.problem), std::string::npos)
            << c.field << ": " << readSavedGame(text).problem;
        files.emplace_back(home.pellaro() / ("saved-" + std::to_string(files.size() + 1) + ".json"),
                           text);
    }
    // Bots that would run a program, or see the deck, are no bots for a save.
    for (const std::string bot : {"exec:touch /tmp/pellaro-ran", "clairvoyant", "nosuch"}) {
        json object = savedThreeDraws();
        object.erase("strength");
        object["bot"] = bot;
        EXPECT_NE(readSavedGame(object.dump()).problem.find("no built-in bot that plays fair"),
                  std::string::npos)
            << bot;
    }
    for (const auto& [file, text] : files) {
        std::ofstream(file) << text;
    }
    const SavedGames list = listSavedGames(home.pellaro());
    EXPECT_TRUE(list.games.empty());
    ASSERT_EQ(list.warnings.size(), files.size());
    for (const std::string& warning : list.warnings) {
        EXPECT_EQ(warning.find('\n'), std::string::npos) << warning;
        EXPECT_TRUE(warning.ends_with("; it is left as it is.")) << warning;
    }
    for (const auto& [file, text] : files) {
        EXPECT_EQ(bytesOf(file), text) << file;
    }
}

// The list and the offer in every case: none saved, two of one seed (the
// second under a name of its own) and answers out of range, a folder that
// cannot be written, a game of a built-in bot of --bot.
TEST(SavedGames, TheListAndTheOfferAnswerEveryCase) {
    const std::string setUp = "n\n3\n1\ne\nd\n1\n";
    SoloOptions resume;
    resume.resume = true;
    {
        const TemporaryDataHome home;
        EXPECT_EQ(sessionOutput("1\n", resume), "There is no saved game to go on with.\n");
        sessionOutput(setUp + "s\ny\n", SoloOptions{77});
        sessionOutput(setUp + "t\ns\ny\n", SoloOptions{77});
        EXPECT_TRUE(fs::exists(home.pellaro() / "saved-77.json"));
        EXPECT_TRUE(fs::exists(home.pellaro() / "saved-77-2.json"));
        const std::string listed = sessionOutput("3\n0\n2\n", resume);
        EXPECT_NE(listed.find("(1-2)? Please enter a number from 1 to 2: Please enter a number "
                              "from 1 to 2: Going on with the game saved "),
                  std::string::npos)
            << listed;
        EXPECT_NE(listed.find("\n  2. "), std::string::npos) << listed;
    }
    {
        // Nowhere to keep games: told, and the game goes on.
        const std::string home = std::getenv("HOME") == nullptr ? "" : std::getenv("HOME");
        unsetenv("HOME");
        unsetenv("XDG_DATA_HOME");
        const std::string output = sessionOutput(setUp + "s\ny\n", SoloOptions{77});
        EXPECT_NE(output.find("(neither XDG_DATA_HOME nor HOME is set); it goes on."),
                  std::string::npos)
            << output;
        EXPECT_EQ(sessionOutput("1\n", resume), "");
        setenv("HOME", home.c_str(), 1);
    }
    {
        const TemporaryDataHome home;
        std::ofstream(home.folder / "file") << "not a folder";
        EXPECT_EQ(listSavedGames(home.folder / "file").warnings.size(), 1U);
        setenv("XDG_DATA_HOME", (home.folder / "file").c_str(), 1);
        const std::string output = sessionOutput(setUp + "s\ny\n", SoloOptions{77});
        EXPECT_NE(output.find("Save this game and stop? (Y/N) The game could not be saved (cannot "
                              "use "),
                  std::string::npos)
            << output;
        EXPECT_NE(output.find("); it goes on.\nPlayer #1 (you), turn 2: "), std::string::npos);
    }
    {
        const TemporaryDataHome home;
        fs::create_directories(home.pellaro());
        fs::copy(fs::path(PELLARO_SOLO_CORPUS) / "saved-two-people-greedy-drawn.json",
                 home.pellaro() / "saved-5.json");
        const std::string output = sessionOutput("1\n", resume);
        EXPECT_NE(output.find(" UTC  4 players, 2 people against greedy, round 1\n"),
                  std::string::npos)
            << output;
        EXPECT_NE(output.find("Players #3 and #4 are greedy computer players.\n"),
                  std::string::npos);
        EXPECT_NE(output.find(", turn 2: You drew "), std::string::npos) << output;
    }
}

// At a terminal Ctrl-C at a question offers to save and stops; the game
// goes on with --resume, where a second Ctrl-C at the offer ends the
// program as Ctrl-C always does, the save kept.
TEST(SavedGames, CtrlCAtAQuestionOffersToSaveAndASecondOneStops) {
    const TemporaryDataHome home;
    const std::string question = "turn 2: (D)raw a card, (T)ake a row or ? for a hint: ";
    RunningProgram program = startProgram({"--seed", "77"}, {home.setting()});
    send(program, "n\n3\n1\ne\nd\n1\n");
    ASSERT_TRUE(readUntil(program, question, 20000)) << program.output;
    kill(program.pid, SIGINT);
    ASSERT_TRUE(readUntil(program, "\nSave this game before stopping? (Y/N) ", 20000))
        << program.output;
    send(program, "y\n");
    EXPECT_EQ(finish(program, 20000), 0);
    EXPECT_TRUE(program.output.ends_with("; pellaro-solo --resume goes on with it.\n"));
    const std::vector<fs::path> saves = savesIn(home.pellaro());
    ASSERT_EQ(saves.size(), 1U);
    const std::string saved = bytesOf(saves[0]);

    RunningProgram again = startProgram({"--resume"}, {home.setting()});
    send(again, "1\n");
    ASSERT_TRUE(readUntil(again, question, 20000)) << again.output;
    kill(again.pid, SIGINT);
    ASSERT_TRUE(readUntil(again, "(Y/N) ", 20000)) << again.output;
    kill(again.pid, SIGINT);
    EXPECT_EQ(finish(again, 20000), -1);
    EXPECT_EQ(bytesOf(saves[0]), saved);
}

} // namespace

} // namespace pellaro
