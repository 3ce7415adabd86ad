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

SprtOutcome playSprt(const SimConfig& config, const SprtSettings& settings, std::int64_t gameLimit,
                     std::int32_t threads, ProgressBar* progress) {
    SprtOutcome outcome;
    outcome.settings = settings;
    outcome.gameLimit = gameLimit;
    SimResults& total = outcome.results;
    total.config = config;
    const std::int64_t perDeal = gamesPerDeal(config);
    const std::int64_t dealLimit = std::max<std::int64_t>(1, gameLimit / perDeal);
    total.config.deals = dealLimit;
    const SprtBounds bounds = sprtBounds(settings);
    std::int64_t done = 0;
    while (done < dealLimit && outcome.verdict == SprtVerdict::undecided) {
        const DealRange batch{done, std::min(dealLimit, done + sprtBatchDeals)};
        const SimResults part = runSimulation(config, batch, threads, nullptr, nullptr);
        addSummary(total.summary, part.summary);
        total.timing.seconds += part.timing.seconds;
        total.timing.threads = threads;
        done += part.summary.deals;
        outcome.llr = sprtLlr(settings, dealSharesOf(total.summary, perDeal));
        outcome.verdict = sprtVerdict(outcome.llr, bounds);
        if (progress != nullptr) {
            showProgress(*progress, total.summary.games, outcome.llr, bounds);
        }
        if (part.interrupted) {
            total.interrupted = true;
            total.botFailure = part.botFailure;
            break;
        }
    }
    if (done > 0) {
        total.coverage.push_back(DealRange{0, done});
    }
    if (progress != nullptr) {
        endProgress(*progress);
    }
    return outcome;
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
    };
    return json.dump(2) + "\n";
}

} // namespace pellaro
