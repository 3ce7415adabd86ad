#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pellaro {

struct SessionResult {
    int status = -1;
    std::string output;
    // Bytes of standard input the main loop never read.
    std::size_t unreadInput = 0;
};

// Runs the real main loop in this process with the given bytes as standard
// input, and returns its exit status, everything it wrote and what it left
// unread.
SessionResult runSession(std::string_view input);

} // namespace pellaro
