#include "solo_rules.h"

#include "../console/console_input.h"
#include "solo_display.h"

#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace pellaro {

namespace {

// clang-format off
const std::vector<std::vector<std::string>> pages = {
    {
        "The cards",
        "Pellaro is a card collecting game for 2 to 5 players. The deck holds 76 cards:",
        "nine of each of seven colours, (R)ed, (G)reen, (B)lue, (Y)ellow, (P)ink,",
        "(S)ilver and (V)iolet, 3 wilds (W) and 10 cards worth +2 points. Collect many",
        "cards of three colours: every other colour you collect counts against you.",
    },
    {
        "Turns and rounds",
        "The game is played in rounds, on as many rows as there are players, each row",
        "holding up to three cards. On your turn you either draw the top card of the",
        "deck and place it on a row that is neither full nor taken, or take a row that",
        "holds a card into your pile, and then sit out the rest of the round. When",
        "everyone has taken a row the round is over, the board is cleared, and the",
        "player after the last one to take a row opens the next round.",
        "Once no more than three cards a player, plus one, are left in the deck, the",
        "round being played is the last. The game says so as soon as it is certain.",
    },
    {
        "Scoring",
        "At the end your three largest colours, each with any wilds you add to it,",
        "score by the table below; the other four colours lose points by the same",
        "table. Each +2 card adds two points. The highest score wins; equal top",
        "scores share the win.",
        "  Cards of a colour   1   2   3   4   5   6 or more",
        "  Points              1   3   6  10  15  21",
    },
    {
        "Playing against computer players",
        "People sit in the first seats, computer players in the others: Easy, Medium",
        "or Hard. They see only what you could see at their seat, never the deck.",
        "At your questions, type ? for a hint: what Hard would do and how each choice",
        "rates, as the expected lead over the other player at two players and the",
        "chance of winning at more. B goes back from the row to take to the Draw.",
        "S at any question, or Ctrl-C, saves the game and stops; pellaro-solo --resume",
        "goes on with it later. After a game you may review your decisions against",
        "Hard's, and pellaro-solo --stats shows your record.",
    },
};
// clang-format on

} // namespace

void offerSoloRules() {
    std::cout << "Would you like to hear the rules? (Y/N) ";
    const std::optional<char> answer = readWordAnswer();
    if (!answer || *answer == 'n' || *answer == 'N') {
        return;
    }
    for (std::size_t page = 0; page < pages.size(); ++page) {
        showLines(pages[page]);
        if (!pauseForEnter(page + 1 < pages.size() ? "Press enter to continue; "
                                                   : "Press enter to play; ")) {
            return;
        }
    }
}

} // namespace pellaro
