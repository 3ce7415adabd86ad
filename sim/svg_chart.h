#pragma once

#include "figures.h"
#include "sim_results.h"

#include <string>

// A standalone SVG picture of the results: each seat's win share with its
// 95 % interval beside the fair share, and each bot's distribution of final
// scores.
std::string svgChart(const SimResults& results, const Figures& figures);
