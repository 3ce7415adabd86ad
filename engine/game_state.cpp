#include "game_state.h"

#include "seeded_random.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <ctime>
#include <utility>

namespace pellaro {

namespace {

// Laid out once, as every deal starts from it.
constexpr std::array<CardKind, deckSize> deckInKindOrder = [] {
    std::array<CardKind, deckSize> deck{};
    CardKind* position = deck.data();
    for (int kind = 0; kind < cardKindCount; ++kind) {
        position = std::fill_n(position, deckMakeUp[kind], static_cast<CardKind>(kind));
    }
    return deck;
}();

} // namespace

std::array<CardKind, deckSize> orderedDeck() {
    return deckInKindOrder;
}

// One swap a draw; the last position is never chosen as j.
void shuffleDeck(std::array<CardKind, deckSize>& deck, const ShuffleDraws& draws) {
    for (int j = 0; j < shuffleSteps; ++j) {
        assert(draws[j] >= 0);
        const int n = deckSize - j;
        const int k = j + draws[j] % n;
        std::swap(deck[j], deck[k]);
    }
}

GameState newGame(std::int32_t requestedPlayers) {
    return newGame(requestedPlayers, static_cast<std::uint32_t>(std::time(nullptr)));
}

GameState newGame(std::int32_t requestedPlayers, std::uint32_t seed) {
    // The game's deal: srand once, then rand 75 times, in the shuffle's order.
    std::srand(seed);
    ShuffleDraws draws{};
    std::generate(draws.begin(), draws.end(), [] { return std::rand(); });
    return dealGame(requestedPlayers, draws);
}

GameState dealGame(std::int32_t requestedPlayers, const ShuffleDraws& draws) {
    GameState game;
    game.numberOfPlayers = std::clamp(requestedPlayers, minPlayers, maxPlayers);
    game.players.assign(game.numberOfPlayers, PlayerState{});
    game.currentPlayer = 0;
    game.rows.assign(game.numberOfPlayers, Row{});
    game.deck = deckInKindOrder;
    shuffleDeck(game.deck, draws);
    game.nextCard = 0;
    return game;
}

GameState seededDeal(std::int32_t requestedPlayers, std::uint64_t seed) {
    SeededRandom random = seededRandom(seed);
    ShuffleDraws draws{};
    std::generate(draws.begin(), draws.end(), [&random] { return nextDraw(random); });
    return dealGame(requestedPlayers, draws);
}

CardKind topCard(const GameState& game) {
    // Play never draws past position 73; the check keeps a hand-made state safe.
    if (game.nextCard < 0 || game.nextCard >= deckSize) {
        return noCard;
    }
    return game.deck[game.nextCard];
}

bool isLastRound(const GameState& game) {
    return 75 - game.nextCard <= 3 * game.numberOfPlayers;
}

} // namespace pellaro
