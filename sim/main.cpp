// pellaro-sim: the command line and its commands, run, sprt, tournament, merge, show and bot.
#include "protocol/bot_server.h"
#include "records.h"
#include "simulation.h"
#include "sprt.h"
#include "tournament.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <cassert>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace pellaro {

namespace {

// Every command ends with 0 when done, 2 after a one-line error on standard
// error, and 128 plus the signal's number when a signal cut a run short.
constexpr int statusDone = 0;
constexpr int statusFailed = 2;

constexpr std::int64_t mostGames = 1'000'000'000'000;
constexpr std::int32_t mostThreads = 1024;

// The one form every error takes: "pellaro-sim: " and the reason, one line.
// A word of the reason that echoes a huge argument is cut short, and so is
// a run of spaces.
int failed(const std::string& reason) {
    constexpr std::size_t longestWord = 60;
    std::string line;
    // Runs of spaces are kept as they are: a bot's command or output quoted
    // in the reason may hold them. Line ends become spaces: one line.
    for (std::size_t start = 0; start < reason.size();) {
        const bool spaces = std::isspace(static_cast<unsigned char>(reason[start])) != 0;
        std::size_t end = start;
        while (end < reason.size() &&
               (std::isspace(static_cast<unsigned char>(reason[end])) != 0) == spaces) {
            ++end;
        }
        std::string piece = reason.substr(start, end - start);
        if (spaces) {
            piece.resize(std::min(piece.size(), longestWord));
            std::replace_if(
                piece.begin(), piece.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
        } else if (piece.size() > longestWord) {
            piece.resize(longestWord - 3);
            piece += "...";
        }
        line += piece;
        start = end;
    }
    std::cerr << "pellaro-sim: " << line << std::endl;
    return statusFailed;
}

// The outputs of a run, in the order they are committed, each a file or "-"
// for standard output; a merge writes no records.
enum Output : std::uint8_t { jsonOutput, recordsOutput, svgOutput };
constexpr std::array<const char*, 3> outputOptions = {"--json", "--jsonl", "--svg"};
using OutputNames = std::array<std::string, 3>;

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
    OutputNames outputs;
    bool quiet = false;
    double botTimeout = 10.0;
    std::string botKey;
};

// Two outputs on one file would silently lose one of them; two on standard
// output would mix.
bool outputsApart(const OutputNames& names, std::string& error) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        for (std::size_t j = i + 1; j < names.size(); ++j) {
            if (!names[i].empty() && !names[j].empty() && sameOutput(names[i], names[j])) {
                error = std::string(outputOptions[i]) + " and " + outputOptions[j] +
                        " name the same file " + names[i] +
                        "; give each output a file of its own (at most one may be -)";
                return false;
            }
        }
    }
    return true;
}

bool openOutputs(const OutputNames& names, std::array<OutputFile, 3>& files, std::string& error) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!names[i].empty() && !files[i].open(names[i], error)) {
            return false;
        }
    }
    return true;
}

// The report, then the records, the summary and the chart, each built only
// when asked for. The report goes to standard error when an output takes
// standard output.
bool writeResults(const SimResults& results, const OutputNames& names,
                  std::array<OutputFile, 3>& files, std::string& error) {
    const Figures figures = figuresOf(results.config, results.summary);
    const bool piped = std::find(names.begin(), names.end(), "-") != names.end();
    (piped ? std::cerr : std::cout) << reportTable(results, figures) << std::flush;
    // The records were written while the games ran.
    const std::array<std::string (*)(const SimResults&, const Figures&), 3> texts = {
        summaryJson, nullptr, svgChart};
    for (const Output output : {recordsOutput, jsonOutput, svgOutput}) {
        OutputFile& file = files[output];
        if (file.isOpen() && texts[output] != nullptr) {
            file.write(texts[output](results, figures));
        }
        if (file.isOpen() && !file.commit(error)) {
            return false;
        }
    }
    return true;
}

// The report, then the summary and the chart, as for a run.
bool writeTournament(const Tournament& tournament, const OutputNames& names,
                     std::array<OutputFile, 3>& files, std::string& error) {
    const TournamentFigures figures = tournamentFigures(tournament);
    const bool piped = std::find(names.begin(), names.end(), "-") != names.end();
    (piped ? std::cerr : std::cout) << tournamentReport(tournament, figures) << std::flush;
    for (const Output output : {jsonOutput, svgOutput}) {
        OutputFile& file = files[output];
        if (file.isOpen()) {
            file.write(output == jsonOutput ? tournamentJson(tournament, figures)
                                            : tournamentChart(tournament, figures));
            if (!file.commit(error)) {
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

// The whole text as one number; from_chars alone would take a prefix.
template <typename Number>
bool wholeNumber(std::string_view text, Number& value) {
    const auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), value);
    return fault == std::errc{} && end == text.data() + text.size() && !text.empty();
}

bool readShard(RunOptions& run, std::string& error) {
    const std::string& text = run.shardText;
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos ||
        !wholeNumber(std::string_view(text).substr(0, slash), run.shard) ||
        !wholeNumber(std::string_view(text).substr(slash + 1), run.shardCount) || run.shard < 1 ||
        run.shard > run.shardCount) {
        error = "--shard wants K/N with 1 <= K <= N, such as 3/8, not '" + text + "'";
        return false;
    }
    return true;
}

// What CLI11 cannot check alone: the bots against the players, the shard and the seed.
bool checkRun(RunOptions& run, std::string& error) {
    SimConfig& config = run.config;
    if (!readBots(run, error) || !readShard(run, error)) {
        return false;
    }
    if (!wholeNumber(run.seed, config.seed)) {
        error = "--seed wants a number from 0 to 18446744073709551615, not '" + run.seed + "'";
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
    return outputsApart(run.outputs, error);
}

// An exec: bot's requests are seeded under a key: the one given, so that an
// earlier run plays again, or a fresh one. A run without one has no key.
bool readBotKey(RunOptions& run, std::string& error) {
    SimConfig& config = run.config;
    if (std::none_of(config.seats.begin(), config.seats.end(), isProgram)) {
        if (!run.botKey.empty()) {
            error = "--bot-key is for a run with an exec: bot, and --bots names none";
            return false;
        }
        return true;
    }
    config.botKey = run.botKey.empty() ? freshRequestKey() : keyFromText(run.botKey);
    return true;
}

// Shard k of count (1-based): contiguous, so that the shards' game records
// in shard order are the records of one run.
DealRange shardRange(std::int64_t deals, std::int32_t shard, std::int32_t shardCount) {
    // Products fit: deals stay far below 2^63 / shardCount.
    return DealRange{deals * (shard - 1) / shardCount, deals * shard / shardCount};
}

int runCommand(const RunOptions& options) {
    const SimConfig& config = options.config;
    std::array<OutputFile, 3> files;
    std::string error;
    if (!openOutputs(options.outputs, files, error)) {
        return failed(error);
    }
    setBotTimeLimit(std::chrono::milliseconds(std::llround(options.botTimeout * 1000)));
    catchStops();
    const DealRange range = shardRange(config.deals, options.shard, options.shardCount);
    ProgressBar progress =
        progressBar(!options.quiet, (range.end - range.first) * gamesPerDeal(config));
    const OutputFile& jsonl = files[recordsOutput];
    RecordsOut records{jsonl.stream(), false, 0};
    const SimResults results = runSimulation(config, range, options.threads,
                                             jsonl.isOpen() ? &records : nullptr, &progress);
    if (records.failed) {
        return failed("cannot write " + options.outputs[recordsOutput] + ": " +
                      std::strerror(records.reason));
    }
    if (!writeResults(results, options.outputs, files, error)) {
        return failed(error);
    }
    if (!results.botFailure.empty()) {
        return failed(results.botFailure);
    }
    return results.interrupted ? 128 + stopSignal() : statusDone;
}

// A file the command line names, read whole.
bool readWholeFile(const std::string& path, std::string& text, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream read;
    if (!file || !(read << file.rdbuf())) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    text = std::move(read).str();
    return true;
}

struct SprtOptions {
    RunOptions run;
    SprtSettings settings;
    std::int64_t gameLimit = 100000;
    // Given only when the command line names a limit.
    const CLI::Option* gameLimitGiven = nullptr;
    // A test's --json to go on with.
    std::string resume;
};

// The two bots, A and B, seated A first and B in every other seat; the
// margin must leave room above the fair share.
bool checkSprt(SprtOptions& options, std::string& error) {
    RunOptions& run = options.run;
    SimConfig& config = run.config;
    if (!outputsApart(run.outputs, error)) {
        return false;
    }
    if (!options.resume.empty()) {
        return true;
    }
    if (run.bots.empty()) {
        error = "--bots is required, unless --resume goes on with a test";
        return false;
    }
    if (!readBots(run, error)) {
        return false;
    }
    if (!wholeNumber(run.seed, config.seed)) {
        error = "--seed wants a number from 0 to 18446744073709551615, not '" + run.seed + "'";
        return false;
    }
    if (config.seats.size() != 2) {
        error = "--bots wants two bots, A and B, such as greedy,random, not " +
                std::to_string(config.seats.size());
        return false;
    }
    if (config.seats[0] == config.seats[1]) {
        error = "--bots names one bot twice; measure a bot against itself on another stream, "
                "as random,random:stream=1";
        return false;
    }
    config.players = run.players != 0 ? run.players : minPlayers;
    config.seats.resize(static_cast<std::size_t>(config.players), config.seats[1]);
    config.rotate = true;
    SprtSettings& settings = options.settings;
    settings.fair = 1.0 / config.players;
    if (settings.margin >= 1 - settings.fair) {
        error = printed("--margin must be below %g, what the fair share leaves at %d players",
                        1 - settings.fair, config.players);
        return false;
    }
    return readBotKey(run, error);
}

int sprtCommand(const SprtOptions& options) {
    const RunOptions& run = options.run;
    OutputFile json;
    std::string error;
    const std::string& jsonName = run.outputs[jsonOutput];
    SprtOutcome outcome = newSprt(run.config, options.settings, options.gameLimit);
    if (!options.resume.empty()) {
        std::string text;
        if (!readWholeFile(options.resume, text, error)) {
            return failed(error);
        }
        if (!readSprtJson(text, outcome, error)) {
            return failed(options.resume + ": " + error);
        }
        if (options.gameLimitGiven->count() > 0 &&
            !setSprtGameLimit(outcome, options.gameLimit, error)) {
            return failed("--games: " + error);
        }
    }
    // Opened once the test to go on with is read: it may be the same file.
    if (!jsonName.empty() && !json.open(jsonName, error)) {
        return failed(error);
    }
    setBotTimeLimit(std::chrono::milliseconds(std::llround(run.botTimeout * 1000)));
    catchStops();
    ProgressBar progress = progressBar(!run.quiet, outcome.gameLimit);
    playSprt(outcome, run.threads, &progress);
    (jsonName == "-" ? std::cerr : std::cout) << sprtReport(outcome) << std::flush;
    if (json.isOpen()) {
        json.write(sprtJson(outcome));
        if (!json.commit(error)) {
            return failed(error);
        }
    }
    if (!outcome.results.botFailure.empty()) {
        return failed(outcome.results.botFailure);
    }
    return outcome.results.interrupted ? 128 + stopSignal() : statusDone;
}

struct TournamentOptions {
    RunOptions run;
    bool gauntlet = false;
};

// The bots, each named once, the players, the shard and the seed.
bool checkTournament(TournamentOptions& options, std::string& error) {
    RunOptions& run = options.run;
    SimConfig& config = run.config;
    if (!readBots(run, error) || !readShard(run, error) || !outputsApart(run.outputs, error)) {
        return false;
    }
    if (!wholeNumber(run.seed, config.seed)) {
        error = "--seed wants a number from 0 to 18446744073709551615, not '" + run.seed + "'";
        return false;
    }
    const auto& bots = config.seats;
    if (bots.size() < 2) {
        error = "--bots wants two bots or more, such as greedy,random";
        return false;
    }
    for (auto bot = bots.begin(); bot != bots.end(); ++bot) {
        if (std::find(bots.begin(), bot, *bot) != bot) {
            error = "--bots names " + botName(*bot, config.budget) +
                    " twice; measure a bot against itself on another stream, as "
                    "random,random:stream=1";
            return false;
        }
    }
    config.players = run.players != 0 ? run.players : minPlayers;
    return readBotKey(run, error);
}

int tournamentCommand(const TournamentOptions& options) {
    const RunOptions& run = options.run;
    const SimConfig& config = run.config;
    std::array<OutputFile, 3> files;
    std::string error;
    if (!openOutputs(run.outputs, files, error)) {
        return failed(error);
    }
    TournamentConfig settings;
    settings.players = config.players;
    settings.bots = config.seats;
    settings.seed = config.seed;
    settings.deals = std::max<std::int64_t>(1, run.games / config.players);
    settings.budget = config.budget;
    settings.gauntlet = options.gauntlet;
    settings.botKey = config.botKey;
    setBotTimeLimit(std::chrono::milliseconds(std::llround(run.botTimeout * 1000)));
    catchStops();
    Tournament tournament = newTournament(settings);
    playTournament(tournament, shardRange(settings.deals, run.shard, run.shardCount), run.threads,
                   progressBar(!run.quiet, 1).enabled);
    if (!writeTournament(tournament, run.outputs, files, error)) {
        return failed(error);
    }
    if (!tournament.botFailure.empty()) {
        return failed(tournament.botFailure);
    }
    return tournament.interrupted ? 128 + stopSignal() : statusDone;
}

int mergeTournaments(const std::vector<std::string>& paths, const OutputNames& outputs) {
    Tournament merged;
    std::array<OutputFile, 3> files;
    std::string error;
    if (!outputsApart(outputs, error)) {
        return failed(error);
    }
    for (const std::string& path : paths) {
        std::string text;
        Tournament part;
        if (!readWholeFile(path, text, error)) {
            return failed(error);
        }
        if (!readTournamentJson(text, part, error) || !addTournament(merged, part, error)) {
            return failed(error.insert(0, path + ": "));
        }
    }
    return openOutputs(outputs, files, error) && writeTournament(merged, outputs, files, error)
               ? statusDone
               : failed(error);
}

// Adds one summary to the merge; false, with the reason, when it is of
// another run, contradicts itself or counts deals already counted.
bool addSummaryFile(SimResults& merged, const std::string& path, std::string& error) {
    std::string text;
    SimResults part;
    if (!readWholeFile(path, text, error)) {
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
                       "rotation, budget or bot key differ)";
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

int mergeCommand(const std::vector<std::string>& summaries, const OutputNames& outputs) {
    std::string first;
    std::string error;
    if (!readWholeFile(summaries.front(), first, error)) {
        return failed(error);
    }
    if (isTournamentJson(first)) {
        return mergeTournaments(summaries, outputs);
    }
    SimResults merged;
    std::array<OutputFile, 3> files;
    const bool done =
        outputsApart(outputs, error) &&
        std::all_of(summaries.begin(), summaries.end(),
                    [&](const std::string& path) { return addSummaryFile(merged, path, error); }) &&
        openOutputs(outputs, files, error) && writeResults(merged, outputs, files, error);
    return done ? statusDone : failed(error);
}

// Reads the file up to the record of the game. Lines in the writer's form say
// their game up front; the others are parsed to find out.
int showCommand(const std::string& path, std::int64_t game) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return failed("cannot read " + path + ": " + std::strerror(errno));
    }
    GameRecord record;
    std::string line;
    std::string error;
    std::int64_t lineNumber = 0;
    bool found = false;
    while (!found && error.empty() && std::getline(file, line)) {
        ++lineNumber;
        const std::int64_t leading = leadingGameNumber(line);
        if (leading < 0 || leading == game) {
            record = GameRecord{};
            found = parseRecord(line, record, error) && record.game == game;
        }
    }
    if (!error.empty()) {
        return failed(path + ", line " + std::to_string(lineNumber) + ": " + error);
    }
    if (!found) {
        return failed("no game " + std::to_string(game) + " in " + path);
    }
    if (!checkReplay(record, error)) {
        return failed(path + ", game " + std::to_string(game) + " does not replay: " + error);
    }
    showReplay(record);
    return statusDone;
}

// Refusals while serving are told word for word.
int refused(const std::string& reason) {
    std::cerr << "pellaro-sim: bot: " << reason << std::endl;
    return statusFailed;
}

// Serves a built-in bot that decides from its seat's view alone: one that
// reads the deck has none to read over the protocol.
int botCommand(const std::string& name, std::int32_t budget) {
    std::string error;
    const auto bot = botCalled(name, budget, error);
    if (!bot) {
        return failed("bot: " + error);
    }
    if (isProgram(*bot) || readsTheDeck(*bot)) {
        return failed("bot: " + name +
                      " cannot be served; name a built-in bot that decides from its seat's view");
    }
    std::string served;
    if (!serveBot(*bot, botName(*bot, budget), STDIN_FILENO, STDOUT_FILENO, served)) {
        return refused(served);
    }
    return statusDone;
}

// A number read whole that `fits` accepts; comparisons fail NaN, so it never
// fits. The refusal is `wants` and the text as given.
CLI::Validator numberWhere(bool (*fits)(double), const std::string& wants,
                           const std::string& typeName) {
    return {[fits, wants](const std::string& text) {
                double value = 0;
                return CLI::detail::lexical_cast(text, value) && fits(value)
                           ? std::string()
                           : wants + ", not '" + text + "'";
            },
            typeName};
}

// Seconds of a bot's time limit: a finite number, whole milliseconds in range.
const CLI::Validator botSeconds =
    numberWhere([](double seconds) { return seconds >= 0.001 && seconds <= 86400.0; },
                "wants seconds from 0.001 to 86400", "SECONDS");

// An output's name: a file, or "-" for standard output.
const CLI::Validator outputName(
    [](const std::string& name) {
        return name.empty() ? std::string("wants a file name, or - for standard output")
                            : std::string();
    },
    "FILE");

const CLI::Validator botKeyText(
    [](const std::string& text) {
        return keyFromText(text) ? std::string()
                                 : std::string("wants exactly 64 hex digits, as a run's --json "
                                               "gives its botKey");
    },
    "HEX");

// An output option of a command.
void addOutput(CLI::App* command, const char* name, std::string& file, const char* what) {
    command->add_option(name, file, what)->check(outputName);
}

// The budget and threads of a command that plays games.
void addPlayOptions(CLI::App* command, RunOptions& run) {
    command
        ->add_option("--budget", run.config.budget,
                     "Playouts or iterations per decision of the searching bots named without "
                     "a budget of their own (default 1000)")
        ->type_name("N")
        ->check(CLI::Range(1, mostBudget));
    command->add_option("--threads", run.threads, "Threads (default: one per core)")
        ->type_name("N")
        ->check(CLI::Range(1, mostThreads));
}

// The options of a command that plays exec: bots.
void addBotOptions(CLI::App* command, RunOptions& run) {
    command
        ->add_option("--bot-timeout", run.botTimeout,
                     "Seconds an exec: bot may take over one decision before the run stops "
                     "(default 10)")
        ->type_name("SECONDS")
        ->check(botSeconds);
    command
        ->add_option("--bot-key", run.botKey,
                     "Seed the exec: bots' requests under this key, the botKey of an earlier "
                     "run's --json, to play that run again (default: a fresh key)")
        ->type_name("HEX")
        ->check(botKeyText);
}

// A command of the command line: its subcommand, whose options it owns, and
// what runs it once they are parsed.
struct Command {
    CLI::App* line = nullptr;
    std::function<int()> run;
};

Command runCommandLine(CLI::App& app) {
    // Shared with the subcommand's options, which write into it while parsing.
    const auto run = std::make_shared<RunOptions>();
    run->threads = static_cast<std::int32_t>(std::max(1U, std::thread::hardware_concurrency()));
    CLI::App* command = app.add_subcommand("run", "Play games between bots and report");
    command
        ->add_option("--players", run->players,
                     "Players, 2 to 5 (default: as many as --bots names)")
        ->type_name("N");
    command
        ->add_option("--bots", run->bots,
                     "Bot of each seat, seat 1 first, separated by commas; one name for all "
                     "seats; a searching bot's own budget after a colon, as in montecarlo:200")
        ->type_name("LIST")
        ->required();
    command
        ->add_option("--games", run->games,
                     "Deals to play (default 1000); with --rotate each deal is played once "
                     "per rotation of the seats")
        ->type_name("N")
        ->check(CLI::Range(std::int64_t{1}, mostGames));
    command->add_option("--seed", run->seed, "Seed of the whole run (default 1)")->type_name("N");
    command->add_flag("--rotate", run->config.rotate,
                      "Play every deal in every cyclic rotation of the seats' bots");
    addPlayOptions(command, *run);
    command
        ->add_option("--shard", run->shardText,
                     "Play only shard K of N of the deals, for merging later (K/N)")
        ->type_name("K/N");
    addOutput(command, "--json", run->outputs[jsonOutput],
              "Write the summary as JSON to this file (- for standard output, the report then "
              "going to standard error)");
    addOutput(command, "--jsonl", run->outputs[recordsOutput],
              "Write every game's record to this file (- as for --json)");
    addOutput(command, "--svg", run->outputs[svgOutput],
              "Draw the results as SVG to this file (- as for --json)");
    command->add_flag("--quiet", run->quiet, "No progress line on standard error");
    addBotOptions(command, *run);
    return {command, [run] {
                std::string error;
                return checkRun(*run, error) && readBotKey(*run, error) ? runCommand(*run)
                                                                        : failed(error);
            }};
}

// A chance of error: above 0 and below one half.
const CLI::Validator errorRate = numberWhere([](double rate) { return rate > 0 && rate < 0.5; },
                                             "wants a chance above 0 and below 0.5", "P");

// A margin of win share: above 0; how far below 1 depends on the players.
const CLI::Validator shareMargin =
    numberWhere([](double margin) { return margin > 0 && margin < 1; },
                "wants a share above 0 and below 1", "SHARE");

Command sprtCommandLine(CLI::App& app) {
    const auto sprt = std::make_shared<SprtOptions>();
    RunOptions& run = sprt->run;
    run.threads = static_cast<std::int32_t>(std::max(1U, std::thread::hardware_concurrency()));
    CLI::App* command = app.add_subcommand(
        "sprt", "Play rotated deals until it is clear whether bot A beats bot B by a margin");
    CLI::Option* bots =
        command
            ->add_option("--bots", run.bots,
                         "Bots A and B, separated by a comma: A in seat 1, B in every other seat")
            ->type_name("A,B");
    command->add_option("--players", run.players, "Players, 2 to 5 (default 2)")
        ->type_name("N")
        ->check(CLI::Range(minPlayers, maxPlayers));
    command
        ->add_option("--margin", sprt->settings.margin,
                     "How much more than the fair share of wins makes A stronger (default 0.05)")
        ->type_name("SHARE")
        ->check(shareMargin);
    command
        ->add_option("--alpha", sprt->settings.alpha,
                     "Chance of calling A stronger when it is not (default 0.05)")
        ->type_name("P")
        ->check(errorRate);
    command
        ->add_option("--beta", sprt->settings.beta,
                     "Chance of missing A stronger by the margin (default 0.05)")
        ->type_name("P")
        ->check(errorRate);
    sprt->gameLimitGiven =
        command
            ->add_option("--games", sprt->gameLimit,
                         "Most games to play, in whole rotated deals, before giving up undecided "
                         "(default 100000)")
            ->type_name("N")
            ->check(CLI::Range(std::int64_t{1}, mostGames));
    command->add_option("--seed", run.seed, "Seed of the whole test (default 1)")->type_name("N");
    addPlayOptions(command, run);
    addOutput(command, "--json", run.outputs[jsonOutput],
              "Write the test's figures and verdict as JSON to this file (- for standard output, "
              "the report then going to standard error)");
    command->add_flag("--quiet", run.quiet, "No progress line on standard error");
    addBotOptions(command, run);
    // The test to go on with holds everything that decides its games.
    CLI::Option* resume =
        command
            ->add_option("--resume", sprt->resume,
                         "Go on with the test whose --json this file is, from where it stopped; "
                         "--games may raise its limit")
            ->type_name("FILE");
    for (const char* decides :
         {"--players", "--margin", "--alpha", "--beta", "--seed", "--budget", "--bot-key"}) {
        resume->excludes(command->get_option(decides));
    }
    resume->excludes(bots);
    return {command, [sprt] {
                std::string error;
                return checkSprt(*sprt, error) ? sprtCommand(*sprt) : failed(error);
            }};
}

Command tournamentCommandLine(CLI::App& app) {
    const auto tournament = std::make_shared<TournamentOptions>();
    RunOptions& run = tournament->run;
    run.threads = static_cast<std::int32_t>(std::max(1U, std::thread::hardware_concurrency()));
    run.games = 1000;
    CLI::App* command = app.add_subcommand(
        "tournament", "Rank bots by rating from every pairing played on the same deals");
    command
        ->add_option("--bots", run.bots,
                     "The bots, two or more, separated by commas, each named once")
        ->type_name("LIST")
        ->required();
    command->add_option("--players", run.players, "Players, 2 to 5 (default 2)")
        ->type_name("N")
        ->check(CLI::Range(minPlayers, maxPlayers));
    command->add_flag("--gauntlet", tournament->gauntlet,
                      "Every bot against the first alone, rather than every pairing");
    command
        ->add_option("--games", run.games,
                     "Games of each table, in whole rotated deals (default 1000)")
        ->type_name("N")
        ->check(CLI::Range(std::int64_t{1}, mostGames));
    command->add_option("--seed", run.seed, "Seed of the whole tournament (default 1)")
        ->type_name("N");
    addPlayOptions(command, run);
    command
        ->add_option("--shard", run.shardText,
                     "Play only shard K of N of every table's deals, for merging later (K/N)")
        ->type_name("K/N");
    addOutput(command, "--json", run.outputs[jsonOutput],
              "Write the ranking, the cross-table and every table's counts as JSON to this file "
              "(- for standard output, the report then going to standard error)");
    addOutput(command, "--svg", run.outputs[svgOutput],
              "Draw the ratings as SVG to this file (- as for --json)");
    command->add_flag("--quiet", run.quiet, "No progress line on standard error");
    addBotOptions(command, run);
    return {command, [tournament] {
                std::string error;
                return checkTournament(*tournament, error) ? tournamentCommand(*tournament)
                                                           : failed(error);
            }};
}

Command botCommandLine(CLI::App& app) {
    struct Served {
        std::string name;
        std::int32_t budget = defaultBudget;
    };
    const auto served = std::make_shared<Served>();
    CLI::App* command = app.add_subcommand(
        "bot", "Answer the pellaro-bot protocol on standard input and output as a built-in bot");
    command->add_option("name", served->name, "The bot, as --bots names it")
        ->type_name("BOT")
        ->required();
    command
        ->add_option("--budget", served->budget,
                     "Playouts or iterations per decision of a searching bot named without a "
                     "budget of its own (default 1000)")
        ->type_name("N")
        ->check(CLI::Range(1, mostBudget));
    return {command, [served] { return botCommand(served->name, served->budget); }};
}

Command mergeCommandLine(CLI::App& app) {
    struct Merge {
        std::vector<std::string> summaries;
        OutputNames outputs;
    };
    const auto merge = std::make_shared<Merge>();
    CLI::App* command = app.add_subcommand(
        "merge", "Add up the --json summaries of shards of one run or tournament");
    command
        ->add_option("summaries", merge->summaries,
                     "Summaries written by run --json, or by tournament --json")
        ->type_name("SUMMARY")
        ->required();
    addOutput(command, "--json", merge->outputs[jsonOutput],
              "Write the merged summary to this file (- as for run)");
    addOutput(command, "--svg", merge->outputs[svgOutput],
              "Draw the merged results as SVG to this file (- as for run)");
    return {command, [merge] { return mergeCommand(merge->summaries, merge->outputs); }};
}

Command showCommandLine(CLI::App& app) {
    struct Show {
        std::string records;
        std::int64_t game = 0;
    };
    const auto show = std::make_shared<Show>();
    CLI::App* command =
        app.add_subcommand("show", "Replay a recorded game move by move on the game's board");
    command->add_option("records", show->records, "Game records written by run --jsonl")
        ->type_name("RECORDS")
        ->required();
    command->add_option("--game", show->game, "Number of the game to show")
        ->type_name("N")
        ->required()
        ->check(CLI::NonNegativeNumber);
    return {command, [show] { return showCommand(show->records, show->game); }};
}

int commandLine(int argc, char** argv) {
    CLI::App app{"Games between computer players of Pellaro, measured.", "pellaro-sim"};
    app.require_subcommand(1, 1);
    // In the order the help lists them.
    const std::array commands = {runCommandLine(app),        sprtCommandLine(app),
                                 tournamentCommandLine(app), botCommandLine(app),
                                 mergeCommandLine(app),      showCommandLine(app)};
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
    // The parse requires exactly one command.
    const auto* const chosen =
        std::find_if(commands.begin(), commands.end(),
                     [](const Command& command) { return command.line->parsed(); });
    assert(chosen != commands.end());
    return chosen->run();
}

} // namespace

} // namespace pellaro

int main(int argc, char** argv) {
    using namespace pellaro;
    try {
        return commandLine(argc, argv);
    } catch (const std::exception& failure) {
        // Out of memory, or a library's surprise: still one line and status 2.
        return failed(failure.what());
    }
}
