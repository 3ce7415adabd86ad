#pragma once

#include "../bots/bot.h"

#include <array>
#include <cstdint>
#include <string_view>

// How strong the computer players of a game are; all of them play alike.
enum class Strength : std::uint8_t {
    Easy = 0,
    Medium = 1,
    Hard = 2,
};

inline constexpr std::size_t strengthCount = 3;

// The one place that says which bot plays each strength, weakest first. Every
// bot here decides from what its seat may know, and every budget is a fixed
// count, so no clock decides a move. Hard's budget must keep a decision under
// half a second on one core of the build machine (the computerDecision
// benchmark shows it): 5000 iterations take about 20 ms, fast enough that a
// person never waits, and beat Medium clearly (bench/measure_strength.sh).
// Easy and Medium move at once.
inline constexpr std::array<std::string_view, strengthCount> strengthBots = {
    "greedy",
    "montecarlo:1000",
    "ismcts:5000",
};

BotSettings settingsOf(Strength strength);
