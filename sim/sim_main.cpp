#include "commands.h"

#include <iostream>

void reportFailure(const std::string& reason) {
    std::cerr << "pellaro-sim: " << reason << std::endl;
}

int simMain(int argc, const char* const* argv) {
    Options options;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) {
        reportFailure(error);
        return statusFailed;
    }
    switch (options.command) {
    case Command::Run:
        return runCommand(options.run);
    case Command::Merge:
        return mergeCommand(options.merge);
    case Command::Show:
        return showCommand(options.show);
    case Command::Help:
        std::cout << options.helpText << std::flush;
        return statusDone;
    }
    return statusFailed;
}
