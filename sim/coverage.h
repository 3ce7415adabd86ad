#pragma once

#include "sim_config.h"

#include <string>
#include <vector>

// The deals a summary counts, as ranges in ascending order, none touching
// another: a whole run is one range, the shards of a run merged so far are
// as few ranges as they can be.
using Coverage = std::vector<DealRange>;

// Adds the part's deals; false, leaving `total` unchanged, when a deal would
// be counted twice.
bool joinCoverage(Coverage& total, const Coverage& part);

// Whether the coverage is every deal of the configuration, 0 to deals - 1.
bool coversAll(const Coverage& coverage, const SimConfig& config);

std::int64_t dealsCovered(const Coverage& coverage);

// "deals 0 to 249 and 500 to 749", for the report.
std::string coverageText(const Coverage& coverage);
