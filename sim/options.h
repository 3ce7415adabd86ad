#pragma once

#include "sim_config.h"

#include <cstdint>
#include <string>
#include <vector>

enum class Command : std::uint8_t {
    Run,
    Merge,
    Show,
    // --help: the text is printed and nothing else happens.
    Help,
};

struct RunOptions {
    SimConfig config;
    // This run plays shard `shard` of `shardCount` of the deals.
    std::int32_t shard = 1;
    std::int32_t shardCount = 1;
    std::int32_t threads = 1;
    std::string json;
    std::string jsonl;
    std::string svg;
    bool quiet = false;
};

struct MergeOptions {
    std::vector<std::string> summaries;
    std::string json;
    std::string svg;
};

struct ShowOptions {
    std::string records;
    std::int64_t game = 0;
};

struct Options {
    Command command = Command::Help;
    RunOptions run;
    MergeOptions merge;
    ShowOptions show;
    std::string helpText;
};

// Reads the command line; false, with a one-line reason, when it asks for
// something the program cannot do.
bool parseOptions(int argc, const char* const* argv, Options& options, std::string& error);
