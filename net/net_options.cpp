#include "net_options.h"

#include "line_text.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>
#include <sstream>

namespace pellaro {

namespace {

constexpr std::size_t helpWidth = 80;
constexpr std::size_t descriptionIndent = 6;

// Each option on a line of its own and what it does below it, wrapped at
// the terminal's usual 80 columns, as pellaro-solo's help is.
class WrappedHelp : public CLI::Formatter {
public:
    std::string make_option(const CLI::Option* option, bool positional) const override {
        std::string text = "  " + make_option_name(option, positional) + make_option_opts(option);
        text += '\n';
        std::string line(descriptionIndent, ' ');
        std::istringstream words(make_option_desc(option));
        std::string word;
        while (words >> word) {
            if (line.size() > descriptionIndent && line.size() + 1 + word.size() > helpWidth) {
                text += line + '\n';
                line.assign(descriptionIndent, ' ');
            }
            line += (line.size() > descriptionIndent ? " " : "") + word;
        }
        return text + line + '\n';
    }

    std::string make_option_opts(const CLI::Option* option) const override {
        const std::string value = option->get_type_name();
        return value.empty() ? value : ' ' + value;
    }
};

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
        text = dynamic_cast<const CLI::ArgumentMismatch*>(&failure) != nullptr
                   ? "--name needs a value"
                   : failure.what();
        std::replace(text.begin(), text.end(), '\n', ' ');
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
