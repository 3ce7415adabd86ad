#pragma once

#include "strengths.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pellaro {

// How one seat is shown and who plays it, where any seat may be a person's.
struct SeatLabel {
    bool person = true;
    // "you", a person's name, or a computer player's strength.
    std::string label{};
};

// Who sits where in a game against computer players: people in the first
// seats, computer players of one strength in the others.
struct Seating {
    std::int32_t players = 2;
    std::int32_t people = 1;
    Strength strength = Strength::Easy;
    // Set by --bot: how the computer seats are shown instead of a strength.
    std::string botLabel{};
    // Set at a table of pellaro-server, where people and computer players
    // of several strengths sit in any order: each seat's own label, which
    // the fields above then leave alone.
    std::vector<SeatLabel> seats{};
};

// The label of computer seats that a bot program plays.
inline constexpr const char* programLabel = "program";

// The computer players' strength, or the bot --bot named.
std::string computerName(const Seating& seating);

bool isPerson(const Seating& seating, std::int32_t seat);

// "Easy", "Medium" or "Hard".
std::string strengthName(Strength strength);

// How a seat is shown everywhere, numbered from 1: "Player #1 (you)" when one
// person plays, "Player #2 (person)" among several, "Player #3 (Hard)".
std::string seatName(const Seating& seating, std::int32_t seat);

// The same without the word Player: "#1 (you)", "#3 (Hard)".
std::string shortSeatName(const Seating& seating, std::int32_t seat);

} // namespace pellaro
