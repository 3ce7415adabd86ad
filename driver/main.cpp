#include "../console/console_input.h"
#include "main_loop.h"

#include <iostream>

int main() {
    using namespace pellaro;
    // Our own stream buffers read standard input by whole blocks; every line
    // end and question is flushed explicitly.
    std::ios::sync_with_stdio(false);
    const int status = MainLoop();
    endLineLeftByEndedInput();
    return status;
}
