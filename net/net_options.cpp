#include "net_options.h"

#include "../solo/wrapped_help.h"
#include "line_text.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>
#include <sstream>

namespace pellaro {

namespace {

// A host name or IPv4 address: letters, digits, dots and hyphens.
bool isHostName(const std::string& text) {
    return !text.empty() && text.size() <= 253 && std::all_of(text.begin(), text.end(), [](char c) {
        return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' ||
               c == '-';
    });
}

// An IPv6 address, written in brackets so that its colons stay apart from
// the port's.
bool isBracketedAddress(const std::string& text) {
    return text.size() > 2 && text.size() <= 41 && text.front() == '[' && text.back() == ']' &&
           std::all_of(text.begin() + 1, text.end() - 1, [](char c) {
               return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ':' ||
                      c == '.';
           });
}

std::optional<std::uint16_t> portOf(const std::string& text) {
    if (text.empty() || text.size() > 5 || !std::all_of(text.begin(), text.end(), isDigit)) {
        return std::nullopt;
    }
    const int port = std::stoi(text);
    if (port < 1 || port > 65535) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(port);
}

// Reads HOST[:PORT] into the options; the reason when it is none.
std::string readServer(const std::string& text, NetOptions& options) {
    const std::size_t colon = text.rfind(':');
    const bool hasPort = colon != std::string::npos && text.find(']', colon) == std::string::npos;
    const std::string host = hasPort ? text.substr(0, colon) : text;
    if (!isHostName(host) && !isBracketedAddress(host)) {
        return "'" + text +
               "' is no HOST[:PORT]: a host is a name, an IPv4 address or an "
               "IPv6 address in brackets";
    }
    if (hasPort) {
        const std::optional<std::uint16_t> port = portOf(text.substr(colon + 1));
        if (!port) {
            return "'" + text + "' is no HOST[:PORT]: a port is a whole number from 1 to 65535";
        }
        options.port = *port;
    }
    // Asio wants an IPv6 address without its brackets.
    options.host = host.front() == '[' ? host.substr(1, host.size() - 2) : host;
    return {};
}

bool isName(const std::string& text) {
    return !text.empty() && text.size() <= 8 && std::all_of(text.begin(), text.end(), [](char c) {
        return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' ||
               c == '_';
    });
}

} // namespace

std::string NetOptions::server() const {
    const std::string shown = host.find(':') == std::string::npos ? host : '[' + host + ']';
    return shown + ':' + std::to_string(port);
}

NetOptionsRead readNetOptions(int argc, const char* const* argv, NetOptions& options,
                              std::string& text) {
    CLI::App app{"Play the card game Pellaro at a pellaro-server.", "pellaro-net"};
    app.formatter(std::make_shared<WrappedHelp>());
    std::string serverText;
    app.add_option("server", serverText,
                   "The server as HOST[:PORT] (default: 127.0.0.1:7475); an IPv6 address in "
                   "brackets, such as [::1]:7475")
        ->type_name("HOST[:PORT]");
    app.add_option("--name", options.name,
                   "Show your seats by this name: 1 to 8 letters, digits, '-' or '_'")
        ->type_name("NAME")
        ->check(CLI::Validator(
            [](const std::string& typed) {
                return isName(typed)
                           ? std::string()
                           : "'" + typed + "' is no name: 1 to 8 letters, digits, '-' or '_'";
            },
            ""));
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& failure) {
        std::ostringstream help;
        std::ostringstream error;
        app.exit(failure, help, error);
        if (failure.get_exit_code() == 0) {
            text = help.str();
            return NetOptionsRead::Help;
        }
        text = parseFailureText(failure);
        text = "pellaro-net: " + text + " (pellaro-net --help lists the options)";
        return NetOptionsRead::Bad;
    }
    if (!serverText.empty() || app.count("server") > 0) {
        const std::string refusal = readServer(serverText, options);
        if (!refusal.empty()) {
            text = "pellaro-net: " + refusal;
            return NetOptionsRead::Bad;
        }
    }
    return NetOptionsRead::Play;
}

} // namespace pellaro
