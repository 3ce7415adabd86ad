#pragma once

#include "lobby.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace pellaro {

// The connections of pellaro-server: one event loop of Boost.Asio carries
// every connection's lines to the lobby and its answers back, and a pool of
// worker threads does the jobs that take time. A client that is slow,
// silent or hostile costs only its own connection.
struct NetworkLimits {
    // Connections from one address, and in all.
    std::size_t perAddress = 16;
    std::size_t connections = 5000;
    // A connection that sends nothing for this long is closed.
    std::chrono::seconds idle{1800};
    // Bytes waiting to be sent to one client, at most: one that does not
    // read is closed rather than held in memory.
    std::size_t queued = 1 << 20;
    // Threads deciding computer players' moves, hints and reviews.
    std::size_t workers = 1;
    // Minutes a table waiting for people may stay with nobody at it.
    std::uint64_t abandon = 60;
};

// Listens on the address and port (port 0: one the system chooses, which
// `ready` is told of) and serves until SIGTERM or SIGINT. `ready`, when not
// empty, is a file to which the port is written once the server listens.
// Returns the program's status: 0 after a signal, 1 when it cannot listen.
int serve(Lobby& lobby, const std::string& address, std::uint16_t port, const NetworkLimits& limits,
          const std::string& ready);

} // namespace pellaro
