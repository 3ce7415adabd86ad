#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

// The whole file, byte for byte; empty when it cannot be read.
std::string readFile(const std::string& path);
