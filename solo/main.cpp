#include "../console/console_input.h"
#include "solo_loop.h"

#include <iostream>

int main() {
    // The console's own stream buffers read standard input by whole blocks;
    // every line end and question is flushed explicitly.
    std::ios::sync_with_stdio(false);
    const int status = SoloLoop();
    endLineLeftByEndedInput();
    return status;
}
