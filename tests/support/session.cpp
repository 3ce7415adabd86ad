#include "session.h"

#include "console/console_input.h"
#include "driver/main_loop.h"

#include <algorithm>
#include <iostream>
#include <sstream>

SessionResult runSession(std::string_view input) {
    std::istringstream in{std::string(input)};
    std::ostringstream out;
    std::streambuf* const oldIn = std::cin.rdbuf(in.rdbuf());
    std::streambuf* const oldOut = std::cout.rdbuf(out.rdbuf());
    resetConsoleInput();

    SessionResult result;
    result.status = MainLoop();

    std::cout.rdbuf(oldOut);
    std::cin.rdbuf(oldIn);
    resetConsoleInput();
    result.unreadInput =
        static_cast<std::size_t>(std::max<std::streamsize>(in.rdbuf()->in_avail(), 0));
    result.output = std::move(out).str();
    return result;
}
