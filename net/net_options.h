#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pellaro {

// The command line of pellaro-net.
struct NetOptions {
    std::string host = "127.0.0.1";
    std::uint16_t port = 7475;
    // Sent with NAME once connected; none when empty.
    std::string name;

    // host:port, as the seats file and the messages name the server.
    std::string server() const;
};

enum class NetOptionsRead : std::uint8_t {
    Play = 0,
    // --help: `text` holds the help, to print before exiting with status 0.
    Help = 1,
    // A bad option: `text` holds one line saying what, for status 2.
    Bad = 2,
};

NetOptionsRead readNetOptions(int argc, const char* const* argv, NetOptions& options,
                              std::string& text);

} // namespace pellaro
