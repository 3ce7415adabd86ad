#pragma once

#include "../driver/game_loop.h"
#include "../engine/game_state.h"
#include "advice.h"
#include "seating.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pellaro {

// How a person's turn ended: with a move, with S typed (or Ctrl-C) at one of
// its questions, or at the end of standard input.
enum class PersonEnd : std::uint8_t { Moved, SaveAsked, InputEnded };

struct PersonTurn {
    PersonEnd end = PersonEnd::InputEnded;
    ChosenMove move;
    // The Draw was chosen and its card seen before the save was asked: the
    // turn goes on at the row question, never at the Draw-or-Take one.
    bool drawn = false;
};

// A person's turn in the game against computer players. A question is asked
// only when more than one answer is possible; a refused row is told why; a
// Take can be taken back to the Draw-or-Take question (a Draw cannot: its
// card has been seen); ? at either question gives a hint, S asks to save the
// game. The person's own turn number (`turnNumber`, from 1) opens the turn's
// first line, so that the review can name the turn. `drawn` goes on with a
// turn whose Draw was chosen before.
PersonTurn askSoloPersonMove(const GameState& game, const Seating& seating, std::uint64_t gameSeed,
                             std::size_t movesPlayed, std::int32_t turnNumber = 1,
                             bool drawn = false);

// Whether the row of a Take is asked: always while a Draw is still open, as
// the person may go back to it, else when more than one row may be taken.
bool isTakeRowAsked(const GameState& game);

// Adds the person's decisions of the move to the review's: each question of
// the turn that had more than one answer, as askSoloPersonMove asked them.
void addDecisions(std::vector<Decision>& decisions, const GameState& game, const ChosenMove& move,
                  std::uint64_t gameSeed, std::size_t movesPlayed);

// Why the game refuses the typed row, a number as typed (1 for the first
// row), for an action the game refuses on it.
std::string refusalText(const GameState& game, TurnAction action, std::int32_t typed);

// The hint's two lines: what Hard would do, then the value of every choice.
// `backToDraw` is for the Take question, where a better Draw is one B away.
std::vector<std::string> hintLines(const Advice& advice, DecisionStage stage,
                                   bool backToDraw = false);

// "draw", "take row 2", "place it on row 3".
std::string choiceWords(const Choice& choice, DecisionStage stage);

// Points with one decimal: "1.5", "-0.3".
std::string tenths(double value);

// A margin with its sign and one decimal: "+1.5", "-0.3".
std::string signedTenths(double value);

// A chance from 0 to 1 as a whole percentage: "23%".
std::string percent(double chance);

} // namespace pellaro
