#pragma once

#include "figures.h"
#include "sim_results.h"

#include <string>
#include <string_view>

// The --json summary: the configuration, the deals covered, the report's
// figures, the integer counts they come from and, last, the timing. Apart
// from the timing it is a function of the configuration and the deals
// covered alone, byte for byte.
std::string summaryJson(const SimResults& results, const Figures& figures);

// Reads a summary back for merging; false, with the reason, when the text is
// not one this program wrote.
bool readSummaryJson(std::string_view text, SimResults& results, std::string& error);

// Whether two summaries come from the same configuration, so that their
// counts may be added.
bool sameConfiguration(const SimConfig& a, const SimConfig& b);
