#include "sim_program.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

namespace pellaro {

namespace {

using OrderedJson = nlohmann::ordered_json;

struct Recorded {
    ScratchFolder folder;
    std::vector<OrderedJson> games;
};

// Three two-player games, recorded.
void recordGames(Recorded& recorded) {
    const std::string path = recorded.folder.file("games.jsonl");
    const SimRun run = runSim({"run", "--bots", "greedy,random", "--games", "3", "--seed", "5",
                               "--quiet", "--jsonl", path});
    ASSERT_EQ(run.status, 0) << run.err;
    std::istringstream lines(readText(path));
    for (std::string line; std::getline(lines, line);) {
        recorded.games.push_back(OrderedJson::parse(line));
    }
    ASSERT_EQ(recorded.games.size(), 3U);
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

std::string winnersLine(const OrderedJson& game) {
    const auto& winners = game["winners"];
    const std::int32_t top = game["scores"][winners[0].get<std::size_t>() - 1];
    std::string line = winners.size() == 1 ? "The winner is " : "The winners are ";
    for (std::size_t i = 0; i < winners.size(); ++i) {
        line += (i == 0 ? "Player " : " and Player ") + std::to_string(winners[i].get<int>());
    }
    return line + " with a score of " + std::to_string(top) + "!\n";
}

TEST(Show, ReplaysARecordOnTheGamesOwnBoard) {
    Recorded recorded;
    recordGames(recorded);
    const OrderedJson& game = recorded.games[1];
    const SimRun shown = runSim({"show", recorded.folder.file("games.jsonl"), "--game", "1"});
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(shown.err, "");

    // The first move is a Draw: the board is empty before it.
    const std::string first = game["moves"][0];
    ASSERT_EQ(first[0], 'D');
    const std::string row = first.substr(1, first.find(':') - 1);
    const std::string card = first.substr(first.find(':') + 1);
    const std::string emptyPile = "R:0 G:0 B:0 Y:0 P:0 S:0 V:0 W:0 +2:0 Taken? N\n";
    const std::string opening = "\n\n\n\nCurrent board\nRow #1| \nRow #2| \n\n"
                                "The players' hands\nPlayer #1|  " +
                                emptyPile + "Player #2|  " + emptyPile + "\nPlayer #1 (" +
                                game["bots"][0].get<std::string>() + ") draws " + card +
                                " and places it on row " + row + "\n";
    EXPECT_NE(shown.out.find(opening), std::string::npos) << shown.out.substr(0, 400);
    EXPECT_TRUE(shown.out.starts_with("Game 1, deal 1"));

    EXPECT_EQ(occurrences(shown.out, "Current board\n"), game["moves"].size());
    EXPECT_GT(occurrences(shown.out, "LAST ROUND!!\nCurrent board\n"), 0U);
    const std::string ending = "\nScores\nPlayer 1 scored " + game["scores"][0].dump() +
                               "\nPlayer 2 scored " + game["scores"][1].dump() + "\n\n" +
                               winnersLine(game);
    EXPECT_TRUE(shown.out.ends_with(ending)) << ending;
}

TEST(Show, RejectsARecordThatDoesNotReplay) {
    Recorded recorded;
    recordGames(recorded);
    const OrderedJson& game = recorded.games[0];
    const std::string deckTop = game["deck"][0];
    std::size_t other = 1;
    while (game["deck"][other] == deckTop) {
        ++other;
    }
    struct Case {
        std::string name;
        OrderedJson game;
    };
    std::vector<Case> cases;
    const auto change = [&](const std::string& name, const auto& edit) {
        OrderedJson changed = game;
        edit(changed);
        cases.push_back({name, changed});
    };
    // The last card is never drawn: only the deck's make-up can give it away.
    change("a card not of the deck",
           [](OrderedJson& g) { g["deck"][75] = g["deck"][75] == "R" ? "G" : "R"; });
    change("two cards swapped", [&](OrderedJson& g) { std::swap(g["deck"][0], g["deck"][other]); });
    change("a take on an empty board", [](OrderedJson& g) { g["moves"][0] = "T1"; });
    change("a row past the board", [](OrderedJson& g) {
        const std::string move = g["moves"][0];
        g["moves"][0] = "D3" + move.substr(move.find(':'));
    });
    change("a move too few", [](OrderedJson& g) { g["moves"].erase(g["moves"].size() - 1); });
    change("a move too many", [](OrderedJson& g) { g["moves"].push_back("T1"); });
    change("a move misspelt", [](OrderedJson& g) { g["moves"][3] = "X1"; });
    change("another score", [](OrderedJson& g) { g["scores"][0] = g["scores"][0].get<int>() + 1; });
    change("another winner", [](OrderedJson& g) {
        g["winners"] =
            g["winners"].size() == 1 ? OrderedJson::array({1, 2}) : OrderedJson::array({1});
    });
    change("another pile",
           [](OrderedJson& g) { g["piles"][1][8] = g["piles"][1][8].get<int>() + 1; });
    change("three players", [](OrderedJson& g) { g["players"] = 3; });
    change("an unknown bot", [](OrderedJson& g) { g["bots"][1] = "oracle"; });
    change("a negative seed", [](OrderedJson& g) { g["seed"] = -1; });
    change("a seed past 64 bits", [](OrderedJson& g) { g["seed"] = 18446744073709551616.0; });
    change("a negative deal", [](OrderedJson& g) { g["deal"] = -1; });
    change("a score past 32 bits", [](OrderedJson& g) {
        g["scores"][0] = g["scores"][0].get<std::int64_t>() + (1LL << 32);
    });
    for (const Case& c : cases) {
        const std::string path = recorded.folder.file("changed.jsonl");
        writeText(path, c.game.dump() + "\n");
        const SimRun shown = runSim({"show", path, "--game", "0"});
        EXPECT_EQ(shown.status, 2) << c.name;
        EXPECT_TRUE(shown.err.starts_with("pellaro-sim: ")) << c.name << ": " << shown.err;
        EXPECT_EQ(shown.err.find('\n'), shown.err.size() - 1) << c.name << ": " << shown.err;
        EXPECT_EQ(shown.out, "") << c.name;
    }
    // Cut short, or a game the file does not hold.
    const std::string path = recorded.folder.file("cut.jsonl");
    writeText(path, game.dump().substr(0, 300) + "\n");
    EXPECT_EQ(runSim({"show", path, "--game", "0"}).status, 2);
    const SimRun absent = runSim({"show", recorded.folder.file("games.jsonl"), "--game", "3"});
    EXPECT_EQ(absent.status, 2);
    EXPECT_NE(absent.err.find("no game 3"), std::string::npos);
}

TEST(Show, NamesThePartOfAMalformedRecord) {
    Recorded recorded;
    recordGames(recorded);
    struct Case {
        std::string says;
        void (*edit)(OrderedJson&);
    };
    const std::vector<Case> cases = {
        {"not a JSON object", [](OrderedJson& g) { g = OrderedJson::array({1}); }},
        {"lacks its game", [](OrderedJson& g) { g.erase("rotation"); }},
        {"lacks its game", [](OrderedJson& g) { g["players"] = 2.0; }},
        {"lacks its game", [](OrderedJson& g) { g["rotation"] = 1LL << 32; }},
        {"has 6 players", [](OrderedJson& g) { g["players"] = 6; }},
        {"one bot per seat", [](OrderedJson& g) { g["bots"].erase(1); }},
        {"unknown bot", [](OrderedJson& g) { g["bots"][1] = 7; }},
        {"deck is not 76", [](OrderedJson& g) { g["deck"].push_back("R"); }},
        {"deck is not 76", [](OrderedJson& g) { g["deck"][4] = "Q"; }},
        {"moves are not all", [](OrderedJson& g) { g["moves"][0] = "T1:R"; }},
        {"moves are not all", [](OrderedJson& g) { g["moves"][0] = "D1"; }},
        {"moves are not all", [](OrderedJson& g) { g["moves"][0] = "T+1"; }},
        {"moves are not all", [](OrderedJson& g) { g["moves"][0] = 1; }},
        {"piles, scores or winners", [](OrderedJson& g) { g["piles"][0].push_back(0); }},
        {"piles, scores or winners", [](OrderedJson& g) { g["scores"][0] = 1.5; }},
        {"piles, scores or winners", [](OrderedJson& g) { g["winners"] = "1"; }},
        {"piles, scores or winners", [](OrderedJson& g) { g.erase("piles"); }},
    };
    const std::string path = recorded.folder.file("changed.jsonl");
    for (const Case& c : cases) {
        OrderedJson changed = recorded.games[0];
        c.edit(changed);
        writeText(path, changed.dump() + "\n");
        const SimRun shown = runSim({"show", path, "--game", "0"});
        EXPECT_EQ(shown.status, 2) << c.says;
        EXPECT_TRUE(shown.err.starts_with("pellaro-sim: " + path + ", line 1: the record"))
            << shown.err;
        EXPECT_NE(shown.err.find(c.says), std::string::npos) << c.says << ": " << shown.err;
    }
}

} // namespace

} // namespace pellaro
