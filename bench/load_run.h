#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>

namespace pellaro::load {

struct Options {
    // The running server's port (the fault run starts its own).
    std::uint16_t port = 0;
    std::int32_t tables = 1000;
    std::uint64_t seed = 1;
    // Each person thinks from 0 to twice this many milliseconds before each
    // answer; 0 answers at once.
    std::int32_t thinkMs = 0;
    // The running server, whose memory is read before the load and with
    // every table at its midpoint; 0 for none.
    pid_t serverPid = 0;
    // The fault run: kills of its own server, the program and its data folder.
    std::int32_t faultKills = 0;
    std::string server{};
    std::string data{};
};

// Plays the tables, prints the figures and checks; the program's status.
int runLoad(const Options& options);

} // namespace pellaro::load
