#include "../console/console_input.h"
#include "record_statistics.h"
#include "results_file.h"
#include "solo_loop.h"
#include "solo_options.h"

#include <iostream>

int main(int argc, char** argv) {
    using namespace pellaro;
    SoloOptions options;
    std::string text;
    switch (readSoloOptions(argc, argv, options, text)) {
    case OptionsRead::Help:
        std::cout << text;
        return 0;
    case OptionsRead::Bad:
        std::cerr << text << '\n';
        return 2;
    case OptionsRead::Play:
        break;
    }
    if (options.stats) {
        return showRecord(resultsFolder(), std::cout, std::cerr);
    }
    // The console's own stream buffers read standard input by whole blocks;
    // every line end and question is flushed explicitly.
    std::ios::sync_with_stdio(false);
    const int status = SoloLoop(options);
    endLineLeftByEndedInput();
    return status;
}
