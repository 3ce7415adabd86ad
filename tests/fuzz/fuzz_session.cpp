// libFuzzer entry: every input is the whole of standard input for a session.

#include "session_check.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): libFuzzer hands us bytes.
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const pellaro::SessionResult session = pellaro::playSession(input);
    const std::string fault = pellaro::sessionFault(input, session);
    if (!fault.empty()) {
        std::fprintf(stderr, "session fault: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
