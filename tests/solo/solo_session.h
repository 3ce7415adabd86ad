#pragma once

#include "solo/solo_options.h"
#include "support/session.h"

#include <string_view>

namespace pellaro {

// Runs the real solo loop in this process with the given bytes as standard
// input, as runSession does for the hot-seat game, with a new empty folder
// for the results file.
SessionResult runSoloSession(std::string_view input, const SoloOptions& options = {});

// The same, telling whether the session left a results file.
SessionResult runSoloSession(std::string_view input, const SoloOptions& options,
                             bool& resultsWritten);

} // namespace pellaro
