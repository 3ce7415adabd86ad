#include "computer_turns.h"

#include "../bots/seat_view.h"
#include "../console/console_input.h"
#include "../engine/turn_rules.h"

#include <iostream>

PlayedMove decideComputerMove(const GameState& game, Bot& bot) {
    const SeatView view = seatView(game);
    PlayedMove move;
    move.action = chooseAction(bot, view);
    move.card = move.action == TurnAction::Draw ? topCard(game) : noCard;
    move.row = chooseRow(bot, view, move.action, move.card);
    return move;
}

void showComputerMove(std::int32_t seat, const PlayedMove& move) {
    std::cout << "Player #" << std::int64_t{seat} + 1;
    if (move.action == TurnAction::Draw) {
        std::cout << " draws ";
        if (move.card >= 0 && move.card < cardKindCount) {
            std::cout << cardLabels[move.card];
        }
        std::cout << " and places it on row ";
    } else {
        std::cout << " takes row ";
    }
    std::cout << std::int64_t{move.row} + 1 << '.';
    endLine();
}
