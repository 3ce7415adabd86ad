// Every seed of the simulator readers' fuzz corpus through the fuzz target's
// checks, and each seed spoilt a byte at a time, so that the checks run in
// every test build and not only under the fuzzer.

#include "sim_input_check.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace pellaro {

namespace {

TEST(SimReadersCorpus, EverySeedAndItsSpoiltCopiesPassTheReadersChecks) {
    std::size_t seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(PELLARO_SIM_CORPUS)) {
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string seed{std::istreambuf_iterator<char>(file), {}};
        EXPECT_EQ(simInputFault(seed), "") << entry.path();
        for (std::size_t at = 0; at < seed.size(); at += 97) {
            std::string spoilt = seed;
            spoilt[at] = static_cast<char>(spoilt[at] ^ 0x04);
            EXPECT_EQ(simInputFault(spoilt), "") << entry.path() << " at " << at;
        }
        ++seeds;
    }
    EXPECT_GE(seeds, 6U);
}

} // namespace

} // namespace pellaro
