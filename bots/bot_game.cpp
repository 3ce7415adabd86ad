#include "bot_game.h"

namespace pellaro {

// Every simulated move comes through here: the engine's part is compiled into it.
[[gnu::flatten]] TurnPlayed playBotTurn(GameState& game, PublicState& known, std::span<Bot> bots) {
    Bot& bot = bots[static_cast<std::size_t>(game.currentPlayer)];
    return playTurn(game, known, decideMove(bot, game, known));
}

void playBotGame(GameState& game, std::span<Bot> bots, std::vector<PlayedMove>* moves) {
    PublicState known = publicStateOf(game);
    for (bool over = false; !over;) {
        const TurnPlayed played = playBotTurn(game, known, bots);
        over = played.over;
        if (moves != nullptr) {
            moves->push_back(played.move);
        }
    }
}

} // namespace pellaro
