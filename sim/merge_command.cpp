#include "commands.h"
#include "outputs.h"
#include "report_table.h"
#include "summary_json.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

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
// another run or counts deals already counted.
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
    addSummary(merged.summary, part.summary);
    merged.interrupted = merged.interrupted || part.interrupted;
    merged.timing.seconds += part.timing.seconds;
    ++merged.timing.mergedSummaries;
    return true;
}

} // namespace

int mergeCommand(const MergeOptions& options) {
    SimResults merged;
    std::string error;
    const bool added =
        std::all_of(options.summaries.begin(), options.summaries.end(),
                    [&](const std::string& path) { return addSummaryFile(merged, path, error); });
    if (!added) {
        reportFailure(error);
        return statusFailed;
    }
    ResultFiles files;
    if (!openResultFiles(files, options.json, options.svg, error)) {
        reportFailure(error);
        return statusFailed;
    }
    std::cout << reportTable(merged) << std::flush;
    if (!writeResultFiles(files, merged, error)) {
        reportFailure(error);
        return statusFailed;
    }
    return statusDone;
}
