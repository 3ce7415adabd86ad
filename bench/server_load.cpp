// pellaro_server_load: many tables of four scripted people played at once on
// a running pellaro-server, every line checked, every game replayed with the
// game's own rules at the end; with --fault-kills, the server is killed and
// started again while they play, and what it stored is checked against what
// its people were told. With --think MS each person thinks from 0 to 2 * MS
// milliseconds before each answer, as people at a table do.
//
//   pellaro_server_load --port P --tables 1000 --seed S [--server-pid PID] [--think MS]
//   pellaro_server_load --fault-kills 20 --server PROGRAM --data DIR --tables 200 --seed S
//                       [--think MS]
//
// Status 1 when any check fails, 2 for a bad command line.

#include "load_run.h"

#include <charconv>
#include <iostream>
#include <string_view>

namespace {

template <typename Number>
bool parsed(std::string_view text, Number& value, Number least, Number most) {
    Number read{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), read);
    if (error != std::errc() || end != text.data() + text.size() || read < least || read > most) {
        return false;
    }
    value = read;
    return true;
}

bool option(pellaro::load::Options& options, std::string_view name, std::string_view value) {
    if (name == "--port") {
        return parsed<std::uint16_t>(value, options.port, 1, 65535);
    }
    if (name == "--tables") {
        return parsed<std::int32_t>(value, options.tables, 1, 2000);
    }
    if (name == "--think") {
        // At most 20 s of thought, well inside the run's 60 s of silence.
        return parsed<std::int32_t>(value, options.thinkMs, 0, 10000);
    }
    if (name == "--seed") {
        return parsed<std::uint64_t>(value, options.seed, 0, UINT64_MAX);
    }
    if (name == "--server-pid") {
        return parsed<pid_t>(value, options.serverPid, 1, INT32_MAX);
    }
    if (name == "--fault-kills") {
        return parsed<std::int32_t>(value, options.faultKills, 1, 1000);
    }
    if (name == "--server" || name == "--data") {
        (name == "--server" ? options.server : options.data) = value;
        return !value.empty();
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    pellaro::load::Options options;
    for (int i = 1; i < argc; i += 2) {
        const std::string_view value = i + 1 < argc ? argv[i + 1] : "";
        if (!option(options, argv[i], value)) {
            std::cerr << "pellaro_server_load: bad option '" << argv[i] << ' ' << value
                      << "'\nusage: pellaro_server_load --port P [--tables N] [--seed S] "
                         "[--server-pid PID] [--think MS]\n"
                         "       pellaro_server_load --fault-kills K --server PROGRAM --data DIR "
                         "[--tables N] [--seed S] [--think MS]\n";
            return 2;
        }
    }
    const bool fault = options.faultKills > 0;
    if (fault ? options.server.empty() || options.data.empty() : options.port == 0) {
        std::cerr
            << "pellaro_server_load: give --port, or --fault-kills with --server and --data\n";
        return 2;
    }
    return pellaro::load::runLoad(options);
}
