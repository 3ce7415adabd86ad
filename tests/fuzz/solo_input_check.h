#pragma once

#include <string>
#include <string_view>

namespace pellaro {

// Feeds any bytes to pellaro-solo's two readers of the player's files, of
// the results file (and the record --stats shows from it) and of a saved
// game, and returns what went wrong, or nothing: a reader may refuse lines
// or a file, with a reason, but what it accepts must be a game the program
// could have played or saved, write back to what reads the same, and show
// in lines of at most 80 printable characters.
std::string soloInputFault(std::string_view input);

} // namespace pellaro
