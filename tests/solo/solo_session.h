#pragma once

#include "support/session.h"

#include <string_view>

// Runs the real solo loop in this process with the given bytes as standard
// input, as runSession does for the hot-seat game.
SessionResult runSoloSession(std::string_view input);
