#pragma once

#include "../engine/game_state.h"
#include "../engine/scoring.h"
#include "seating.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pellaro {

// The displays of the game against computer players: plain lines, each of at
// most 80 characters at five players, so that a person's turn fits a
// terminal of 80 by 24 and reads well through a pipe or a screen reader.

// The round, the cards left, the rows, every seat's pile with its score so
// far and the cards still unseen by kind; the seats are named with their
// kind, so each person sees which seat is theirs and how strong the computer
// players are. The round is called the last as soon as it is certain to be.
std::vector<std::string> tableLines(const GameState& game, const Seating& seating,
                                    std::int32_t round);

// How one pile comes to its score: the colours for and against, the +2
// cards and the wilds no colour could use.
std::vector<std::string> breakdownLines(const std::string& name, const ScoreBreakdown& breakdown);

// The scores with their breakdowns and the winner or winners.
std::vector<std::string> resultLines(const GameState& game, const Seating& seating);

// Writes each line with its newline, flushed.
void showLines(const std::vector<std::string>& lines);

// A row as the screens number it, from 1.
std::string rowNumber(std::int32_t row);

} // namespace pellaro
