#include "console_input.h"
#include "console_view.h"

#include <array>
#include <iostream>

namespace pellaro {

namespace {

// Each block reaches the screen as one long line, wrapped by the console.
constexpr std::array blockOne = {
    "Pellaro is a card collecting game for 2-5 players.  There are 76 colored cards in the deck.  ",
    "There are 7 colors: (R)ed, (G)reen, (B)lue, (Y)ellow, (P)ink, (S)ilver, (V)iolet ",
    "with 9 cards of each color in the deck.  There are also 3 wilds and 8 cards worth +2 "
    "points.  ",
    "The goal is to have the highest score at the end by collecting as many as you can of any "
    "three colors, ",
    "but beware, any other colored cards you collect count negatively.  Wilds can count as any "
    "color and you ",
    "do not have to specify the color until the end of the game.",
};
constexpr std::array blockTwo = {
    "The game is played in rounds.  Cards are drawn one at a time from a face down deck and "
    "played in rows on the board by the players.  ",
    "Each round a player may take *one* row into his score pile; after he or she does this, they "
    "are completely out of the round.  ",
    "After every player has taken a row, the next round begins and everyone gets to play again.  ",
    "Thus there are as many rows as players in each round.  ",
    "Player proceeds clockwise from whichever player is chosen to go first in the first round.  "
    "In subsequent rounds, ",
    "the player to the left of the last player to take a row goes first.  On a player's turn, he "
    "may either 1)Draw the top card ",
    "of the deck AND place it on any one of the non-full rows on the board (rows may only hold up "
    "to 3 cards) OR 2)Take one ",
    "nonempty row from the board into his score pile (and he is then out for the rest of the "
    "round).  It is then the next player's turn.  ",
    "Play continues in this way until the round is over.  By now, every player has taken a row, "
    "so the board is clear and the next round starts immediately.  ",
};
constexpr std::array blockThree = {
    "Clearly, when playing cards, a player should take into account the colors each of the other "
    "players appear to be collecting.  He or she does not want ",
    "to build a row that is ideal to another player.  The cards players collect in their score "
    "piles are public and must be visible at all times.  A player ",
    "does not have to declare what colors they are collecting until the end of the game and thus "
    "may change their mind at any time.  ",
    "Cards can NEVER be removed from a score pile, however, so take rows with caution.  ",
    "Wilds are very valuable as they can be added to any color's stack in your score pile at the "
    "end of the game.  The +2 points cards are ",
    "simply added to your score at the end of the game.  The game is over when the last round is "
    "over.  You know you are on the last round when ",
    "there are no longer enough cards to guarantee that another round can be completed after the "
    "current one (i.e. there are not at least 3 * numberOfPlayers cards left in the deck.  ",
    "The game will announce when the current round is definitely the last round.  ",
};
constexpr std::array blockFour = {
    "After the end of the last round, each player declares which three colors he or she would "
    "like scored positively, without fail these are the colors with the most cards.  ",
    "Each of these three *colors* is scored according to the chart below.  Notice that it is not "
    "linear; specialization is good.  Now, the other four colors for each player are also scored "
    "according to the chart ",
    "but negatively!  Wilds are added to the positive scoring color of your choice before you "
    "score it.  Note that you get no bonus for having more than 6 of any one color.  ",
    "Each +2 points card simply adds two points to your score at the end.  Now, the player with "
    "the highest score wins!  ",
};
// One line of code for each line of the chart as the players see it, which
// clang-format would pack into columns.
// clang-format off
constexpr std::array scoringChart = {
    "Scoring Table",
    "# of cards \tScore",
    "1       \t1",
    "2       \t3",
    "3       \t6",
    "4       \t10",
    "5       \t15",
    "6-9     \t21",
};
// clang-format on

template <std::size_t N>
void showBlock(const std::array<const char*, N>& texts) {
    for (const char* text : texts) {
        std::cout << text;
    }
    endLine();
}

} // namespace

void ConsoleView::offerRules() const {
    std::cout << "Would you like to hear the rules? (Y/N) ";
    const std::optional<char> answer = readWordAnswer();
    if (!answer || *answer == 'n' || *answer == 'N') {
        return;
    }
    showBlock(blockOne);
    if (!pauseForEnter("Press enter to continue; ")) {
        return;
    }
    showBlock(blockTwo);
    if (!pauseForEnter("Press enter to continue; ")) {
        return;
    }
    showBlock(blockThree);
    if (!pauseForEnter("Press enter to continue; ")) {
        return;
    }
    std::cout << "Scoring!: ";
    endLine();
    showBlock(blockFour);
    for (const char* line : scoringChart) {
        std::cout << line;
        endLine();
    }
    endLine();
    pauseForEnter("Press enter to play; ");
}

} // namespace pellaro
