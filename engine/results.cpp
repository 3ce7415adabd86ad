#include "results.h"

#include "scoring.h"

#include <algorithm>

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
    std::int32_t top = scores[0];
    for (std::size_t i = 1; i < counted; ++i) {
        if (scores[i] > top) {
            top = scores[i];
        }
    }
    return top;
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
