#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The command line of pellaro-solo.
struct SoloOptions {
    // The first game's deal and computer players; from the clock when unset.
    std::optional<std::uint32_t> seed;
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
