// libFuzzer entry: every input is a results file and a saved game of
// pellaro-solo.

#include "solo_input_check.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): libFuzzer hands us bytes.
    const std::string fault = pellaro::soloInputFault({reinterpret_cast<const char*>(data), size});
    if (!fault.empty()) {
        std::fprintf(stderr, "reader fault: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
