#include "engine/game_state.h"
#include "engine/scoring.h"
#include "engine/small_random.h"
#include "engine/turn_rules.h"
#include "solo/history.h"
#include "solo/solo_display.h"
#include "support/legal_rows.h"

#include <gtest/gtest.h>
#include <numeric>
#include <regex>
#include <string>
#include <vector>

namespace pellaro {

namespace {

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + '\n';
    }
    return text;
}

// A random legal move of the current player.
ChosenMove randomMove(const GameState& game, SmallRandom& random) {
    const bool draw = isActionPossible(game, TurnAction::Draw) &&
                      (!isActionPossible(game, TurnAction::Take) || random.below(3) > 0);
    const TurnAction action = draw ? TurnAction::Draw : TurnAction::Take;
    const std::vector<std::int32_t> rows = rowsAllowing(game, action);
    return {action,
            rows[static_cast<std::size_t>(random.below(static_cast<std::int32_t>(rows.size())))]};
}

TEST(SoloScreens, TheTableShowsRowsPilesScoresAndWhoSitsWhere) {
    GameState game = newGame(5, 1);
    game.rows[0].slots = {Red, Wild, PlusTwo};
    game.rows[0].full = true;
    game.rows[1].slots = {Green, noCard, noCard};
    game.rows[2].taken = true;
    game.players[1].outOfRound = true;
    game.players[1].counts[Red] = 4;
    game.players[1].counts[Blue] = 1;
    game.players[3].counts[PlusTwo] = 10;
    game.nextCard = 40;
    const Seating seating{5, 1, Strength::Hard};
    EXPECT_EQ(joined(tableLines(game, seating, 4)),
              "Round 4, 36 cards left to draw.\n"
              "Row 1: R W +2 (full)\n"
              "Row 2: G\n"
              "Row 3: taken\n"
              "Row 4: empty\n"
              "Row 5: empty\n"
              "Player #1 (you)    R:0 G:0 B:0 Y:0 P:0 S:0 V:0 W:0 +2:0  score   0\n"
              "Player #2 (Hard)   R:4 G:0 B:1 Y:0 P:0 S:0 V:0 W:0 +2:0  score  11  took a row\n"
              "Player #3 (Hard)   R:0 G:0 B:0 Y:0 P:0 S:0 V:0 W:0 +2:0  score   0\n"
              "Player #4 (Hard)   R:0 G:0 B:0 Y:0 P:0 S:0 V:0 W:0 +2:10  score  20\n"
              "Player #5 (Hard)   R:0 G:0 B:0 Y:0 P:0 S:0 V:0 W:0 +2:0  score   0\n");
}

TEST(SoloScreens, NewsTellsTheRoundSinceTheLastTurnAndSumsUpRoundsThatEnded) {
    // Three players: the person draws, the second draws and the third takes;
    // then the second and the person take, and the second opens round 2.
    GameState game = newGame(3, 1);
    const Seating seating{3, 1, Strength::Medium};
    History history;
    EXPECT_EQ(joined(newsLines(history, seating, 0, 0)), "Round 1, opened by Player #1 (you).\n");
    const std::vector<ChosenMove> moves = {
        {TurnAction::Draw, 0}, {TurnAction::Draw, 1}, {TurnAction::Take, 0}, {TurnAction::Draw, 1},
        {TurnAction::Take, 1}, {TurnAction::Draw, 2}, {TurnAction::Take, 2}, {TurnAction::Draw, 0}};
    for (std::size_t m = 0; m < moves.size(); ++m) {
        const GameState before = game;
        const bool over = applyMove(game, moves[m].action, moves[m].row);
        recordTurn(history, before, moves[m], game, over);
        if (m == 2) {
            // The person's own move is left out.
            EXPECT_EQ(joined(newsLines(history, seating, 0, game.currentPlayer)),
                      "Player #2 (Medium) draws " + std::string(cardLabels[before.deck[1]]) +
                          " and places it on row 2.\nPlayer #3 (Medium) takes row 1: " +
                          std::string(cardLabels[before.deck[0]]) + ".\n");
        }
    }
    EXPECT_EQ(history.round, 2);
    const std::string news = joined(newsLines(history, seating, 2, game.currentPlayer));
    EXPECT_TRUE(std::regex_match(
        news, std::regex("Round 1 is over\\. Taken: #3 [A-Z+0-9]+; #2 [A-Z+0-9]+ [A-Z+0-9]+; #1 "
                         "\\(you\\) [A-Z+0-9]+\\.\nRound 2, opened by Player #2 \\(Medium\\)\\.\n"
                         "Player #2 \\(Medium\\) draws .* and places it on row 1\\.\n")))
        << news;
    EXPECT_EQ(newsLines(history, seating, 2, game.currentPlayer), std::vector<std::string>{});
}

TEST(SoloScreens, LongSummariesWrapAfterASeparator) {
    const std::string text = "Round 12 is over. Taken: #1 (you) R G B; #2 Y Y +2; #3 +2 +2 +2; "
                             "#4 W P S; #5 S S V.";
    EXPECT_EQ(wrapped(text, "; ", 80),
              (std::vector<std::string>{
                  "Round 12 is over. Taken: #1 (you) R G B; #2 Y Y +2; #3 +2 +2 +2; #4 W P S;",
                  "  #5 S S V."}));
    EXPECT_EQ(wrapped("short; text", "; ", 80), std::vector<std::string>{"short; text"});
}

TEST(SoloScreens, ABreakdownShowsEveryPartOfAPile) {
    PlayerState player;
    player.counts = {5, 2, 3, 1, 0, 2, 0, 3, 2};
    EXPECT_EQ(joined(breakdownLines("Player #1 (you)", scoreBreakdown(player))),
              "Player #1 (you) scored 39.\n"
              "  for:     R 5+1W = 21   B 3+2W = 15   G 2 = 3   +2 x2 = 4\n"
              "  against: S 2 = -3   Y 1 = -1\n");
    EXPECT_EQ(joined(breakdownLines("Player #2 (Easy)", scoreBreakdown(PlayerState{}))),
              "Player #2 (Easy) scored 0.\n  for: nothing\n  against: nothing\n");
}

// The parts a breakdown shows add up to the score it shows, which is the
// pile's final score, and they place every card of the pile: for every pile
// of many random games.
TEST(SoloScreens, EveryBreakdownAddsUpToTheScore) {
    const std::regex part("([A-Z]|\\+2) (?:x)?([0-9]+)(?:\\+([0-9]+)W)? = (-?[0-9]+)");
    const std::regex unused("([0-9]+) wilds? unused");
    SmallRandom random{7};
    int piles = 0;
    for (std::uint32_t seed = 0; seed < 300; ++seed) {
        GameState game = newGame(minPlayers + static_cast<std::int32_t>(seed % 4), seed);
        for (bool over = false; !over;) {
            const ChosenMove move = randomMove(game, random);
            over = applyMove(game, move.action, move.row);
        }
        for (std::int32_t seat = 0; seat < game.numberOfPlayers; ++seat, ++piles) {
            const PlayerState& pile = game.players[static_cast<std::size_t>(seat)];
            const std::vector<std::string> lines = breakdownLines("P", scoreBreakdown(pile));
            std::int32_t sum = 0;
            std::int32_t cards = 0;
            for (std::size_t i = 1; i < lines.size(); ++i) {
                for (std::sregex_iterator it(lines[i].begin(), lines[i].end(), part), end;
                     it != end; ++it) {
                    sum += std::stoi((*it)[4]);
                    cards += std::stoi((*it)[2]) + ((*it)[3].matched ? std::stoi((*it)[3]) : 0);
                }
                std::smatch wilds;
                if (std::regex_search(lines[i], wilds, unused)) {
                    cards += std::stoi(wilds[1]);
                }
            }
            EXPECT_EQ(lines[0], "P scored " + std::to_string(finalScore(game, seat)) + '.');
            EXPECT_EQ(sum, finalScore(game, seat)) << lines[1] << '\n' << lines[2];
            EXPECT_EQ(cards, std::accumulate(pile.counts.begin(), pile.counts.end(), 0))
                << lines[1] << '\n'
                << lines[2];
        }
    }
    EXPECT_GT(piles, 1000);
}

} // namespace

} // namespace pellaro
