#pragma once

#include "../bots/bot.h"

#include <cstdint>
#include <optional>
#include <string>

namespace pellaro {

// The command line of pellaro-solo.
struct SoloOptions {
    // The first game's deal and computer players; from the clock when unset.
    std::optional<std::uint32_t> seed;
    // The bot of every computer seat, from --bot, instead of a strength
    // asked for: a built-in bot that decides from its seat's view, or a
    // program (exec:COMMAND).
    std::optional<BotSettings> bot{};
    // --bot as typed, for the line that tells how to replay a game.
    std::string botText{};
    // --resume: continue a saved game instead of starting one.
    bool resume = false;
    // --stats: show the person's record from the results file instead of
    // playing.
    bool stats = false;
};

enum class OptionsRead : std::uint8_t {
    Play = 0,
    // --help: `text` holds the help, to print before exiting with status 0.
    Help = 1,
    // A bad option: `text` holds one line saying what, for status 2.
    Bad = 2,
};

OptionsRead readSoloOptions(int argc, const char* const* argv, SoloOptions& options,
                            std::string& text);

} // namespace pellaro
