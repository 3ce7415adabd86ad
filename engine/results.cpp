#include "results.h"

#include "scoring.h"

#include <algorithm>
#include <cassert>

namespace pellaro {

std::vector<std::int32_t> allScores(const GameState& game) {
    std::vector<std::int32_t> scores;
    scores.reserve(game.players.size());
    for (std::int32_t seat = 0; seat < game.numberOfPlayers; ++seat) {
        scores.push_back(finalScore(game, seat));
    }
    return scores;
}

std::int32_t topScore(const GameState& game, std::vector<std::int32_t> scores) {
    // A short list is read only as far as it goes, and an empty one has no winner to find.
    const std::size_t counted =
        std::min(scores.size(), static_cast<std::size_t>(game.numberOfPlayers));
    if (counted == 0) {
        return 0;
    }
    return *std::max_element(scores.begin(), scores.begin() + static_cast<std::ptrdiff_t>(counted));
}

std::vector<std::int32_t> winners(const GameState& game, std::int32_t top) {
    std::vector<std::int32_t> numbers;
    for (std::int32_t seat = 0; seat < game.numberOfPlayers; ++seat) {
        if (finalScore(game, seat) == top) {
            numbers.push_back(seat + 1);
        }
    }
    return numbers;
}

Standings standings(const GameState& game) {
    std::array<std::int32_t, maxPlayers> scores{};
    for (std::int32_t seat = 0; seat < game.numberOfPlayers; ++seat) {
        scores[seat] = finalScore(game, seat);
    }
    return standingsOf(std::span(scores).first(static_cast<std::size_t>(game.numberOfPlayers)));
}

Standings standingsOf(std::span<const std::int32_t> scores) {
    assert(scores.size() >= minPlayers && scores.size() <= maxPlayers);
    Standings results;
    results.players = static_cast<std::int32_t>(scores.size());
    std::copy(scores.begin(), scores.end(), results.scores.begin());
    results.top = *std::max_element(scores.begin(), scores.end());
    results.winnerCount =
        static_cast<std::int32_t>(std::count(scores.begin(), scores.end(), results.top));
    results.runnerUp = results.top;
    for (const std::int32_t score : scores) {
        if (score < results.top && (results.runnerUp == results.top || score > results.runnerUp)) {
            results.runnerUp = score;
        }
    }
    return results;
}

} // namespace pellaro
