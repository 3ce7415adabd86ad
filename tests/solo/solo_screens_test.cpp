#include "engine/game_state.h"
#include "engine/scoring.h"
#include "engine/small_random.h"
#include "engine/turn_rules.h"
#include "solo/history.h"
#include "solo/solo_display.h"
#include "solo/solo_rules.h"
#include "support/legal_rows.h"
#include "support/redirected_console.h"

#include <algorithm>
#include <array>
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
    game.players[3].counts[PlusTwo] = 9;
    game.nextCard = 18;
    const Seating seating{5, 1, Strength::Hard};
    EXPECT_EQ(joined(tableLines(game, seating, 4)),
              "Round 4, 58 cards left to draw.\n"
              "Row 1: R W +2 (full)\n"
              "Row 2: G\n"
              "Row 3: taken\n"
              "Row 4: empty\n"
              "Row 5: empty\n"
              "Player #1 (you)    R:0 G:0 B:0 Y:0 P:0 S:0 V:0 W:0 +2:0  score   0\n"
              "Player #2 (Hard)   R:4 G:0 B:1 Y:0 P:0 S:0 V:0 W:0 +2:0  score  11  took a row\n"
              "Player #3 (Hard)   R:0 G:0 B:0 Y:0 P:0 S:0 V:0 W:0 +2:0  score   0\n"
              "Player #4 (Hard)   R:0 G:0 B:0 Y:0 P:0 S:0 V:0 W:0 +2:9  score  18\n"
              "Player #5 (Hard)   R:0 G:0 B:0 Y:0 P:0 S:0 V:0 W:0 +2:0  score   0\n"
              "Still unseen: 58   R:4 G:8 B:8 Y:9 P:9 S:9 V:9 W:2 +2:0\n");
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

// Plays the moves on the game, recording each; returns whether the game ended.
bool playAll(GameState& game, History& history, const std::vector<ChosenMove>& moves) {
    bool over = false;
    for (const ChosenMove& move : moves) {
        const GameState before = game;
        over = applyMove(game, move.action, move.row);
        recordTurn(history, before, move, game, over);
    }
    return over;
}

TEST(SoloScreens, TheLastRoundIsAnnouncedAtItsHeadingOrAtTheDrawThatMakesItSo) {
    const Seating seating{2, 1, Strength::Easy};
    const ChosenMove draw0{TurnAction::Draw, 0};
    const ChosenMove draw1{TurnAction::Draw, 1};
    // Two players, 63 cards drawn: the round closes at 67, and then even a
    // card on each row reaches 69, the last round's threshold.
    GameState game = newGame(2, 1);
    game.nextCard = 63;
    History history;
    ASSERT_FALSE(playAll(
        game, history, {draw0, draw0, draw1, draw1, {TurnAction::Take, 0}, {TurnAction::Take, 1}}));
    const std::vector<std::string> news = newsLines(history, seating, 0, game.currentPlayer);
    ASSERT_EQ(news.size(), 3U);
    EXPECT_EQ(news[1] + '\n' + news[2],
              "Round 2, opened by Player #1 (you).\n"
              "This is the last round: too few cards remain for another.");
    EXPECT_EQ(tableLines(game, seating, history.round)[0],
              "Round 2, 9 cards left to draw. LAST ROUND!");

    // From 65 drawn the round could still close at 67, until the fourth
    // card lies on the rows: the second seat's draw makes it the last.
    game = newGame(2, 1);
    game.nextCard = 65;
    history = History{};
    ASSERT_FALSE(playAll(game, history, {draw0, draw0, draw1}));
    EXPECT_EQ(tableLines(game, seating, 1)[0], "Round 1, 8 cards left to draw.");
    newsLines(history, seating, 0, game.currentPlayer);
    ASSERT_FALSE(playAll(game, history, {draw1}));
    // The seat that drew is told too, though not of its own move.
    History drawer = history;
    EXPECT_EQ(joined(newsLines(drawer, seating, 1, game.currentPlayer)),
              "Your draw makes this the last round: too few cards remain for another.\n");
    EXPECT_EQ(joined(newsLines(history, seating, 0, game.currentPlayer)),
              "Player #2 (Easy) draws " + std::string(cardLabels[game.deck[68]]) +
                  " and places it on row 2.\n"
                  "That draw makes this the last round: too few cards remain for another.\n");
    EXPECT_EQ(tableLines(game, seating, 1)[0], "Round 1, 7 cards left to draw. LAST ROUND!");
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

// What the screens shown before each move of one game told.
struct GameWatch {
    // The deck less every card the news told drawn.
    std::array<std::int32_t, cardKindCount> unseen = deckMakeUp;
    // The first round the board called the last.
    std::int32_t calledLast = 0;
    // Moves played when the news first said the round was the last, and when
    // the deck first stood at the last round's threshold; 0 before either.
    std::size_t announcedAt = 0;
    std::size_t thresholdAt = 0;
    std::int32_t announcements = 0;
};

// "Still unseen: 57   R:4 G:8 ...", the name padded as the piles' are.
std::string unseenLineOf(const std::array<std::int32_t, cardKindCount>& unseen) {
    std::string line =
        "Still unseen: " + std::to_string(std::accumulate(unseen.begin(), unseen.end(), 0));
    line.resize(19, ' ');
    for (int kind = 0; kind < cardKindCount; ++kind) {
        line += std::string(cardLabels[kind]) + ':' + std::to_string(unseen[kind]) + ' ';
    }
    line.pop_back();
    return line;
}

void watchScreen(GameWatch& watch, const GameState& game, History& history,
                 const Seating& seating) {
    std::vector<std::string> screen = newsLines(history, seating, -1, game.currentPlayer);
    watch.announcements += static_cast<std::int32_t>(
        std::count_if(screen.begin(), screen.end(), [](const std::string& line) {
            return line.find("last round") != std::string::npos;
        }));
    const std::size_t played = history.turns.size() + 1;
    watch.announcedAt =
        watch.announcedAt == 0 && watch.announcements > 0 ? played : watch.announcedAt;
    watch.thresholdAt = watch.thresholdAt == 0 && isLastRound(game) ? played : watch.thresholdAt;
    const std::vector<std::string> table = tableLines(game, seating, history.round);
    // Once announced, the board says so until the game ends.
    const bool calledLast = table[0].ends_with("LAST ROUND!");
    EXPECT_EQ(calledLast, watch.announcements > 0) << table[0];
    watch.calledLast = watch.calledLast == 0 && calledLast ? history.round : watch.calledLast;
    EXPECT_EQ(table.back(), unseenLineOf(watch.unseen));
    screen.insert(screen.end(), table.begin(), table.end());
    for (const std::string& line : screen) {
        EXPECT_LE(line.size(), 80U) << line;
    }
}

// Over many random games, as every seat would see them: the board calls a
// round the last only when no further round comes; the news announces the
// last round exactly once, in it, and no later than the draw that reached
// the threshold; the unseen cards are the deck less every card the news
// told drawn; and every line fits 80 columns.
TEST(SoloScreens, TheLastRoundIsAnnouncedOnceAndOnlyWhenCertain) {
    SmallRandom random{11};
    for (std::uint32_t seed = 0; seed < 400; ++seed) {
        const std::int32_t players = minPlayers + static_cast<std::int32_t>(seed % 4);
        const Seating seating{players, 1, Strength::Easy};
        GameState game = newGame(players, seed);
        History history;
        GameWatch watch;
        for (bool over = false; !over;) {
            watchScreen(watch, game, history, seating);
            const GameState before = game;
            const ChosenMove move = randomMove(game, random);
            over = applyMove(game, move.action, move.row);
            recordTurn(history, before, move, game, over);
            if (move.action == TurnAction::Draw) {
                --watch.unseen[history.turns.back().drawn];
            }
        }
        EXPECT_EQ(watch.announcements, 1) << "seed " << seed;
        EXPECT_EQ(watch.calledLast, history.round) << "seed " << seed;
        // The threshold comes with a draw, and a Take always follows it.
        ASSERT_GT(watch.announcedAt, 0U) << "seed " << seed;
        ASSERT_GT(watch.thresholdAt, 0U) << "seed " << seed;
        EXPECT_LE(watch.announcedAt, watch.thresholdAt) << "seed " << seed;
        EXPECT_EQ(history.turns[watch.announcedAt - 1].round, history.round) << "seed " << seed;
    }
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

// The walkthrough of the game against computer players is its own: the
// deck as it is, what this program adds, every line within 80 columns.
TEST(SoloScreens, TheWalkthroughFitsEightyColumnsAndTellsWhatThisProgramAdds) {
    const RedirectedConsole console("y\nignored\n\n\n\n");
    offerSoloRules();
    const std::string shown = console.output();
    for (const std::string told :
         {"Would you like to hear the rules? (Y/N) The cards\n", "10 cards worth +2 points",
          "Press enter to continue; \nTurns and rounds\n",
          "  Points              1   3   6  10  15  21\n", "type ? for a hint",
          "S at any question, or Ctrl-C, saves the game", "pellaro-solo --resume",
          "pellaro-solo --stats", "Press enter to play; \n"}) {
        EXPECT_NE(shown.find(told), std::string::npos) << told;
    }
    EXPECT_TRUE(console.unread().empty());
    for (std::size_t start = 0, end = 0; start < shown.size(); start = end + 1) {
        end = shown.find('\n', start);
        EXPECT_LE(end - start, 80U) << shown.substr(start, end - start);
    }
    const RedirectedConsole declined("n\n");
    offerSoloRules();
    EXPECT_EQ(declined.output(), "Would you like to hear the rules? (Y/N) ");
}

} // namespace

} // namespace pellaro
