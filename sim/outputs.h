#pragma once

#include "output_file.h"
#include "sim_results.h"

#include <array>
#include <string>

// The summary and chart files a command writes at its end, opened at its
// start so that a name that cannot be written fails before any work.
struct ResultFiles {
    OutputFile json;
    OutputFile svg;
};

// Opens the files whose names are given; false, with the reason and nothing
// left behind, when one cannot be written.
bool openResultFiles(ResultFiles& files, const std::string& json, const std::string& svg,
                     std::string& error);

// Writes and completes the files that were opened; false, with the reason,
// when one cannot be written.
bool writeResultFiles(ResultFiles& files, const SimResults& results, std::string& error);

void discardResultFiles(ResultFiles& files);
