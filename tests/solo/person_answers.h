#pragma once

#include "solo/strengths.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pellaro {

// One game of pellaro-solo as the people will play it: the computer players
// are replayed here with the same seeds as the program gives them.
struct SoloGame {
    std::int32_t players = 2;
    std::int32_t people = 1;
    Strength strength = Strength::Easy;
    // Refused answers now and then: a bad action word, a Take taken back,
    // a row the game refuses for each reason in turn, a word for a row.
    bool mistakes = false;
    // A ? now and then at either question.
    bool hints = false;
};

// What the people type at their turns in the game of the seed, from their
// first action to their last row, answering only the questions asked: a
// person takes a full row, or any row when nothing can be drawn, and
// otherwise draws onto the emptiest row.
std::string personTurnAnswers(const SoloGame& plan, std::uint32_t seed);

// The same, one string for each turn of the people, in the order played.
std::vector<std::string> personTurnAnswerList(const SoloGame& plan, std::uint32_t seed);

} // namespace pellaro
