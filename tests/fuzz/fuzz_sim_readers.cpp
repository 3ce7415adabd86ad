// libFuzzer entry: every input is a summary for merge or a record for show.

#include "sim_input_check.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): libFuzzer hands us bytes.
    const std::string fault = pellaro::simInputFault({reinterpret_cast<const char*>(data), size});
    if (!fault.empty()) {
        std::fprintf(stderr, "reader fault: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
