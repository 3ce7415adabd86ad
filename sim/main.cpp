// pellaro-sim: the command line and its three commands, run, merge and show.
#include "bot_server.h"
#include "output_file.h"
#include "records.h"
#include "simulation.h"
#include "summary.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

namespace {

// Every command ends with 0 when done, 2 after a one-line error on standard
// error, and 128 plus the signal's number when a signal cut a run short.
constexpr int statusDone = 0;
constexpr int statusFailed = 2;

constexpr std::int64_t mostGames = 1'000'000'000'000;
constexpr std::int32_t mostThreads = 1024;

// The one form every error takes: "pellaro-sim: " and the reason, one line.
// A word of the reason that echoes a huge argument is cut short.
int failed(const std::string& reason) {
    constexpr std::size_t longestWord = 60;
    std::string line;
    std::istringstream words(reason);
    for (std::string word; words >> word;) {
        if (word.size() > longestWord) {
            word.resize(longestWord - 3);
            word += "...";
        }
        line += (line.empty() ? "" : " ") + word;
    }
    std::cerr << "pellaro-sim: " << line << std::endl;
    return statusFailed;
}

struct RunOptions {
    SimConfig config;
    std::int32_t players = 0;
    std::string bots;
    std::int64_t games = 1000;
    // Read as text: CLI11 would wrap a negative seed round to a huge one.
    std::string seed = "1";
    std::string shardText = "1/1";
    std::int32_t shard = 1;
    std::int32_t shardCount = 1;
    std::int32_t threads = 1;
    std::string json;
    std::string jsonl;
    std::string svg;
    bool quiet = false;
    double botTimeout = 10.0;
};

struct BotOptions {
    std::string name;
    std::int32_t budget = defaultBudget;
};

struct MergeOptions {
    std::vector<std::string> summaries;
    std::string json;
    std::string svg;
};

struct ShowOptions {
    std::string records;
    std::int64_t game = 0;
};

// An output's name: a file, or "-" for standard output.
const CLI::Validator outputName(
    [](const std::string& name) {
        return name.empty() ? std::string("wants a file name, or - for standard output")
                            : std::string();
    },
    "FILE");

// Two outputs on one file would silently lose one of them; two on standard
// output would mix.
bool outputsApart(const std::vector<std::pair<const char*, std::string>>& outputs,
                  std::string& error) {
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        for (std::size_t j = i + 1; j < outputs.size(); ++j) {
            const auto& [first, a] = outputs[i];
            const auto& [second, b] = outputs[j];
            if (!a.empty() && !b.empty() && sameOutput(a, b)) {
                error = std::string(first) + " and " + second + " name the same file " + a +
                        "; give each output a file of its own (at most one may be -)";
                return false;
            }
        }
    }
    return true;
}

bool readBots(RunOptions& run, std::string& error) {
    std::stringstream list(run.bots);
    std::string name;
    while (std::getline(list, name, ',')) {
        const auto bot = botCalled(name, run.config.budget, error);
        if (!bot) {
            error.insert(0, "--bots: ");
            return false;
        }
        run.config.seats.push_back(*bot);
    }
    if (run.config.seats.empty() || run.bots.back() == ',') {
        error = "--bots wants bot names separated by commas, such as greedy,random";
        return false;
    }
    return true;
}

bool readShard(RunOptions& run, std::string& error) {
    const std::string& text = run.shardText;
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

bool readSeed(RunOptions& run, std::string& error) {
    const std::string& text = run.seed;
    const char* end = text.data() + text.size();
    const auto [last, fault] = std::from_chars(text.data(), end, run.config.seed);
    if (fault != std::errc{} || last != end || text.empty()) {
        error = "--seed wants a number from 0 to 18446744073709551615, not '" + text + "'";
        return false;
    }
    return true;
}

// What CLI11 cannot check alone: the bots against the players, the shard and the seed.
bool checkRun(RunOptions& run, std::string& error) {
    SimConfig& config = run.config;
    if (!readBots(run, error) || !readShard(run, error) || !readSeed(run, error)) {
        return false;
    }
    config.players =
        run.players != 0 ? run.players : static_cast<std::int32_t>(config.seats.size());
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
    config.deals = run.games;
    return outputsApart({{"--json", run.json}, {"--jsonl", run.jsonl}, {"--svg", run.svg}}, error);
}

bool openOutputs(const std::vector<std::pair<OutputFile*, std::string>>& outputs,
                 std::string& error) {
    return std::all_of(outputs.begin(), outputs.end(), [&error](const auto& output) {
        return output.second.empty() || output.first->open(output.second, error);
    });
}

// The summary and the chart, each built only when asked for.
bool writeResults(OutputFile& json, OutputFile& svg, const SimResults& results,
                  const Figures& figures, std::string& error) {
    if (json.isOpen()) {
        json.write(summaryJson(results, figures));
        if (!json.commit(error)) {
            return false;
        }
    }
    if (svg.isOpen()) {
        svg.write(svgChart(results, figures));
        return svg.commit(error);
    }
    return true;
}

// The report goes to standard error when an output takes standard output.
std::ostream& reportStream(std::initializer_list<std::string> outputs) {
    const bool piped =
        std::any_of(outputs.begin(), outputs.end(), [](const auto& name) { return name == "-"; });
    return piped ? std::cerr : std::cout;
}

int runCommand(const RunOptions& options) {
    const SimConfig& config = options.config;
    OutputFile json;
    OutputFile jsonl;
    OutputFile svg;
    std::string error;
    if (!openOutputs({{&json, options.json}, {&jsonl, options.jsonl}, {&svg, options.svg}},
                     error)) {
        return failed(error);
    }

    setDecisionTimeLimit(std::chrono::milliseconds(std::llround(options.botTimeout * 1000)));
    catchStops();
    const DealRange range = shardRange(config.deals, options.shard, options.shardCount);
    ProgressBar progress =
        progressBar(!options.quiet, (range.end - range.first) * gamesPerDeal(config));
    RecordsOut records{jsonl.stream(), false, 0};
    const SimResults results = runSimulation(config, range, options.threads,
                                             jsonl.isOpen() ? &records : nullptr, &progress);
    if (records.failed) {
        return failed("cannot write " + options.jsonl + ": " + std::strerror(records.reason));
    }
    const Figures figures = figuresOf(config, results.summary);
    reportStream({options.json, options.jsonl, options.svg})
        << reportTable(results, figures) << std::flush;
    if ((jsonl.isOpen() && !jsonl.commit(error)) ||
        !writeResults(json, svg, results, figures, error)) {
        return failed(error);
    }
    if (!results.botFailure.empty()) {
        return failed(results.botFailure);
    }
    return results.interrupted ? 128 + stopSignal() : statusDone;
}

bool readFile(const std::string& path, std::string& text, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    if (!file || !(content << file.rdbuf())) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    text = content.str();
    return true;
}

// Adds one summary to the merge; false, with the reason, when it is of
// another run, contradicts itself or counts deals already counted.
bool addSummaryFile(SimResults& merged, const std::string& path, std::string& error) {
    std::string text;
    SimResults part;
    if (!readFile(path, text, error)) {
        return false;
    }
    if (!readSummaryJson(text, part, error)) {
        error = path + ": " + error;
        return false;
    }
    if (merged.timing.mergedSummaries == 0) {
        merged.config = part.config;
    } else if (!sameConfiguration(merged.config, part.config)) {
        error = path + " is a summary of another configuration (players, bots, seed, games, "
                       "rotation or budget differ)";
        return false;
    }
    if (!joinCoverage(merged.coverage, part.coverage)) {
        error = path + " counts deals that an earlier summary counts already";
        return false;
    }
    // Each summary's counts are bounded by its games, and the deals covered
    // by the run's, so that the sums cannot overflow.
    addSummary(merged.summary, part.summary);
    merged.interrupted = merged.interrupted || part.interrupted;
    merged.timing.seconds += part.timing.seconds;
    ++merged.timing.mergedSummaries;
    return true;
}

int mergeCommand(const MergeOptions& options) {
    SimResults merged;
    std::string error;
    if (!std::all_of(
            options.summaries.begin(), options.summaries.end(),
            [&](const std::string& path) { return addSummaryFile(merged, path, error); })) {
        return failed(error);
    }
    OutputFile json;
    OutputFile svg;
    if (!openOutputs({{&json, options.json}, {&svg, options.svg}}, error)) {
        return failed(error);
    }
    const Figures figures = figuresOf(merged.config, merged.summary);
    reportStream({options.json, options.svg}) << reportTable(merged, figures) << std::flush;
    return writeResults(json, svg, merged, figures, error) ? statusDone : failed(error);
}

enum class Search : std::uint8_t { Found, Absent, Malformed };

// Reads the file up to the record of the game. Lines in the writer's form say
// their game up front; the others are parsed to find out.
Search findRecord(std::istream& file, std::int64_t game, GameRecord& record, std::string& error) {
    std::string line;
    std::int64_t lineNumber = 0;
    while (std::getline(file, line)) {
        ++lineNumber;
        const std::int64_t leading = leadingGameNumber(line);
        if (leading >= 0 && leading != game) {
            continue;
        }
        record = GameRecord{};
        if (!parseRecord(line, record, error)) {
            error.insert(0, "line " + std::to_string(lineNumber) + ": ");
            return Search::Malformed;
        }
        if (record.game == game) {
            return Search::Found;
        }
    }
    return Search::Absent;
}

int showCommand(const ShowOptions& options) {
    std::ifstream file(options.records, std::ios::binary);
    if (!file) {
        return failed("cannot read " + options.records + ": " + std::strerror(errno));
    }
    const std::string game = "game " + std::to_string(options.game);
    GameRecord record;
    std::string error;
    switch (findRecord(file, options.game, record, error)) {
    case Search::Absent:
        return failed("no " + game + " in " + options.records);
    case Search::Malformed:
        return failed(options.records + ", " + error);
    case Search::Found:
        break;
    }
    if (!checkReplay(record, error)) {
        return failed(options.records + ", " + game + " does not replay: " + error);
    }
    showReplay(record);
    return statusDone;
}

// Serves a built-in bot that decides from its seat's view alone: one that
// reads the deck has none to read over the protocol.
int botCommand(const BotOptions& options) {
    std::string error;
    const auto bot = botCalled(options.name, options.budget, error);
    if (!bot) {
        return failed("bot: " + error);
    }
    if (isExternal(*bot) || readsTheDeck(*bot)) {
        return failed("bot: " + options.name +
                      " cannot be served; name a built-in bot that decides from its seat's view");
    }
    return serveBot(*bot, botName(*bot, options.budget));
}

int commandLine(int argc, char** argv) {
    CLI::App app{"Games between computer players of Pellaro, measured.", "pellaro-sim"};
    app.require_subcommand(1, 1);

    RunOptions run;
    run.threads = static_cast<std::int32_t>(std::max(1U, std::thread::hardware_concurrency()));
    CLI::App* runCommandLine = app.add_subcommand("run", "Play games between bots and report");
    runCommandLine
        ->add_option("--players", run.players, "Players, 2 to 5 (default: as many as --bots names)")
        ->type_name("N");
    runCommandLine
        ->add_option("--bots", run.bots,
                     "Bot of each seat, seat 1 first, separated by commas; one name for all "
                     "seats; a searching bot's own budget after a colon, as in montecarlo:200")
        ->type_name("LIST")
        ->required();
    runCommandLine
        ->add_option("--games", run.games,
                     "Deals to play (default 1000); with --rotate each deal is played once "
                     "per rotation of the seats")
        ->type_name("N")
        ->check(CLI::Range(std::int64_t{1}, mostGames));
    runCommandLine->add_option("--seed", run.seed, "Seed of the whole run (default 1)")
        ->type_name("N");
    runCommandLine->add_flag("--rotate", run.config.rotate,
                             "Play every deal in every cyclic rotation of the seats' bots");
    runCommandLine
        ->add_option("--budget", run.config.budget,
                     "Playouts or iterations per decision of the searching bots named without "
                     "a budget of their own (default 1000)")
        ->type_name("N")
        ->check(CLI::Range(1, mostBudget));
    runCommandLine->add_option("--threads", run.threads, "Threads (default: one per core)")
        ->type_name("N")
        ->check(CLI::Range(1, mostThreads));
    runCommandLine
        ->add_option("--shard", run.shardText,
                     "Play only shard K of N of the deals, for merging later (K/N)")
        ->type_name("K/N");
    runCommandLine
        ->add_option("--json", run.json,
                     "Write the summary as JSON to this file (- for "
                     "standard output, the report then going to standard "
                     "error)")
        ->check(outputName);
    runCommandLine
        ->add_option("--jsonl", run.jsonl,
                     "Write every game's record to this file (- as for --json)")
        ->check(outputName);
    runCommandLine
        ->add_option("--svg", run.svg, "Draw the results as SVG to this file (- as for --json)")
        ->check(outputName);
    runCommandLine->add_flag("--quiet", run.quiet, "No progress line on standard error");
    runCommandLine
        ->add_option("--bot-timeout", run.botTimeout,
                     "Seconds an exec: bot may take over one decision before the run stops "
                     "(default 10)")
        ->type_name("SECONDS")
        ->check(CLI::Range(0.001, 86400.0));

    BotOptions serve;
    CLI::App* botCommandLine = app.add_subcommand(
        "bot", "Answer the pellaro-bot protocol on standard input and output as a built-in bot");
    botCommandLine->add_option("name", serve.name, "The bot, as --bots names it")
        ->type_name("BOT")
        ->required();
    botCommandLine
        ->add_option("--budget", serve.budget,
                     "Playouts or iterations per decision of a searching bot named without a "
                     "budget of its own (default 1000)")
        ->type_name("N")
        ->check(CLI::Range(1, mostBudget));

    MergeOptions merge;
    CLI::App* mergeCommandLine =
        app.add_subcommand("merge", "Add up the --json summaries of shards of one run");
    mergeCommandLine->add_option("summaries", merge.summaries, "Summaries written by run --json")
        ->type_name("SUMMARY")
        ->required();
    mergeCommandLine
        ->add_option("--json", merge.json, "Write the merged summary to this file (- as for run)")
        ->check(outputName);
    mergeCommandLine
        ->add_option("--svg", merge.svg,
                     "Draw the merged results as SVG to this file (- as for run)")
        ->check(outputName);

    ShowOptions show;
    CLI::App* showCommandLine =
        app.add_subcommand("show", "Replay a recorded game move by move on the game's board");
    showCommandLine->add_option("records", show.records, "Game records written by run --jsonl")
        ->type_name("RECORDS")
        ->required();
    showCommandLine->add_option("--game", show.game, "Number of the game to show")
        ->type_name("N")
        ->required()
        ->check(CLI::NonNegativeNumber);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& failure) {
        if (failure.get_exit_code() == 0) {
            return app.exit(failure, std::cout, std::cerr);
        }
        std::string reason = failure.what();
        std::replace(reason.begin(), reason.end(), '\n', ' ');
        return failed(reason + " (pellaro-sim --help lists the commands)");
    }
    std::string error;
    if (runCommandLine->parsed()) {
        return checkRun(run, error) ? runCommand(run) : failed(error);
    }
    if (mergeCommandLine->parsed()) {
        return outputsApart({{"--json", merge.json}, {"--svg", merge.svg}}, error)
                   ? mergeCommand(merge)
                   : failed(error);
    }
    if (botCommandLine->parsed()) {
        return botCommand(serve);
    }
    return showCommand(show);
}

} // namespace

int main(int argc, char** argv) {
    try {
        return commandLine(argc, argv);
    } catch (const std::exception& failure) {
        // Out of memory, or a library's surprise: still one line and status 2.
        return failed(failure.what());
    }
}
