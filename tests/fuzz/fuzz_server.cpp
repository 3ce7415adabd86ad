// libFuzzer entry: every input is the lines of four connections to
// pellaro-server's lobby.

#include "server_lines_check.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): libFuzzer hands us bytes.
    const auto* bytes = reinterpret_cast<const char*>(data);
    const std::string fault = pellaro::serverLinesFault({bytes, size});
    if (!fault.empty()) {
        std::fprintf(stderr, "server fault: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
