#include "../console/console_input.h"
#include "keyboard_input.h"
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
    // Standard input is read by whole blocks, and Ctrl-C can reach a
    // question; every line end and question is flushed explicitly.
    std::ios::sync_with_stdio(false);
    KeyboardInput keyboard;
    std::cin.rdbuf(&keyboard);
    const int status = SoloLoop(options);
    endLineLeftByEndedInput();
    return status;
}
