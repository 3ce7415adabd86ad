#include "commands.h"
#include "interrupt.h"
#include "outputs.h"
#include "report_table.h"
#include "simulation.h"

#include <cstring>
#include <iostream>

int runCommand(const RunOptions& options) {
    const SimConfig& config = options.config;
    ResultFiles files;
    OutputFile records;
    std::string error;
    if (!openResultFiles(files, options.json, options.svg, error) ||
        (!options.jsonl.empty() && !openOutput(records, options.jsonl, error))) {
        discardResultFiles(files);
        reportFailure(error);
        return statusFailed;
    }

    catchInterrupts();
    const DealRange range = shardRange(config.deals, options.shard, options.shardCount);
    ProgressBar progress =
        progressBar(!options.quiet, (range.end - range.first) * gamesPerDeal(config));
    RecordsOut recordsOut{records.file, false, 0};
    const SimResults results = runSimulation(
        config, range, options.threads, options.jsonl.empty() ? nullptr : &recordsOut, &progress);
    if (recordsOut.failed) {
        reportFailure("cannot write " + options.jsonl + ": " + std::strerror(recordsOut.reason));
        discardOutput(records);
        discardResultFiles(files);
        return statusFailed;
    }

    std::cout << reportTable(results) << std::flush;
    if ((records.file != nullptr && !commitOutput(records, error)) ||
        !writeResultFiles(files, results, error)) {
        discardOutput(records);
        discardResultFiles(files);
        reportFailure(error);
        return statusFailed;
    }
    return results.interrupted ? statusInterrupted : statusDone;
}
