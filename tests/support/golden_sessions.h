#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pellaro {

// A recorded session under tests/golden: the players' answers, the pinned
// clock they were played with, and everything the program wrote.
struct GoldenSession {
    std::string name;
    std::uint32_t pinnedTime = 0;
    std::string input;
    std::string expectedOutput;
};

// Every session that tests/golden/sessions.txt names.
std::vector<GoldenSession> goldenSessions();

// Every session that DIR/sessions.txt names, each from DIR/NAME.in and NAME.out.
std::vector<GoldenSession> goldenSessionsIn(const std::string& dir);

// The whole file, byte for byte; empty when it cannot be read.
std::string readFile(const std::string& path);

} // namespace pellaro
