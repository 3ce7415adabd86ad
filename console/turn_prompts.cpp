#include "console_input.h"
#include "console_view.h"

#include <iostream>
#include <limits>

namespace pellaro {

std::int32_t ConsoleView::askPlayerCount() const {
    std::cout << "Enter number of players (2-5): ";
    discardRestOfLine();
    for (;;) {
        const std::optional<std::int32_t> count = readNumberAnswer();
        if (!count) {
            return minPlayers;
        }
        if (*count >= minPlayers && *count <= maxPlayers) {
            return *count;
        }
        // The player's Enter has already moved the cursor to a new line.
        std::cout << "Please enter the number of players (2-5): ";
    }
}

TurnAction ConsoleView::askAction(std::int32_t player, bool lastRound) const {
    endLine();
    if (lastRound) {
        std::cout << "LAST ROUND!!";
        endLine();
    }
    std::cout << "It is player #" << std::int64_t{player} + 1 << "'s turn: ";
    for (;;) {
        std::cout << "(D)raw a card or (T)ake a row? ";
        const std::optional<char> answer = readWordAnswer();
        if (!answer) {
            return TurnAction::Draw;
        }
        if (*answer == 'D' || *answer == 'd') {
            return TurnAction::Draw;
        }
        if (*answer == 'T' || *answer == 't') {
            return TurnAction::Take;
        }
        std::cout << "Invalid action!";
        endLine();
    }
}

std::int32_t ConsoleView::askRow(TurnAction action, CardKind drawnCard) const {
    if (action == TurnAction::Take) {
        std::cout << "Please enter the row to take: ";
    } else {
        endLine();
        std::cout << "The card drawn is ";
        if (drawnCard >= 0 && drawnCard < cardKindCount) {
            std::cout << cardLabels[drawnCard];
        }
        endLine();
        std::cout << "Please enter the row to place it on: ";
    }
    discardRestOfLine();
    const std::optional<std::int32_t> typed = readNumberAnswer();
    if (!typed) {
        return -1;
    }
    if (*typed == std::numeric_limits<std::int32_t>::min()) {
        return *typed;
    }
    return *typed - 1;
}

void ConsoleView::showInvalidMove() const {
    std::cout << "Invalid Move!!!";
    endLine();
    // A refused action must not let the words after it answer the question again.
    discardRestOfLine();
}

} // namespace pellaro
