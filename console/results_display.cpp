#include "console_input.h"
#include "console_view.h"

#include <algorithm>
#include <iostream>

namespace pellaro {

void ConsoleView::showScores(std::vector<std::int32_t> scores) const {
    endLine();
    std::cout << "Scores";
    endLine();
    const auto shown = std::min<std::size_t>(scores.size(), std::max(playerCount, 0));
    for (std::size_t p = 0; p < shown; ++p) {
        std::cout << "Player " << p + 1 << " scored " << scores[p];
        endLine();
    }
}

void ConsoleView::showWinners(std::int32_t top, std::vector<std::int32_t> winners) const {
    endLine();
    // The game always has a winner; an empty list names nobody rather than
    // reading past its end.
    if (winners.empty()) {
        return;
    }
    std::cout << "The winner";
    if (winners.size() == 1) {
        std::cout << " is ";
    } else {
        std::cout << "s are ";
        for (std::size_t i = 0; i + 1 < winners.size(); ++i) {
            std::cout << "Player " << winners[i] << " and ";
        }
    }
    std::cout << "Player " << winners.back() << " with a score of " << top << '!';
    endLine();
}

bool ConsoleView::askNewGame() const {
    endLine();
    std::cout << "Would you like to play a new game? (Y/N) ";
    const std::optional<char> answer = readWordAnswer();
    return answer && (*answer == 'y' || *answer == 'Y');
}

} // namespace pellaro
