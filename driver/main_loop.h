#pragma once

namespace pellaro {

// Plays one game after another at the console until the players decline a new
// one, or standard input ends. Returns the program's exit status, always 0.
int MainLoop();

} // namespace pellaro
