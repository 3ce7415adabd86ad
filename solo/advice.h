#pragma once

#include "../engine/game_state.h"
#include "../engine/turn_rules.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace pellaro {

// Hints and the review of a finished game: what the strongest computer
// player would do in a person's seat, and what each choice is worth.

// The two questions of a turn: Draw or Take, then the row.
enum class DecisionStage : std::uint8_t {
    Action = 0,
    Row = 1,
};

// One answer to a question. At the Draw-or-Take question a Take is judged
// with its row, and a Draw, whose card is not seen yet, has row -1.
struct Choice {
    TurnAction action = TurnAction::Draw;
    std::int32_t row = -1;

    bool operator==(const Choice&) const = default;
};

struct ChoiceWorth {
    Choice choice;
    // What the seat may expect of the result Hard plays for: the final lead
    // over the other player head to head, the chance of winning (0 to 1)
    // against two or more.
    double value = 0.0;
};

// Whether advice at a table of this many players values chances of winning
// rather than leads in points.
bool valuesChances(std::int32_t players);

struct Advice {
    // What the Hard computer player would choose in the seat: the choice of
    // highest value below, the first of equals, so that the two agree.
    Choice strongest;
    // Every choice open, in the order Draw, then rows from the lowest.
    std::vector<ChoiceWorth> choices;
    // The values are chances of winning, not leads in points.
    bool chances = false;
};

// Random deals of the unseen cards that value one decision: enough that the
// values of two choices seldom swap by chance, few enough that a hint comes
// within a second on one core (the adviceTime benchmark measures it).
inline constexpr std::int32_t advicePlayouts = 20000;

// The seed of one decision's advice: from the game's seed, the number of
// moves played before it and the question, never the clock, so that a hint
// and a review are pure functions of the deal and the moves.
std::uint64_t decisionSeed(std::uint64_t gameSeed, std::size_t movesPlayed, DecisionStage stage);

// Advice for the seat to play, from what that seat may know alone; at the
// Row question for the action chosen, with the drawn card for a Draw (the
// top card, seen by then).
Advice advise(const GameState& game, DecisionStage stage, TurnAction action, std::uint64_t seed);

// The value of a choice in the advice; the choice must be one of them.
double worthOf(const Advice& advice, const Choice& choice);

// One person's decision as it was taken, for the review.
struct Decision {
    GameState game;
    DecisionStage stage = DecisionStage::Action;
    // The action whose row was asked, at the Row question.
    TurnAction action = TurnAction::Draw;
    Choice chosen;
    std::uint64_t seed = 0;
    // Moves played in the game before this decision.
    std::size_t movesPlayed = 0;
};

// A decision where the Hard player would have chosen otherwise, and what the
// person's choice cost by the same values, never less than 0.
struct Regret {
    std::size_t decision = 0;
    Choice strongest;
    double cost = 0.0;
};

// Told after each decision valued, with how many are done.
using ReviewProgress = std::function<void(std::size_t done)>;

// The decisions that differ from the Hard player's, largest cost first, one
// per turn: when the Draw of a turn was itself a mistake, its placement is
// not judged apart.
std::vector<Regret> reviewDecisions(const std::vector<Decision>& decisions,
                                    const ReviewProgress& progress = {});

} // namespace pellaro
