#include "console_input.h"
#include "console_view.h"

#include <algorithm>
#include <iostream>

namespace pellaro {

namespace {

void showRow(std::int32_t number, const Row& row) {
    std::cout << "Row #" << number << "| ";
    if (row.taken) {
        // A taken row keeps its cards until the round ends, but they are no longer in play.
        std::cout << "Taken";
    } else {
        for (const CardKind card : row.slots) {
            if (card < 0 || card >= cardKindCount) {
                break;
            }
            std::cout << cardLabels[card] << ' ';
        }
    }
    endLine();
}

void showHand(std::int32_t number, const PlayerState& player) {
    std::cout << "Player #" << number << "|  ";
    for (int kind = 0; kind < cardKindCount; ++kind) {
        std::cout << cardLabels[kind] << ':' << player.counts[kind] << ' ';
    }
    std::cout << "Taken? " << (player.outOfRound ? 'Y' : 'N');
    endLine();
}

} // namespace

void ConsoleView::showBoard(PlayerList players, RowList rows, bool lastRound) const {
    for (int i = 0; i < 4; ++i) {
        endLine();
    }
    if (lastRound) {
        std::cout << "LAST ROUND!!";
        endLine();
    }
    std::cout << "Current board";
    endLine();
    const auto shownRows = std::min<std::size_t>(rows.size(), std::max(playerCount, 0));
    for (std::size_t r = 0; r < shownRows; ++r) {
        showRow(static_cast<std::int32_t>(r) + 1, rows[r]);
    }
    endLine();
    std::cout << "The players' hands";
    endLine();
    const auto shownPlayers = std::min<std::size_t>(players.size(), std::max(playerCount, 0));
    for (std::size_t p = 0; p < shownPlayers; ++p) {
        showHand(static_cast<std::int32_t>(p) + 1, players[p]);
    }
}

} // namespace pellaro
