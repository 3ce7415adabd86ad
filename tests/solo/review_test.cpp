#include "engine/game_state.h"
#include "engine/small_random.h"
#include "engine/turn_rules.h"
#include "solo/history.h"
#include "solo/review.h"
#include "support/legal_rows.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pellaro {

namespace {

// Row 1 holds R W, row 2 is taken, the rest are empty.
GameState board(std::int32_t players, std::int32_t seat) {
    GameState game = newGame(players, 3);
    game.rows[0].slots = {Red, Wild, noCard};
    game.rows[1].slots = {Blue, PlusTwo, PlusTwo};
    game.rows[1].taken = true;
    game.currentPlayer = seat;
    return game;
}

// Three moves: the seat's Draw of a Y onto row 2, another seat's Take of
// row 1, then the seat's Take of row 2 in round 2.
History threeMoves(std::int32_t seat, std::int32_t other) {
    History history;
    history.turns = {{seat, {TurnAction::Draw, 1}, Yellow, {}, 1},
                     {other, {TurnAction::Take, 0}, noCard, {Red}, 1},
                     {seat, {TurnAction::Take, 1}, noCard, {Yellow}, 2}};
    return history;
}

std::vector<Decision> threeDecisions(const GameState& game) {
    return {{game, DecisionStage::Action, TurnAction::Draw, Choice{}, 1, 0},
            {game, DecisionStage::Row, TurnAction::Draw, Choice{TurnAction::Draw, 1}, 2, 0},
            {game, DecisionStage::Action, TurnAction::Take, Choice{TurnAction::Take, 1}, 3, 2}};
}

// Each entry tells when, the rows, the card, both choices and the cost;
// only costs that matter are told one by one, and one line tells the rest.
TEST(SoloReview, TellsEachCostlyTurnWithItsBoardAndOneLineForTheRest) {
    const Seating alone{2, 1, Strength::Hard};
    const Seating twoPeople{3, 2, Strength::Hard};
    const GameState ofTwo = board(2, 0);
    const GameState ofThree = board(3, 1);
    struct Case {
        Seating seating;
        GameState game;
        std::vector<Regret> regrets;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {alone, ofTwo, {}, {"Hard would have chosen as you did at every decision."}},
        {alone,
         ofTwo,
         {{0, {TurnAction::Take, 0}, 2.24}, {2, Choice{}, 0.4}},
         {"Where Hard would have chosen otherwise, costliest first, in expected points:",
          "Round 1, your turn 1 (cost 2.2 points)", "  Rows: 1: R W | 2: taken",
          "  You drew Y and placed it on row 2; Hard would have taken row 1.",
          "Your one other decision cost less: 0.4 points at most."}},
        {alone,
         ofTwo,
         {{2, Choice{}, 0.99}},
         {"Hard would have chosen otherwise at 1 of 2 decisions,",
          "  none costing as much as 1 point."}},
        {twoPeople,
         ofThree,
         {{2, Choice{}, 0.057}, {1, {TurnAction::Draw, 2}, 0.01}},
         {"Where Hard would have chosen otherwise, costliest first, in chance of winning:",
          "Round 2, turn 2 of Player #2 (person) (cost 5.7%)",
          "  Rows: 1: R W | 2: taken | 3: empty",
          "  Player #2 (person) took row 2; Hard would have drawn.",
          "Round 1, turn 1 of Player #2 (person) (cost 1.0%)",
          "  Rows: 1: R W | 2: taken | 3: empty",
          // Broken between words to stay within 80 columns.
          "  Player #2 (person) drew Y and placed it on row 2; Hard would have placed it on",
          "  row 3."}},
        {twoPeople,
         ofThree,
         {{2, Choice{}, 0.0099}},
         {"Hard would have chosen otherwise at 1 of 2 decisions,",
          "  none costing as much as 1%."}},
        {twoPeople,
         ofThree,
         {{2, Choice{}, 0.057}},
         {"Where Hard would have chosen otherwise, costliest first, in chance of winning:",
          "Round 2, turn 2 of Player #2 (person) (cost 5.7%)",
          "  Rows: 1: R W | 2: taken | 3: empty",
          "  Player #2 (person) took row 2; Hard would have drawn.",
          "At your one other decision Hard would have chosen as you did."}},
    };
    for (const Case& example : cases) {
        const std::int32_t seat = example.game.currentPlayer;
        EXPECT_EQ(reviewLines(threeDecisions(example.game), example.regrets,
                              threeMoves(seat, (seat + 1) % example.game.numberOfPlayers),
                              example.seating),
                  example.lines);
    }
}

// The costliest few alone, so that the review fits one screen of 80 by 24
// however many decisions cost something: every line within 80 columns.
TEST(SoloReview, ShowsTheCostliestFewWithinEightyColumns) {
    SmallRandom random{5};
    for (std::uint32_t seed = 0; seed < 20; ++seed) {
        GameState game = newGame(maxPlayers, seed);
        const Seating seating{maxPlayers, 4, Strength::Medium};
        History history;
        std::vector<Decision> decisions;
        std::vector<Regret> regrets;
        for (bool over = false; !over;) {
            const bool draw = isActionPossible(game, TurnAction::Draw) &&
                              (!isActionPossible(game, TurnAction::Take) || random.below(3) > 0);
            const TurnAction action = draw ? TurnAction::Draw : TurnAction::Take;
            const std::vector<std::int32_t> rows = rowsAllowing(game, action);
            const ChosenMove move{action, rows[static_cast<std::size_t>(random.below(
                                              static_cast<std::int32_t>(rows.size())))]};
            if (game.currentPlayer < seating.people) {
                regrets.push_back({decisions.size(), Choice{TurnAction::Take, 4},
                                   2.0 - 0.01 * static_cast<double>(decisions.size())});
                decisions.push_back({game, DecisionStage::Action, action,
                                     Choice{action, draw ? -1 : move.row}, 0,
                                     history.turns.size()});
            }
            const GameState before = game;
            over = applyMove(game, move.action, move.row);
            recordTurn(history, before, move, game, over);
        }
        const std::vector<std::string> lines = reviewLines(decisions, regrets, history, seating);
        // A heading, three lines or more for each of five, the closing line;
        // with the question and the line before the review, within 24 rows.
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [](const std::string& line) { return line.starts_with("Round "); }),
                  5);
        EXPECT_LE(lines.size(), 22U);
        EXPECT_EQ(lines.back().rfind("Your ", 0), 0U) << lines.back();
        for (const std::string& line : lines) {
            EXPECT_LE(line.size(), 80U) << line;
        }
    }
}

// The count of decisions reviewed shows only on a terminal and only once a
// second has gone, so that no test ever sees it.
TEST(SoloReview, TheCounterShowsOnATerminalAfterASecond) {
    struct Case {
        bool terminal;
        std::time_t now;
        std::string update;
        std::string end;
    };
    const std::string blanks = '\r' + std::string(40, ' ') + '\r';
    const std::vector<Case> cases = {
        {false, 100, "", ""},
        {true, 11, "", ""},
        {true, 12, "\r  3 of 8 decisions reviewed", blanks},
    };
    for (const Case& example : cases) {
        ReviewCounter counter{example.terminal, 10, 8};
        EXPECT_EQ(counterUpdate(counter, 3, example.now), example.update);
        EXPECT_EQ(counterEnd(counter), example.end);
    }
}

// The seat's own turns are counted, never the others'.
TEST(SoloReview, TurnsAreCountedPerSeat) {
    const History history = threeMoves(0, 1);
    EXPECT_EQ(ownTurn(history, 0, 0), 1);
    EXPECT_EQ(ownTurn(history, 1, 1), 1);
    EXPECT_EQ(ownTurn(history, 2, 0), 2);
    EXPECT_EQ(ownTurn(history, 3, 1), 2);
}

} // namespace

} // namespace pellaro
