#include "results.h"

#include "scoring.h"

#include <algorithm>
#include <cassert>

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
    Standings results;
    results.players = game.numberOfPlayers;
    const auto scores = results.scores.begin();
    const auto end = scores + game.numberOfPlayers;
    for (std::int32_t seat = 0; seat < game.numberOfPlayers; ++seat) {
        results.scores[seat] = finalScore(game, seat);
    }
    results.top = *std::max_element(scores, end);
    results.winnerCount = static_cast<std::int32_t>(std::count(scores, end, results.top));
    results.runnerUp = results.top;
    for (auto score = scores; score != end; ++score) {
        if (*score < results.top &&
            (results.runnerUp == results.top || *score > results.runnerUp)) {
            results.runnerUp = *score;
        }
    }
    return results;
}
