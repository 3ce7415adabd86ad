// With advice.cpp, the one place where pellaro-solo calls the computer
// players.
#include "computer_turns.h"

#include "../bots/seat_view.h"
#include "../engine/turn_rules.h"

PlayedMove decideComputerMove(const GameState& game, Bot& bot) {
    const SeatView view = seatView(game);
    PlayedMove move;
    move.action = chooseAction(bot, view);
    move.card = move.action == TurnAction::Draw ? topCard(game) : noCard;
    move.row = chooseRow(bot, view, move.action, move.card);
    return move;
}

std::vector<Bot> computerPlayers(Strength strength, std::uint64_t gameSeed, std::int32_t players) {
    return computerPlayers(settingsOf(strength), gameSeed, players);
}

std::vector<Bot> computerPlayers(const BotSettings& bot, std::uint64_t gameSeed,
                                 std::int32_t players) {
    std::vector<Bot> bots;
    bots.reserve(static_cast<std::size_t>(players));
    for (std::int32_t seat = 0; seat < players; ++seat) {
        bots.push_back(newBot(bot, gameSeed, seat));
    }
    return bots;
}
