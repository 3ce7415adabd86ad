#pragma once

#include <ctime>

// Test programs that link pinned_clock.cpp replace the C library's time():
// every game set-up then seeds its shuffle with the value set here, so a
// session's decks are known in advance.
void pinClock(std::time_t seconds);
