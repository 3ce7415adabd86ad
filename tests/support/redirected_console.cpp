#include "redirected_console.h"

#include "console/console_input.h"

#include <iterator>

namespace pellaro {

RedirectedConsole::RedirectedConsole(const std::string& input)
    : in(input), oldIn(std::cin.rdbuf(in.rdbuf())), oldOut(std::cout.rdbuf(out.rdbuf())) {
    resetConsoleInput();
}

RedirectedConsole::~RedirectedConsole() {
    std::cout.rdbuf(oldOut);
    std::cin.rdbuf(oldIn);
    resetConsoleInput();
}

std::string RedirectedConsole::output() const {
    return out.str();
}

std::string RedirectedConsole::unread() const {
    std::streambuf* const buffer = in.rdbuf();
    const std::string all = in.str();
    const auto position = buffer->pubseekoff(0, std::ios::cur, std::ios::in);
    return all.substr(static_cast<std::size_t>(position));
}

} // namespace pellaro
