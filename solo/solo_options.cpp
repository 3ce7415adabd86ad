#include "solo_options.h"

#include "wrapped_help.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

namespace pellaro {

namespace {

// A seed as a person types one: decimal digits alone, no sign, no 0x.
std::optional<std::uint32_t> seedOf(const std::string& text) {
    if (text.empty() || text.size() > 10 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const std::uint64_t value = std::stoull(text);
    if (value > std::numeric_limits<std::uint32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

} // namespace

OptionsRead readSoloOptions(int argc, const char* const* argv, SoloOptions& options,
                            std::string& text) {
    CLI::App app{"The card game Pellaro against computer players.", "pellaro-solo"};
    app.formatter(std::make_shared<WrappedHelp>());
    std::string seedText;
    CLI::Option* seedOption =
        app.add_option("--seed", seedText,
                       "Play the deal and computer players of this seed, a whole number from 0 "
                       "to 4294967295 (default: from the clock)")
            ->type_name("N")
            ->check(CLI::Validator(
                [](const std::string& typed) {
                    return seedOf(typed) ? std::string()
                                         : "'" + typed +
                                               "' is no seed: seeds are whole numbers from 0 to "
                                               "4294967295";
                },
                ""));
    CLI::Option* botOption =
        app.add_option("--bot", options.botText,
                       "Seat this bot in every computer seat instead of asking for a strength: "
                       "a built-in bot such as greedy or ismcts:5000, or exec:COMMAND for a "
                       "program that speaks the pellaro-bot protocol; its games are not recorded")
            ->type_name("BOT");
    CLI::Option* resumeOption =
        app.add_flag("--resume", options.resume,
                     "List the games you saved (with S or Ctrl-C at a question) and continue "
                     "one where it stopped")
            ->excludes(seedOption)
            ->excludes(botOption);
    app.add_flag("--stats", options.stats,
                 "Show your record from the results file, by strength and table size, and exit")
        ->excludes(seedOption)
        ->excludes(botOption)
        ->excludes(resumeOption);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& failure) {
        std::ostringstream help;
        std::ostringstream error;
        app.exit(failure, help, error);
        if (failure.get_exit_code() == 0) {
            text = help.str();
            return OptionsRead::Help;
        }
        text = parseFailureText(failure);
        text = "pellaro-solo: " + text + " (pellaro-solo --help lists the options)";
        return OptionsRead::Bad;
    }
    if (seedOption->count() > 0) {
        options.seed = seedOf(seedText);
    }
    if (botOption->count() > 0) {
        std::string refusal;
        options.bot = botNamed(options.botText, defaultBudget, &refusal);
        if (!refusal.empty()) {
            text = "pellaro-solo: --bot: " + refusal;
            return OptionsRead::Bad;
        }
        if (!options.bot || !options.bot->entry->fair) {
            text = "pellaro-solo: --bot: '" + options.botText +
                   "' is no bot that plays from its seat's view; name one of " + botNameList() +
                   " but clairvoyant, or exec:COMMAND";
            return OptionsRead::Bad;
        }
    }
    return OptionsRead::Play;
}

} // namespace pellaro
