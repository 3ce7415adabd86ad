#include "engine/game_state.h"
#include "engine/turn_rules.h"
#include "solo/person_moves.h"
#include "support/redirected_console.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pellaro {

namespace {

// Four players, Player #1 to move: row 1 full, row 2 taken by Player #3,
// row 3 empty, row 4 holding one card.
GameState boardOfFour() {
    GameState game = newGame(4, 5);
    game.rows[0].slots = {Red, Green, Blue};
    game.rows[0].full = true;
    game.rows[1].slots = {Yellow, noCard, noCard};
    game.rows[1].taken = true;
    game.players[2].outOfRound = true;
    game.rows[3].slots = {Violet, noCard, noCard};
    return game;
}

struct Asked {
    std::optional<ChosenMove> move;
    std::string output;
    std::vector<Decision> decisions;
    PersonTurn turn;
};

// The turn as the table asks it, with the decisions it keeps for the review.
Asked ask(const GameState& game, const std::string& input, bool drawn = false) {
    const RedirectedConsole console(input);
    Asked asked;
    asked.turn =
        askSoloPersonMove(game, Seating{game.numberOfPlayers, 1, Strength::Easy}, 9, 4, 3, drawn);
    if (asked.turn.end == PersonEnd::Moved) {
        asked.move = asked.turn.move;
        addDecisions(asked.decisions, game, asked.turn.move, 9, 4);
    }
    asked.output = console.output();
    return asked;
}

const std::string actionQuestion =
    "Player #1 (you), turn 3: (D)raw a card, (T)ake a row or ? for a hint: ";
const std::string takeQuestion = "Row to take (1-4), B to go back or ? for a hint: ";

// Each refused row is told why, and the question comes again.
TEST(SoloPersonMoves, ARefusedRowIsToldWhy) {
    const GameState game = boardOfFour();
    const std::string card(cardLabels[topCard(game)]);
    const std::string placeQuestion = "Row to place it on (1-4) or ? for a hint: ";
    struct Case {
        std::string input;
        std::string reason;
        ChosenMove accepted;
        std::string question;
    };
    const std::vector<Case> cases = {
        {"t\n5\n1\n",
         "There is no row 5: the rows are 1 to 4.",
         {TurnAction::Take, 0},
         takeQuestion},
        {"t\n0\n1\n",
         "There is no row 0: the rows are 1 to 4.",
         {TurnAction::Take, 0},
         takeQuestion},
        {"t\n-99999999999\n1\n",
         "There is no row -2147483648: the rows are 1 to 4.",
         {TurnAction::Take, 0},
         takeQuestion},
        {"t\n2\n1\n", "Row 2 was already taken this round.", {TurnAction::Take, 0}, takeQuestion},
        {"t\n3\n1\n",
         "Row 3 is empty: there is nothing to take.",
         {TurnAction::Take, 0},
         takeQuestion},
        {"t\nthree\n1\n",
         "Please type a row number (1-4), B to go back, ? for a hint or S to save.",
         {TurnAction::Take, 0},
         takeQuestion},
        {"d\n1\n3\n",
         "Row 1 is full: the card must go on a row with room.",
         {TurnAction::Draw, 2},
         "You drew " + card + ".\n" + placeQuestion},
        {"d\n2\n3\n",
         "Row 2 was already taken this round.",
         {TurnAction::Draw, 2},
         "You drew " + card + ".\n" + placeQuestion},
        {"d\nb\n3\n",
         "Please type a row number (1-4), ? for a hint or S to save.",
         {TurnAction::Draw, 2},
         "You drew " + card + ".\n" + placeQuestion},
    };
    for (const Case& c : cases) {
        const Asked asked = ask(game, c.input);
        ASSERT_TRUE(asked.move.has_value()) << c.input;
        EXPECT_EQ(asked.move->action, c.accepted.action) << c.input;
        EXPECT_EQ(asked.move->row, c.accepted.row) << c.input;
        EXPECT_EQ(asked.output, actionQuestion + c.question + c.reason + '\n' +
                                    c.question.substr(c.question.rfind('\n') + 1))
            << c.input;
    }
}

// After choosing Take a person may go back and draw instead; the Draw and
// its row are then the decisions kept for the review.
TEST(SoloPersonMoves, ATakeCanBeTakenBack) {
    const GameState game = boardOfFour();
    const Asked asked = ask(game, "t\nB\nt\n back\nd\n3\n");
    ASSERT_TRUE(asked.move.has_value());
    EXPECT_EQ(asked.move->action, TurnAction::Draw);
    EXPECT_EQ(asked.move->row, 2);
    EXPECT_EQ(asked.output, actionQuestion + takeQuestion + actionQuestion + takeQuestion +
                                actionQuestion + "You drew " +
                                std::string(cardLabels[topCard(game)]) +
                                ".\nRow to place it on (1-4) or ? for a hint: ");
    ASSERT_EQ(asked.decisions.size(), 2U);
    EXPECT_EQ(asked.decisions[0].stage, DecisionStage::Action);
    EXPECT_EQ(asked.decisions[0].chosen, (Choice{TurnAction::Draw, -1}));
    EXPECT_EQ(asked.decisions[0].movesPlayed, 4U);
    EXPECT_EQ(asked.decisions[1].stage, DecisionStage::Row);
    EXPECT_EQ(asked.decisions[1].chosen, (Choice{TurnAction::Draw, 2}));
}

// At the Take question, with a Draw still open, the hint weighs the Draw
// too: the same values as the hint before it, and B named when it is best.
TEST(SoloPersonMoves, TheHintAtTheTakeQuestionWeighsTheDraw) {
    // A position of a real game, as hints deal the cards not yet seen.
    GameState game = newGame(4, 5);
    for (std::int32_t row = 0; row < 4; ++row) {
        applyMove(game, TurnAction::Draw, row);
    }
    const Asked asked = ask(game, "?\nt\n?\n4\n");
    const std::size_t first = asked.output.find("Hint: ");
    const std::size_t second = asked.output.find("Hint: ", first + 1);
    ASSERT_NE(second, std::string::npos);
    const std::string atAction =
        asked.output.substr(first, asked.output.find(actionQuestion, first) - first);
    std::string atTake =
        asked.output.substr(second, asked.output.find(takeQuestion, second) - second);
    EXPECT_NE(atTake.find("\n   draw "), std::string::npos) << atTake;
    const std::size_t back = atTake.find(" (B goes back)");
    EXPECT_EQ(back != std::string::npos, atAction.starts_with("Hint: Hard would draw.")) << atTake;
    if (back != std::string::npos) {
        atTake.erase(back, 14);
    }
    EXPECT_EQ(atTake, atAction);
}

// With no Draw open the Take question weighs the rows alone.
TEST(SoloPersonMoves, TheHintAtTheTakeQuestionWithoutADrawWeighsRows) {
    GameState game = newGame(2, 5);
    for (const std::int32_t row : {0, 0, 0, 1, 1, 1}) {
        applyMove(game, TurnAction::Draw, row);
    }
    ASSERT_FALSE(isActionPossible(game, TurnAction::Draw));
    const Asked asked = ask(game, "?\n1\n");
    EXPECT_EQ(asked.output.find("draw"), std::string::npos) << asked.output;
    EXPECT_NE(asked.output.find("? for a hint: Hint: Hard would take row "), std::string::npos);
    EXPECT_NE(asked.output.find(". Expected lead over the other player:\n   row 1 "),
              std::string::npos)
        << asked.output;
}

// A question with one possible answer is not asked: the person is told.
TEST(SoloPersonMoves, AQuestionWithOneAnswerIsNotAsked) {
    GameState opening = newGame(3, 5);
    GameState oneRoom = boardOfFour();
    oneRoom.rows[2].slots = {Pink, Pink, Pink};
    oneRoom.rows[2].full = true;
    oneRoom.rows[0] = Row{};
    oneRoom.rows[3].slots = {Violet, Violet, Violet};
    oneRoom.rows[3].full = true;
    GameState allFull = oneRoom;
    allFull.rows[0].slots = {Red, Red, Red};
    allFull.rows[0].full = true;
    GameState lastRow = allFull;
    lastRow.rows[0].taken = true;
    lastRow.rows[3].taken = true;
    const std::string card(cardLabels[topCard(opening)]);
    // Only the questions asked are decisions for the review.
    struct Case {
        const GameState& game;
        std::string input;
        ChosenMove move;
        std::string output;
        std::size_t decisions;
    };
    const std::vector<Case> cases = {
        {opening,
         "2\n",
         {TurnAction::Draw, 1},
         "Player #1 (you), turn 3: no row holds a card, so a card must be drawn.\nYou drew " +
             card + ".\nRow to place it on (1-3) or ? for a hint: ",
         1},
        {oneRoom,
         "d\n",
         {TurnAction::Draw, 0},
         actionQuestion + "You drew " + card +
             ". Row 1 is the only one with room, so it goes there.\n",
         1},
        {allFull,
         "3\n",
         {TurnAction::Take, 2},
         "Player #1 (you), turn 3: every row in play is full, so a row must be taken.\n"
         "Row to take (1-4) or ? for a hint: ",
         1},
        {lastRow,
         "",
         {TurnAction::Take, 2},
         "Player #1 (you), turn 3: every row in play is full, so a row must be taken.\n"
         "Row 3 is the only one left to take.\n",
         0},
    };
    for (const Case& c : cases) {
        const Asked asked = ask(c.game, c.input);
        ASSERT_TRUE(asked.move.has_value()) << c.output;
        EXPECT_EQ(asked.move->action, c.move.action) << c.output;
        EXPECT_EQ(asked.move->row, c.move.row) << c.output;
        EXPECT_EQ(asked.output, c.output);
        EXPECT_EQ(asked.decisions.size(), c.decisions) << c.output;
    }
}

// S at any question asks to save, keeping a Draw whose card was seen; the
// turn then goes on at the row question, and its decisions are those of a
// turn never stopped.
TEST(SoloPersonMoves, SAtAnyQuestionAsksToSaveAndADrawStaysDrawn) {
    const GameState game = boardOfFour();
    struct Case {
        std::string input;
        bool drawn;
    };
    for (const Case& c :
         std::vector<Case>{{"s\n", false}, {"S\n", false}, {"t\n s\n", false}, {"d\nS\n", true}}) {
        const Asked asked = ask(game, c.input);
        EXPECT_EQ(asked.turn.end, PersonEnd::SaveAsked) << c.input;
        EXPECT_EQ(asked.turn.drawn, c.drawn) << c.input;
    }
    const Asked resumed = ask(game, "3\n", true);
    ASSERT_TRUE(resumed.move.has_value());
    EXPECT_EQ(resumed.move->action, TurnAction::Draw);
    EXPECT_EQ(resumed.move->row, 2);
    EXPECT_EQ(resumed.output, "Player #1 (you), turn 3: You drew " +
                                  std::string(cardLabels[topCard(game)]) +
                                  ".\nRow to place it on (1-4) or ? for a hint: ");
    EXPECT_EQ(resumed.decisions.size(), ask(game, "d\n3\n").decisions.size());
}

TEST(SoloPersonMoves, EndOfInputAtAnyQuestionPlaysNothing) {
    const GameState game = boardOfFour();
    for (const std::string input : {"", "x\n", "t\n", "t\n9\n", "t\nb\n", "d\n", "d\n1\n"}) {
        EXPECT_FALSE(ask(game, input).move.has_value()) << input;
    }
}

} // namespace

} // namespace pellaro
