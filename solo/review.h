#pragma once

#include "advice.h"
#include "history.h"
#include "seating.h"

#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

namespace pellaro {

// The review of a finished game, told as lines of at most 80 characters so
// that it fits one screen of 80 by 24: the costliest decisions, each with
// its round and turn, the rows as they stood, the card, what was played and
// what Hard would have played, then one line for all the others.

// The decisions shown one by one, at most.
inline constexpr std::size_t reviewedAtMost = 5;

// Whether a cost matters enough to be shown: a point of expected lead, or
// one percent of a chance of winning.
bool costMatters(double cost, bool chances);

// The review's lines, from the regrets of reviewDecisions.
std::vector<std::string> reviewLines(const std::vector<Decision>& decisions,
                                     const std::vector<Regret>& regrets, const History& history,
                                     const Seating& seating);

// "  Rows: 1: R R W | 2: taken | 3: empty": the rows compactly.
std::string rowsLine(const GameState& game);

// What the screen shows while the review is computed: on a terminal alone,
// and only once a second has passed, a line rewritten with how many
// decisions are done, erased at the end. Read from the process's clock, so
// that pinned clocks keep every test's output the same.
struct ReviewCounter {
    bool terminal = false;
    std::time_t start = 0;
    std::size_t total = 0;
    bool shown = false;
};

// What to write after `done` decisions at time `now`: nothing or a rewrite.
std::string counterUpdate(ReviewCounter& counter, std::size_t done, std::time_t now);

// What erases the counter, if it was shown.
std::string counterEnd(const ReviewCounter& counter);

} // namespace pellaro
