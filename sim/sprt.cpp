#include "sprt.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

namespace pellaro {

SprtBounds sprtBounds(const SprtSettings& settings) {
    const double alpha = settings.alpha;
    const double beta = settings.beta;
    return SprtBounds{std::log(beta / (1 - alpha)), std::log((1 - beta) / alpha)};
}

double sprtLlr(const SprtSettings& settings, const DealShares& shares) {
    if (shares.deals <= 0) {
        return 0;
    }
    const double low = settings.fair;
    const double high = settings.fair + settings.margin;
    const auto n = static_cast<double>(shares.deals);
    const double unit = static_cast<double>(shareUnit) * static_cast<double>(shares.gamesPerDeal);
    const double mean = static_cast<double>(shares.shareUnits) / unit / n;
    const double squares = static_cast<double>(shares.dealShareSquares) / (unit * unit);
    const double sampleVariance = shares.deals > 1 ? (squares - n * mean * mean) / (n - 1) : 0.0;
    // A few deals may all be alike by chance: the spread is taken as no less
    // than one more deal at the hypotheses' middle share would add, so that
    // equal deals do not decide at once.
    const double middle = (low + high) / 2;
    const double variance = std::max(sampleVariance, middle * (1 - middle) / (n + 1));
    return n * (high - low) * (2 * mean - low - high) / (2 * variance);
}

SprtVerdict sprtVerdict(double llr, const SprtBounds& bounds) {
    if (llr >= bounds.upper) {
        return SprtVerdict::stronger;
    }
    return llr <= bounds.lower ? SprtVerdict::notStronger : SprtVerdict::undecided;
}

DealShares dealSharesOf(const Summary& summary, std::int64_t gamesPerDeal) {
    const Tally& a = summary.bots[0];
    return DealShares{gamesPerDeal, summary.deals, a.shareUnits, a.dealShareSquares};
}

namespace {

void showProgress(ProgressBar& bar, std::int64_t games, double llr, const SprtBounds& bounds) {
    if (!bar.enabled) {
        return;
    }
    std::fprintf(stderr, "\r%lld/%lld games  LLR %.3f  (bounds %.3f, %.3f) ",
                 static_cast<long long>(games), static_cast<long long>(bar.totalGames), llr,
                 bounds.lower, bounds.upper);
    std::fflush(stderr);
    bar.shown = true;
}

} // namespace

SprtOutcome newSprt(const SimConfig& config, const SprtSettings& settings, std::int64_t gameLimit) {
    SprtOutcome outcome;
    outcome.settings = settings;
    outcome.gameLimit = gameLimit;
    outcome.results.config = config;
    outcome.results.config.deals = std::max<std::int64_t>(1, gameLimit / gamesPerDeal(config));
    return outcome;
}

void playSprt(SprtOutcome& outcome, std::int32_t threads, ProgressBar* progress) {
    SimResults& total = outcome.results;
    const SimConfig& config = total.config;
    const std::int64_t perDeal = gamesPerDeal(config);
    const SprtBounds bounds = sprtBounds(outcome.settings);
    std::int64_t done = total.summary.deals;
    total.interrupted = false;
    while (done < config.deals && outcome.verdict == SprtVerdict::undecided) {
        // Batches end on multiples of the batch, wherever the test resumed.
        const std::int64_t end =
            std::min(config.deals, (done / sprtBatchDeals + 1) * sprtBatchDeals);
        const SimResults part =
            runSimulation(config, DealRange{done, end}, threads, nullptr, nullptr);
        addSummary(total.summary, part.summary);
        total.timing.seconds += part.timing.seconds;
        total.timing.threads = threads;
        done += part.summary.deals;
        outcome.llr = sprtLlr(outcome.settings, dealSharesOf(total.summary, perDeal));
        if (progress != nullptr) {
            showProgress(*progress, total.summary.games, outcome.llr, bounds);
        }
        if (part.interrupted) {
            total.interrupted = true;
            total.botFailure = part.botFailure;
            break;
        }
        outcome.verdict = sprtVerdict(outcome.llr, bounds);
    }
    total.coverage.clear();
    if (done > 0) {
        total.coverage.push_back(DealRange{0, done});
    }
    if (progress != nullptr) {
        endProgress(*progress);
    }
}

bool setSprtGameLimit(SprtOutcome& outcome, std::int64_t gameLimit, std::string& error) {
    SimResults& results = outcome.results;
    const std::int64_t deals = std::max<std::int64_t>(1, gameLimit / gamesPerDeal(results.config));
    if (deals < results.summary.deals) {
        error = "the test has played " + std::to_string(results.summary.games) +
                " games already, more than " + std::to_string(gameLimit) + " allow";
        return false;
    }
    outcome.gameLimit = gameLimit;
    results.config.deals = deals;
    return true;
}

namespace {

struct Names {
    std::string a;
    std::string b;
};

Names namesOf(const SimConfig& config) {
    return Names{botName(config.seats[0], config.budget), botName(config.seats[1], config.budget)};
}

std::string verdictLine(const SprtOutcome& outcome) {
    const Names names = namesOf(outcome.results.config);
    const std::string margin = printed("%g", outcome.settings.margin);
    switch (outcome.verdict) {
    case SprtVerdict::stronger:
        return "H1 accepted: " + names.a + " is stronger than " + names.b + " by at least " +
               margin;
    case SprtVerdict::notStronger:
        return "H0 accepted: " + names.a + " is not stronger than " + names.b + " by " + margin;
    case SprtVerdict::undecided:
        break;
    }
    return "undecided after " + std::to_string(outcome.results.summary.games) + " games";
}

const char* verdictKey(SprtVerdict verdict) {
    switch (verdict) {
    case SprtVerdict::stronger:
        return "H1";
    case SprtVerdict::notStronger:
        return "H0";
    case SprtVerdict::undecided:
        break;
    }
    return "undecided";
}

} // namespace

std::string sprtReport(const SprtOutcome& outcome) {
    const SimResults& results = outcome.results;
    const SimConfig& config = results.config;
    const SprtSettings& settings = outcome.settings;
    const Names names = namesOf(config);
    const TallyFigures a = figuresOf(config, results.summary).bots[0];
    const SprtBounds bounds = sprtBounds(settings);
    std::string text = "Sequential test: is " + names.a + " stronger than " + names.b + "?\n";
    text += printed("  Players %d (%s in seat 1, %s in the others), every deal rotated\n",
                    config.players, names.a.c_str(), names.b.c_str());
    text += printed("  H0: %s's win share %.4f (fair)   H1: %.4f (margin %g)\n", names.a.c_str(),
                    settings.fair, settings.fair + settings.margin, settings.margin);
    text += printed("  Error rates: alpha %g, beta %g\n", settings.alpha, settings.beta);
    text += printed("  Played %lld deals, %lld games (limit %lld)%s\n",
                    static_cast<long long>(results.summary.deals),
                    static_cast<long long>(results.summary.games),
                    static_cast<long long>(outcome.gameLimit),
                    results.interrupted ? ", stopped early" : "");
    text += printed("  %s's win share %.4f", names.a.c_str(), a.winShare);
    text += a.winInterval ? printed(" (95 %% interval %.4f to %.4f)\n", a.winInterval->low,
                                    a.winInterval->high)
                          : std::string(" (no interval from one deal)\n");
    text += printed("  LLR %.3f, bounds %.3f and %.3f\n", outcome.llr, bounds.lower, bounds.upper);
    return text + verdictLine(outcome) + "\n";
}

namespace {

// The run's summary, all of it but how long it took.
nlohmann::json runWithoutTiming(const SimResults& results) {
    nlohmann::json run =
        nlohmann::json::parse(summaryJson(results, figuresOf(results.config, results.summary)));
    run.erase("timing");
    return run;
}

} // namespace

std::string sprtJson(const SprtOutcome& outcome) {
    using Json = nlohmann::json;
    const SimResults& results = outcome.results;
    const SimConfig& config = results.config;
    const SprtSettings& settings = outcome.settings;
    const Names names = namesOf(config);
    const Tally& a = results.summary.bots[0];
    const TallyFigures figures = figuresOf(config, results.summary).bots[0];
    const SprtBounds bounds = sprtBounds(settings);
    Json configuration{{"players", config.players},
                       {"bots", Json::array({names.a, names.b})},
                       {"seed", config.seed},
                       {"gamesPerDeal", gamesPerDeal(config)},
                       {"budget", config.budget},
                       {"margin", settings.margin},
                       {"alpha", settings.alpha},
                       {"beta", settings.beta},
                       {"gameLimit", outcome.gameLimit},
                       {"batchDeals", sprtBatchDeals}};
    if (config.botKey) {
        configuration["botKey"] = keyText(*config.botKey);
    }
    Json interval = nullptr;
    if (figures.winInterval) {
        interval = Json{{"low", figures.winInterval->low}, {"high", figures.winInterval->high}};
    }
    const Json json{
        {"program", "pellaro-sim"},
        {"command", "sprt"},
        {"configuration", configuration},
        {"sums",
         {{"deals", results.summary.deals},
          {"games", results.summary.games},
          {"shareUnits", a.shareUnits},
          {"dealShareSquares", a.dealShareSquares}}},
        {"winShare", figures.winShare},
        {"winInterval", interval},
        {"llr", outcome.llr},
        {"bounds", {{"lower", bounds.lower}, {"upper", bounds.upper}}},
        {"verdict", verdictKey(outcome.verdict)},
        {"interrupted", results.interrupted},
        {"run", runWithoutTiming(results)},
    };
    return json.dump(2) + "\n";
}

namespace {

// The test's own settings as the command line would check them.
bool settingsHold(const SprtSettings& settings) {
    return settings.margin > 0 && settings.margin < 1 - settings.fair && settings.alpha > 0 &&
           settings.alpha < 0.5 && settings.beta > 0 && settings.beta < 0.5;
}

// A against B: rotated, B in every seat but the first, and B not A.
bool seatedForTest(const SimConfig& config) {
    const auto& seats = config.seats;
    return config.rotate && seats.size() >= 2 && seats[0] != seats[1] &&
           std::all_of(seats.begin() + 1, seats.end(),
                       [&seats](const BotSettings& bot) { return bot == seats[1]; });
}

} // namespace

bool readSprtJson(std::string_view text, SprtOutcome& outcome, std::string& error) {
    using Json = nlohmann::json;
    constexpr std::int64_t mostGames = 1'000'000'000'000;
    const Json json = Json::parse(text, nullptr, false);
    const auto says = [&json](const char* key, const char* value) {
        return json.contains(key) && json[key] == value;
    };
    if (!json.is_object() || !says("program", "pellaro-sim") || !says("command", "sprt") ||
        !json.contains("run")) {
        error = "not a test written by pellaro-sim sprt --json";
        return false;
    }
    SprtOutcome read;
    if (!readSummaryJson(json["run"].dump(), read.results, error)) {
        error = "the test's run: " + error;
        return false;
    }
    SimResults& results = read.results;
    const Coverage& coverage = results.coverage;
    try {
        const Json& configuration = json.at("configuration");
        configuration.at("margin").get_to(read.settings.margin);
        configuration.at("alpha").get_to(read.settings.alpha);
        configuration.at("beta").get_to(read.settings.beta);
        read.gameLimit = configuration.at("gameLimit").get<std::int64_t>();
        read.settings.fair = 1.0 / results.config.players;
        if (configuration.at("batchDeals") != sprtBatchDeals || !settingsHold(read.settings) ||
            read.gameLimit < 1 || read.gameLimit > mostGames ||
            results.config.deals !=
                std::max<std::int64_t>(1, read.gameLimit / gamesPerDeal(results.config))) {
            throw std::invalid_argument("configuration");
        }
    } catch (const std::exception&) {
        error = "the test's configuration is malformed";
        return false;
    }
    if (!seatedForTest(results.config) || coverage.size() > 1 ||
        (coverage.size() == 1 && coverage[0].first != 0)) {
        error = "the test's run is not one bot against another over its first deals";
        return false;
    }
    const std::int64_t done = results.summary.deals;
    read.llr = sprtLlr(read.settings, dealSharesOf(results.summary, gamesPerDeal(results.config)));
    // A verdict stands only where the test looks at it.
    if (done > 0 && (done % sprtBatchDeals == 0 || done == results.config.deals)) {
        read.verdict = sprtVerdict(read.llr, sprtBounds(read.settings));
    }
    results.interrupted = false;
    outcome = read;
    return true;
}

} // namespace pellaro
