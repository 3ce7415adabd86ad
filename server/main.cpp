// pellaro-server: tables of Pellaro played from many terminals, kept in a
// database that survives the server being killed.
#include "../solo/wrapped_help.h"
#include "connections.h"
#include "lobby.h"
#include "secrets.h"
#include "store.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <iostream>
#include <thread>

namespace {

struct Listen {
    std::string address = "127.0.0.1";
    std::uint16_t port = 7475;
};

// "127.0.0.1:7475", "[::1]:7475": nothing when it is neither.
std::optional<Listen> listenOf(const std::string& text) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) {
        return std::nullopt;
    }
    std::string address = text.substr(0, colon);
    if (address.size() > 2 && address.front() == '[' && address.back() == ']') {
        address = address.substr(1, address.size() - 2);
    }
    const std::string port = text.substr(colon + 1);
    unsigned value = 0;
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (error != std::errc() || end != port.data() + port.size() || value > 65535) {
        return std::nullopt;
    }
    return Listen{address, static_cast<std::uint16_t>(value)};
}

int run(int argc, char** argv) {
    CLI::App app{"Tables of Pellaro for people at their own terminals, kept in a database\n"
                 "that survives a crash.",
                 "pellaro-server"};
    app.formatter(std::make_shared<pellaro::WrappedHelp>());
    std::string data;
    std::string listenText = "127.0.0.1:7475";
    std::string portFile;
    pellaro::Lobby::Limits tables;
    pellaro::NetworkLimits network;
    // hardware_concurrency() may be 0 when the system does not say.
    network.workers = std::max(2U, std::thread::hardware_concurrency()) - 1;
    std::int64_t idle = network.idle.count();
    app.add_option("--data", data, "The folder of the server's database; made if missing.")
        ->type_name("DIR")
        ->required();
    app.add_option("--listen", listenText,
                   "The address and port to listen on (default 127.0.0.1:7475; port 0 lets the "
                   "system choose).")
        ->type_name("ADDRESS:PORT");
    app.add_option("--max-tables", tables.tables,
                   "Tables whose game is not over, at most (default 1000).")
        ->type_name("N")
        ->check(CLI::Range(1, 1000000));
    app.add_option("--per-address", network.perAddress,
                   "Connections from one address, at most (default 16).")
        ->type_name("N")
        ->check(CLI::Range(1, 1000000));
    app.add_option("--max-connections", network.connections,
                   "Connections in all, at most (default 5000).")
        ->type_name("N")
        ->check(CLI::Range(1, 1000000));
    app.add_option("--idle", idle,
                   "Seconds a connection may send nothing before it is closed (default 1800).")
        ->type_name("SECONDS")
        ->check(CLI::Range(1, 86400 * 7));
    app.add_option("--abandon", network.abandon,
                   "Minutes a table still waiting for people may stay with nobody at it before "
                   "it is closed (default 60).")
        ->type_name("MINUTES")
        ->check(CLI::Range(1, 60 * 24 * 365));
    app.add_option("--workers", network.workers,
                   "Threads for computer players, hints and reviews (default: one less than the "
                   "cores, at least 1).")
        ->type_name("N")
        ->check(CLI::Range(1, 256));
    app.add_option("--port-file", portFile,
                   "Once listening, write the port to this file (for scripts that let the system "
                   "choose it).")
        ->type_name("FILE");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) {
            return app.exit(error);
        }
        std::cerr << "pellaro-server: " << error.what() << '\n';
        return 2;
    }
    const std::optional<Listen> listen = listenOf(listenText);
    if (!listen) {
        std::cerr << "pellaro-server: --listen: '" << listenText
                  << "' is no ADDRESS:PORT, such as 127.0.0.1:7475\n";
        return 2;
    }
    network.idle = std::chrono::seconds(idle);
    if (!pellaro::startSecrets()) {
        std::cerr << "pellaro-server: the system's random source cannot be used\n";
        return 1;
    }
    std::string why;
    std::optional<pellaro::Store> store = pellaro::Store::open(data, why);
    if (!store) {
        std::cerr << "pellaro-server: " << why << '\n';
        return 1;
    }
    pellaro::Lobby lobby(*store, tables);
    return pellaro::serve(lobby, listen->address, listen->port, network, portFile);
}

} // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& failure) {
        // Out of memory, or a library's surprise: still one line.
        std::cerr << "pellaro-server: " << failure.what() << '\n';
        return 1;
    }
}
