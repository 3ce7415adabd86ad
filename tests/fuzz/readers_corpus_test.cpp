// Every seed of the readers' fuzz corpora, the simulator's, pellaro-solo's
// and pellaro-server's, through the fuzz targets' checks, and each seed spoilt a
// byte at a time, so that the checks run in every test build and not only
// under the fuzzer.

#include "server_lines_check.h"
#include "sim_input_check.h"
#include "solo_input_check.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace pellaro {

namespace {

TEST(ReadersCorpus, EverySeedAndItsSpoiltCopiesPassTheReadersChecks) {
    struct Corpus {
        const char* folder;
        std::string (*fault)(std::string_view);
        std::size_t seeds;
    };
    for (const Corpus& corpus : {Corpus{PELLARO_SIM_CORPUS, simInputFault, 8},
                                 Corpus{PELLARO_SOLO_CORPUS, soloInputFault, 3},
                                 Corpus{PELLARO_SERVER_CORPUS, serverLinesFault, 3}}) {
        std::size_t seeds = 0;
        for (const auto& entry : std::filesystem::directory_iterator(corpus.folder)) {
            std::ifstream file(entry.path(), std::ios::binary);
            const std::string seed{std::istreambuf_iterator<char>(file), {}};
            EXPECT_EQ(corpus.fault(seed), "") << entry.path();
            for (std::size_t at = 0; at < seed.size(); at += 97) {
                std::string spoilt = seed;
                spoilt[at] = static_cast<char>(spoilt[at] ^ 0x04);
                EXPECT_EQ(corpus.fault(spoilt), "") << entry.path() << " at " << at;
            }
            ++seeds;
        }
        EXPECT_GE(seeds, corpus.seeds) << corpus.folder;
    }
}

} // namespace

} // namespace pellaro
