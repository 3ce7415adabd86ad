// Plays a number of units of one kind of work, for valgrind's instruction
// count: the difference between a run of N units and a run of none, over N,
// is the count of one unit, free of the start-up's. See
// bench/count_instructions.sh.
#include "bot_work.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

int main(int argc, char** argv) {
    using namespace pellaro;
    if (argc != 3) {
        std::fprintf(stderr, "usage: pellaro_count_instructions WORK UNITS\n");
        return 2;
    }
    const std::string_view work = argv[1];
    const long units = std::strtol(argv[2], nullptr, 10);
    std::int64_t checksum = 0;
    if (work == "ismctsIteration") {
        // One search of that many iterations; none for a run of no units.
        IsmctsWork search = ismctsDecision(static_cast<std::int32_t>(std::max(units, 1L)));
        checksum += units > 0 && decide(search) == TurnAction::Take ? 1 : 0;
    } else if (work == "montecarloPlayout") {
        PlayoutWork playouts = openingPlayouts(PlayoutPolicy::Patient);
        for (long unit = 0; unit < units; ++unit) {
            checksum += playOnePlayout(playouts, PlayoutPolicy::Patient) ? 1 : 0;
        }
    } else {
        if (work != "randomGame5" && work != "randomGame2" && work != "greedyGame5") {
            std::fprintf(stderr, "unknown work: %s\n", argv[1]);
            return 2;
        }
        const std::int32_t players = work == "randomGame2" ? 2 : 5;
        const BotSettings settings = benchBot(work == "greedyGame5" ? "greedy" : "random");
        for (long unit = 0; unit < units; ++unit) {
            checksum += playBotGameOfSeed(players, settings, static_cast<std::uint64_t>(unit) + 1);
        }
    }
    std::printf("%lld\n", static_cast<long long>(checksum));
    return 0;
}
