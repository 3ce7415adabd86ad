#pragma once

#include <iostream>
#include <sstream>
#include <string>

namespace pellaro {

// While it lives, standard input reads the given bytes and standard output is
// collected, so that one question or display can be run on its own.
struct RedirectedConsole {
    explicit RedirectedConsole(const std::string& input);
    ~RedirectedConsole();
    RedirectedConsole(const RedirectedConsole&) = delete;
    RedirectedConsole& operator=(const RedirectedConsole&) = delete;
    RedirectedConsole(RedirectedConsole&&) = delete;
    RedirectedConsole& operator=(RedirectedConsole&&) = delete;

    // Everything written so far.
    std::string output() const;
    // What no question has read yet.
    std::string unread() const;

    std::istringstream in;
    std::ostringstream out;
    std::streambuf* oldIn = nullptr;
    std::streambuf* oldOut = nullptr;
};

} // namespace pellaro
