#pragma once

#include "../bots/bot.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace pellaro {

// How strong the computer players of a game are; all of them play alike.
enum class Strength : std::uint8_t {
    Easy = 0,
    Medium = 1,
    Hard = 2,
};

inline constexpr std::size_t strengthCount = 3;

// The one place that says which bot plays each strength, weakest first. Every
// bot here decides from what its seat may know, and every budget is a fixed
// count, so no clock decides a move. Medium's five-player decisions must stay
// under 20 ms and Hard's under a quarter of a second at the 99th percentile
// on one core (bench/decision_times.cpp shows them). Both search a tree:
// with the share of wins as its aim at four and five players, it beat flat
// Monte Carlo with many more playouts at every table size measured. They beat
// the Medium and Hard of commit 05c9368 (montecarlo:1000 and ismcts:5000 with
// the settings that play as they did then,
// montecarlo:1000:objective=margin-below-5:ties=first:allocation=even and
// ismcts:5000:objective=margin-below-5:reuse=no:ties=first; the tables of
// doc/strength.md).
inline constexpr std::array<std::string_view, strengthCount> strengthBots = {
    "greedy",
    "ismcts:8000",
    "ismcts:20000",
};

BotSettings settingsOf(Strength strength);

} // namespace pellaro
