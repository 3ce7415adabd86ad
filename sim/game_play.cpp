#include "game_play.h"

#include "engine/results.h"

#include <algorithm>
#include <span>

std::uint64_t dealSeed(const SimConfig& config, std::int64_t deal) {
    return deriveSeed(config.seed, static_cast<std::uint64_t>(deal));
}

GameOutcome playGame(const SimConfig& config, std::int64_t deal, std::int32_t rotation,
                     GameRecord* record) {
    const std::uint64_t seed = dealSeed(config, deal);
    SeededRandom dealer = seededRandom(seed);
    ShuffleDraws draws{};
    std::generate(draws.begin(), draws.end(), [&dealer] { return nextDraw(dealer); });
    GameState game = dealGame(config.players, draws);

    GameOutcome outcome;
    outcome.players = config.players;
    std::array<Bot, maxPlayers> bots{};
    for (std::int32_t seat = 0; seat < config.players; ++seat) {
        const BotSettings& settings = botOfSeat(config, rotation, seat);
        bots[seat] = seatedBot(settings, seed, seat);
        outcome.bots[seat] = botIndex(config, settings);
    }
    const auto seated = std::span(bots).first(static_cast<std::size_t>(config.players));
    if (record != nullptr) {
        record->game = deal * gamesPerDeal(config) + rotation;
        record->deal = deal;
        record->rotation = rotation;
        record->seed = seed;
        record->deck = game.deck;
        record->moves.clear();
    }

    bool over = false;
    while (!over) {
        PlayedMove move;
        over = playTurn(game, seated, move);
        ++outcome.turns;
        // Only a Take ends a round, and the round's end puts everybody back in.
        if (move.action == TurnAction::Take &&
            (over || std::none_of(game.players.begin(), game.players.end(),
                                  [](const PlayerState& p) { return p.outOfRound; }))) {
            ++outcome.rounds;
        }
        if (record != nullptr) {
            record->moves.push_back(move);
        }
    }
    outcome.cardsDrawn = game.nextCard;
    const std::vector<std::int32_t> scores = allScores(game);
    std::copy(scores.begin(), scores.end(), outcome.scores.begin());
    if (record != nullptr) {
        record->end = std::move(game);
    }
    return outcome;
}
