#pragma once

#include "figures.h"
#include "sim_results.h"

#include <string>

// The report on standard output: the configuration, a table per seat and per
// bot, seat 1's advantage, the balance, the games' length, ties, the score
// spread and the throughput.
std::string reportTable(const SimResults& results, const Figures& figures);
