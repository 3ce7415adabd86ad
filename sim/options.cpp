#include "options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <sstream>
#include <thread>

namespace {

constexpr std::int64_t mostGames = 1'000'000'000'000;
constexpr std::int32_t mostThreads = 1024;

// The raw text of the run's options, checked once CLI11 has read them.
struct RunText {
    std::int32_t players = 0;
    std::string bots;
    std::int64_t games = 1000;
    std::string shard = "1/1";
    // Read as text: CLI11 would wrap a negative seed round to a huge one.
    std::string seed = "1";
};

std::string oneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

bool readBots(const std::string& text, std::int32_t budget, std::vector<BotSettings>& bots,
              std::string& error) {
    std::stringstream list(text);
    std::string name;
    while (std::getline(list, name, ',')) {
        const auto settings = botNamed(name, budget);
        if (settings) {
            bots.push_back(*settings);
        } else if (botEntryNamed(name.substr(0, name.find(':'))) == nullptr) {
            error = "unknown bot '" + name + "' in --bots; the bots are " + botNameList();
            return false;
        } else {
            error = "bad budget in '" + name +
                    "' in --bots; a searching bot may take one from 1 to 10^8, as in "
                    "montecarlo:200, and settings such as ismcts:5000:exploration=0.3; "
                    "the others none";
            return false;
        }
    }
    if (bots.empty() || (!text.empty() && text.back() == ',')) {
        error = "--bots wants bot names separated by commas, such as greedy,random";
        return false;
    }
    return true;
}

bool readShard(const std::string& text, RunOptions& run, std::string& error) {
    const char* end = text.data() + text.size();
    auto [slash, fault] = std::from_chars(text.data(), end, run.shard);
    if (fault == std::errc{} && slash != end && *slash == '/') {
        const auto [last, countFault] = std::from_chars(slash + 1, end, run.shardCount);
        if (countFault == std::errc{} && last == end && run.shardCount >= 1 && run.shard >= 1 &&
            run.shard <= run.shardCount) {
            return true;
        }
    }
    error = "--shard wants K/N with 1 <= K <= N, such as 3/8, not '" + text + "'";
    return false;
}

bool readSeed(const std::string& text, std::uint64_t& seed, std::string& error) {
    const char* end = text.data() + text.size();
    const auto [last, fault] = std::from_chars(text.data(), end, seed);
    if (fault != std::errc{} || last != end || text.empty()) {
        error = "--seed wants a number from 0 to 18446744073709551615, not '" + text + "'";
        return false;
    }
    return true;
}

bool checkRun(const RunText& text, RunOptions& run, std::string& error) {
    SimConfig& config = run.config;
    // Read first: the bots named without a budget search on this one.
    if (config.budget < 1 || config.budget > mostBudget) {
        error = "--budget must be from 1 to 10^8, not " + std::to_string(config.budget);
        return false;
    }
    if (!readBots(text.bots, config.budget, config.seats, error) ||
        !readShard(text.shard, run, error) || !readSeed(text.seed, config.seed, error)) {
        return false;
    }
    config.players =
        text.players != 0 ? text.players : static_cast<std::int32_t>(config.seats.size());
    if (config.players < minPlayers || config.players > maxPlayers) {
        error = "the players must be from 2 to 5, not " + std::to_string(config.players);
        return false;
    }
    if (config.seats.size() == 1) {
        config.seats.assign(static_cast<std::size_t>(config.players), config.seats.front());
    }
    if (config.seats.size() != static_cast<std::size_t>(config.players)) {
        error = "--bots names " + std::to_string(config.seats.size()) + " bots for " +
                std::to_string(config.players) +
                " players; name one bot per seat, or one bot for every seat";
        return false;
    }
    if (text.games < 1 || text.games > mostGames) {
        error = "--games must be from 1 to 10^12, not " + std::to_string(text.games);
        return false;
    }
    config.deals = text.games;
    if (run.threads < 1 || run.threads > mostThreads) {
        error = "--threads must be from 1 to 1024, not " + std::to_string(run.threads);
        return false;
    }
    return true;
}

} // namespace

bool parseOptions(int argc, const char* const* argv, Options& options, std::string& error) {
    CLI::App app{"Games between computer players of Pellaro, measured.", "pellaro-sim"};
    app.require_subcommand(1, 1);

    RunText runText;
    RunOptions& run = options.run;
    run.threads = static_cast<std::int32_t>(std::max(1U, std::thread::hardware_concurrency()));
    CLI::App* runCommand = app.add_subcommand("run", "Play games between bots and report");
    runCommand
        ->add_option("--players", runText.players,
                     "Players, 2 to 5 (default: as many as --bots names)")
        ->type_name("N");
    runCommand
        ->add_option("--bots", runText.bots,
                     "Bot of each seat, seat 1 first, separated by commas; one name for all "
                     "seats; a searching bot's own budget after a colon, as in montecarlo:200")
        ->type_name("LIST")
        ->required();
    runCommand
        ->add_option("--games", runText.games,
                     "Deals to play (default 1000); with --rotate each deal is played once "
                     "per rotation of the seats")
        ->type_name("N");
    runCommand->add_option("--seed", runText.seed, "Seed of the whole run (default 1)")
        ->type_name("N");
    runCommand->add_flag("--rotate", run.config.rotate,
                         "Play every deal in every cyclic rotation of the seats' bots");
    runCommand
        ->add_option("--budget", run.config.budget,
                     "Playouts or iterations per decision of the searching bots named without "
                     "a budget of their own (default 1000)")
        ->type_name("N");
    runCommand->add_option("--threads", run.threads, "Threads (default: one per core)")
        ->type_name("N");
    runCommand
        ->add_option("--shard", runText.shard,
                     "Play only shard K of N of the deals, for merging later (K/N)")
        ->type_name("K/N");
    runCommand->add_option("--json", run.json, "Write the summary as JSON to this file")
        ->type_name("FILE");
    runCommand->add_option("--jsonl", run.jsonl, "Write every game's record to this file")
        ->type_name("FILE");
    runCommand->add_option("--svg", run.svg, "Draw the results as SVG to this file")
        ->type_name("FILE");
    runCommand->add_flag("--quiet", run.quiet, "No progress line on standard error");

    MergeOptions& merge = options.merge;
    CLI::App* mergeCommand =
        app.add_subcommand("merge", "Add up the --json summaries of shards of one run");
    mergeCommand->add_option("summaries", merge.summaries, "Summaries written by run --json")
        ->type_name("SUMMARY")
        ->required();
    mergeCommand->add_option("--json", merge.json, "Write the merged summary to this file")
        ->type_name("FILE");
    mergeCommand->add_option("--svg", merge.svg, "Draw the merged results as SVG to this file")
        ->type_name("FILE");

    ShowOptions& show = options.show;
    CLI::App* showCommand =
        app.add_subcommand("show", "Replay a recorded game move by move on the game's board");
    showCommand->add_option("records", show.records, "Game records written by run --jsonl")
        ->type_name("RECORDS")
        ->required();
    showCommand->add_option("--game", show.game, "Number of the game to show")
        ->type_name("N")
        ->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& failure) {
        if (failure.get_exit_code() == 0) {
            std::ostringstream help;
            std::ostringstream ignored;
            app.exit(failure, help, ignored);
            options.command = Command::Help;
            options.helpText = help.str();
            return true;
        }
        error = oneLine(failure.what()) + " (pellaro-sim --help lists the commands)";
        return false;
    }
    if (runCommand->parsed()) {
        options.command = Command::Run;
        return checkRun(runText, run, error);
    }
    if (mergeCommand->parsed()) {
        options.command = Command::Merge;
        return true;
    }
    options.command = Command::Show;
    if (show.game < 0) {
        error = "--game must be 0 or more, not " + std::to_string(show.game);
        return false;
    }
    return true;
}
