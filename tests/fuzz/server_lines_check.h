#pragma once

#include <string>
#include <string_view>

namespace pellaro {

// Feeds any bytes to pellaro-server's lobby as the lines of four
// connections and returns what went wrong, or nothing. Each line names its
// connection by its first byte ('1' to '4'; 'x' and a digit closes that one,
// 'k' kills and restarts the server on its store); in the rest "@" stands
// for the last table code and "#" for the connection's last seat token, so
// that the fuzzer reaches seats and tables it cannot guess. Every line sent
// must be printable and tagged, each command answered first by one OK or
// ERR (BYE for QUIT), a watcher never asked nor shown a drawn card, and the
// moves told to a connection numbered on from the last or again from 1.
std::string serverLinesFault(std::string_view input);

} // namespace pellaro
