#include "coverage.h"

#include <algorithm>
#include <iterator>
#include <numeric>

bool joinCoverage(Coverage& total, const Coverage& part) {
    Coverage joined = total;
    std::copy_if(part.begin(), part.end(), std::back_inserter(joined),
                 [](const DealRange& range) { return range.first < range.end; });
    std::sort(joined.begin(), joined.end(),
              [](const DealRange& a, const DealRange& b) { return a.first < b.first; });
    Coverage merged;
    for (const DealRange& range : joined) {
        if (!merged.empty() && range.first < merged.back().end) {
            return false;
        }
        if (!merged.empty() && range.first == merged.back().end) {
            merged.back().end = range.end;
        } else {
            merged.push_back(range);
        }
    }
    total = merged;
    return true;
}

bool coversAll(const Coverage& coverage, const SimConfig& config) {
    return coverage.size() == 1 && coverage[0].first == 0 && coverage[0].end == config.deals;
}

std::int64_t dealsCovered(const Coverage& coverage) {
    return std::accumulate(
        coverage.begin(), coverage.end(), std::int64_t{0},
        [](std::int64_t deals, const DealRange& range) { return deals + range.end - range.first; });
}

std::string coverageText(const Coverage& coverage) {
    if (coverage.empty()) {
        return "no deals";
    }
    std::string text = "deals ";
    for (std::size_t i = 0; i < coverage.size(); ++i) {
        if (i > 0) {
            text += i + 1 == coverage.size() ? " and " : ", ";
        }
        text += std::to_string(coverage[i].first) + " to " + std::to_string(coverage[i].end - 1);
    }
    return text;
}
