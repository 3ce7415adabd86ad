#pragma once

#include "solo_options.h"

namespace pellaro {

// Plays one game after another, people in the first seats and computer
// players in the others, until the people decline a new game or standard
// input ends. Returns the program's exit status, always 0.
int SoloLoop(const SoloOptions& options = {});

} // namespace pellaro
