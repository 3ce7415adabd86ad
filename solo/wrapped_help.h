#pragma once

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstddef>
#include <sstream>
#include <string>

namespace pellaro {

inline constexpr std::size_t helpWidth = 80;
inline constexpr std::size_t descriptionIndent = 6;

// Each option on a line of its own and what it does below it, wrapped at
// the terminal's usual 80 columns, as a manual page shows options.
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

    // The value's name alone: which options exclude which is told when
    // they are given together.
    std::string make_option_opts(const CLI::Option* option) const override {
        const std::string value = option->get_type_name();
        return value.empty() ? value : ' ' + value;
    }
};

// What a refused command line is told in one line. An option given without
// its value is "--seed needs a value": CLI11 says "--seed: 1 required N
// missing", which is its own jargon.
inline std::string parseFailureText(const CLI::ParseError& failure) {
    std::string text = failure.what();
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&failure) != nullptr) {
        text.resize(std::min(text.find(':'), text.size()));
        text += " needs a value";
    }
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

} // namespace pellaro
