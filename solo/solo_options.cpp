#include "solo_options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <limits>
#include <sstream>

namespace pellaro {

OptionsRead readSoloOptions(int argc, const char* const* argv, SoloOptions& options,
                            std::string& text) {
    CLI::App app{"The card game Pellaro against computer players.", "pellaro-solo"};
    // Read wider than the seed: CLI11 would wrap a negative seed round to a
    // huge one, where the range check turns it away.
    std::int64_t seed = 0;
    CLI::Option* seedOption =
        app.add_option("--seed", seed,
                       "Play the deal and computer players of this seed, 0 to 4294967295 "
                       "(default: from the clock)")
            ->type_name("N")
            ->check(CLI::Range(std::int64_t{0},
                               std::int64_t{std::numeric_limits<std::uint32_t>::max()}));
    std::string botText;
    CLI::Option* botOption =
        app.add_option("--bot", botText,
                       "Seat this bot in every computer seat instead of asking for a strength: "
                       "a built-in bot such as greedy or ismcts:5000, or exec:COMMAND for a "
                       "program that speaks the pellaro-bot protocol; its games are not recorded")
            ->type_name("BOT");
    app.add_flag("--stats", options.stats,
                 "Show your record from the results file, by strength and table size, and exit")
        ->excludes(seedOption)
        ->excludes(botOption);
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
        text = failure.what();
        std::replace(text.begin(), text.end(), '\n', ' ');
        text = "pellaro-solo: " + text + " (pellaro-solo --help lists the options)";
        return OptionsRead::Bad;
    }
    if (seedOption->count() > 0) {
        options.seed = static_cast<std::uint32_t>(seed);
    }
    if (botOption->count() > 0) {
        std::string refusal;
        options.bot = botNamed(botText, defaultBudget, &refusal);
        if (!refusal.empty()) {
            text = "pellaro-solo: --bot: " + refusal;
            return OptionsRead::Bad;
        }
        if (!options.bot || !options.bot->entry->fair) {
            text = "pellaro-solo: --bot: '" + botText +
                   "' is no bot that plays from its seat's view; name one of " + botNameList() +
                   " but clairvoyant, or exec:COMMAND";
            return OptionsRead::Bad;
        }
    }
    return OptionsRead::Play;
}

} // namespace pellaro
