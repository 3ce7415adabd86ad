#pragma once

#include <string>
#include <string_view>

struct SessionResult {
    int status = -1;
    std::string output;
};

// Runs the real main loop in this process with the given bytes as standard
// input, and returns its exit status and everything it wrote.
SessionResult runSession(std::string_view input);
