// Plays a number of units of one kind of work, for valgrind's instruction
// count: the difference between a run of N units and a run of none, over N,
// is the count of one unit, free of the start-up's. See
// bench/count_instructions.sh.
#include "bot_work.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: pellaro_count_instructions WORK UNITS\n");
        return 2;
    }
    const std::string_view work = argv[1];
    const long units = std::strtol(argv[2], nullptr, 10);
    std::int64_t checksum = 0;
    if (work == "montecarloPlayout") {
        PlayoutWork playouts = openingPlayouts(PlayoutPolicy::Patient);
        for (long unit = 0; unit < units; ++unit) {
            checksum += playOnePlayout(playouts, PlayoutPolicy::Patient) ? 1 : 0;
        }
    } else {
        struct Game {
            std::string_view work;
            std::int32_t players;
            std::string_view bot;
        };
        constexpr std::array<Game, 3> games = {{{"randomGame5", 5, "random"},
                                                {"randomGame2", 2, "random"},
                                                {"greedyGame5", 5, "greedy"}}};
        const auto* game = std::find_if(games.begin(), games.end(),
                                        [work](const Game& known) { return known.work == work; });
        if (game == games.end()) {
            std::fprintf(stderr, "unknown work: %s\n", argv[1]);
            return 2;
        }
        const BotSettings settings = benchBot(game->bot);
        for (long unit = 0; unit < units; ++unit) {
            checksum +=
                playBotGameOfSeed(game->players, settings, static_cast<std::uint64_t>(unit) + 1);
        }
    }
    std::printf("%lld\n", static_cast<long long>(checksum));
    return 0;
}
