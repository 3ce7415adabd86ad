#include "random_play.h"

namespace pellaro {

std::uint32_t nextRandom(MoveRandom& random) {
    std::uint32_t x = random.state;
    x ^= x << 13U;
    x ^= x >> 17U;
    x ^= x << 5U;
    random.state = x;
    return x;
}

Move randomLegalMove(const GameState& game, MoveRandom& random) {
    // A random action and a random first row, then the rows after it in turn;
    // the other action only when no row allows the first. Every legal move can
    // come up, at a few checks a move.
    const std::uint32_t bits = nextRandom(random);
    const std::int32_t n = game.numberOfPlayers;
    const auto first = static_cast<std::int32_t>(
        (std::uint64_t{bits >> 1U} * static_cast<std::uint64_t>(n)) >> 31U);
    const TurnAction tried = (bits & 1U) != 0 ? TurnAction::Take : TurnAction::Draw;
    for (const TurnAction action :
         {tried, tried == TurnAction::Take ? TurnAction::Draw : TurnAction::Take}) {
        std::int32_t row = first;
        for (std::int32_t step = 0; step < n; ++step) {
            if (isRowValid(game, action, row)) {
                return Move{action, row};
            }
            row = row + 1 == n ? 0 : row + 1;
        }
    }
    // The player to move always has a legal move, so this is never reached.
    return Move{};
}

std::int32_t playRandomGame(GameState& game, MoveRandom& random) {
    std::int32_t moves = 0;
    bool over = false;
    while (!over) {
        const Move move = randomLegalMove(game, random);
        over = applyMove(game, move.action, move.row);
        ++moves;
    }
    return moves;
}

} // namespace pellaro
