#include "pinned_clock.h"

#include <cstdlib>

namespace {

// Without pinClock() the clock reads the value of PELLARO_PINNED_TIME, or 0,
// so that the same file also serves as a preloaded library for the program.
std::time_t pinnedSeconds() {
    const char* text = std::getenv("PELLARO_PINNED_TIME");
    return text != nullptr ? static_cast<std::time_t>(std::atoll(text)) : 0;
}

std::time_t& pinned() {
    static std::time_t seconds = pinnedSeconds();
    return seconds;
}

} // namespace

void pinClock(std::time_t seconds) {
    pinned() = seconds;
}

// The C library names the parameter with a reserved identifier.
// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name)
extern "C" std::time_t time(std::time_t* result) noexcept {
    if (result != nullptr) {
        *result = pinned();
    }
    return pinned();
}
