// The computer players' decision times: plays seeded games with one bot in
// every seat and times each decision, Draw-or-Take and row alike, on the
// thread's CPU clock. Prints the median, the 99th percentile and the worst.
//
//   pellaro_decision_times BOT [PLAYERS [GAMES]]
#include "bot_work.h"
#include "bots/bot.h"
#include "bots/seat_view.h"
#include "engine/game_state.h"
#include "engine/turn_rules.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <span>
#include <string>
#include <vector>

namespace pellaro {

namespace {

double cpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Times every decision of one game, seats' bots seeded as in a simulation.
void timeGame(std::int32_t players, const BotSettings& settings, std::uint64_t seed,
              std::vector<double>& times) {
    GameState game = seededDeal(players, seed);
    std::array<Bot, maxPlayers> bots{};
    for (std::int32_t seat = 0; seat < players; ++seat) {
        bots[seat] = newBot(settings, seed, seat);
    }
    bool over = false;
    while (!over) {
        Bot& bot = bots[game.currentPlayer];
        const SeatView view(game);
        double start = cpuMilliseconds();
        const TurnAction action = chooseAction(bot, view);
        times.push_back(cpuMilliseconds() - start);
        const CardKind drawn = action == TurnAction::Draw ? topCard(game) : noCard;
        start = cpuMilliseconds();
        const std::int32_t row = chooseRow(bot, view, action, drawn);
        times.push_back(cpuMilliseconds() - start);
        over = applyMove(game, action, row);
    }
}

} // namespace

} // namespace pellaro

int main(int argc, char** argv) {
    using namespace pellaro;
    if (argc < 2 || argc > 4) {
        std::fputs("usage: pellaro_decision_times BOT [PLAYERS [GAMES]]\n", stderr);
        return 2;
    }
    const BotSettings settings = benchBot(argv[1]);
    const std::int32_t players = argc > 2 ? std::atoi(argv[2]) : maxPlayers;
    const std::int32_t games = argc > 3 ? std::atoi(argv[3]) : 20;
    if (players < minPlayers || players > maxPlayers || games < 1) {
        std::fputs("players must be 2 to 5 and games at least 1\n", stderr);
        return 2;
    }
    std::vector<double> times;
    for (std::int32_t game = 0; game < games; ++game) {
        timeGame(players, settings, static_cast<std::uint64_t>(game) + 1, times);
    }
    std::sort(times.begin(), times.end());
    const auto at = [&times](double share) {
        return times[static_cast<std::size_t>(share * static_cast<double>(times.size() - 1))];
    };
    std::printf("%s, %d players, %d games, %zu decisions: median %.2f ms, 99th percentile "
                "%.2f ms, worst %.2f ms\n",
                argv[1], players, games, times.size(), at(0.5), at(0.99), times.back());
    return 0;
}
