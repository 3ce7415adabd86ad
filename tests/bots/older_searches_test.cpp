#include "bot_tables.h"
#include "bots/bot.h"
#include "bots/bot_game.h"
#include "engine/game_state.h"
#include "engine/seeded_random.h"

#include <cstdint>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace pellaro {

namespace {

// The searches as Medium and Hard played them at commit 05c9368, on small
// budgets so that a game takes milliseconds.
constexpr const char* olderFlat =
    "montecarlo:30:objective=margin-below-5:ties=first:allocation=even";
constexpr const char* olderTree = "ismcts:40:objective=margin-below-5:reuse=no:ties=first";

// A game's moves, one letter each: a to e a Draw onto that row, A to E a
// Take of it. The cards follow from the deal.
std::string movesOf(const std::vector<PlayedMove>& moves) {
    std::string letters;
    for (const PlayedMove& move : moves) {
        letters += static_cast<char>((move.action == TurnAction::Draw ? 'a' : 'A') + move.row);
    }
    return letters;
}

// The two searches take turns around the table, which of them first
// alternating from game to game.
std::string playedMoves(std::int32_t players, std::uint64_t seed) {
    GameState game = seededDeal(players, seed);
    std::vector<Bot> bots;
    for (std::int32_t seat = 0; seat < players; ++seat) {
        const char* name = (seat + seed) % 2 == 0 ? olderFlat : olderTree;
        const auto settings = botNamed(name, defaultBudget);
        EXPECT_TRUE(settings.has_value()) << name;
        bots.push_back(newBot(settings.value_or(BotSettings{botRegistry().front()}), seed, seat));
    }
    std::vector<PlayedMove> moves;
    playBotGame(game, bots, &moves);
    return movesOf(moves);
}

// The games recorded as the searches of commit 05c9368 played them, a few at
// each table size, are played again move for move.
TEST(OlderSearches, PlayTheRecordedGamesMoveForMove) {
    std::ifstream file(PELLARO_OLDER_GAMES);
    ASSERT_TRUE(file.is_open()) << PELLARO_OLDER_GAMES;
    std::string line;
    std::int32_t games = 0;
    while (std::getline(file, line)) {
        if (line.empty() || line.front() == '#') {
            continue;
        }
        std::istringstream fields(line);
        std::int32_t players = 0;
        std::uint64_t seed = 0;
        std::string recorded;
        fields >> players >> seed >> recorded;
        EXPECT_EQ(playedMoves(players, seed), recorded) << players << " players, seed " << seed;
        ++games;
    }
    EXPECT_GE(games, 8);
}

} // namespace

} // namespace pellaro
