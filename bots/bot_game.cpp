#include "bot_game.h"

// Every simulated move comes through here: the engine's part is compiled into it.
[[gnu::flatten]] bool playBotTurn(GameState& game, PublicState& known, std::span<Bot> bots,
                                  PlayedMove& played) {
    Bot& bot = bots[static_cast<std::size_t>(game.currentPlayer)];
    const SeatView view(game, known);
    const DeckOrder order = deckOrderFor(bot, game);
    played.action = chooseAction(bot, view, order);
    played.card = played.action == TurnAction::Draw ? topCard(game) : noCard;
    played.row = chooseRow(bot, view, played.action, played.card, order);
    return applyKnownMove(game, known, played.action, played.row);
}

void playBotGame(GameState& game, std::span<Bot> bots, std::vector<PlayedMove>* moves) {
    PublicState known = publicStateOf(game);
    bool over = false;
    while (!over) {
        PlayedMove played;
        over = playBotTurn(game, known, bots, played);
        if (moves != nullptr) {
            moves->push_back(played);
        }
    }
}
