#include "bot_tables.h"
#include "bots/bot.h"
#include "bots/bot_game.h"
#include "bots/seat_view.h"
#include "engine/game_state.h"
#include "engine/results.h"
#include "engine/seeded_random.h"
#include "engine/turn_rules.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace pellaro {

namespace {

// The share of the games that the seat of the one strategy wins (a tie
// counting as a share of a win), over the same deals for every game size,
// the strategy playing each seat in turn against the other strategy.
double winShareOf(std::string_view one, std::string_view others, std::int32_t players,
                  std::int32_t deals) {
    double share = 0.0;
    std::int32_t games = 0;
    for (std::int32_t dealt = 0; dealt < deals; ++dealt) {
        for (std::int32_t seat = 0; seat < players; ++seat) {
            GameState game = seededDeal(players, deriveSeed(51, dealt));
            std::vector<Bot> bots;
            bots.reserve(static_cast<std::size_t>(players));
            for (std::int32_t other = 0; other < players; ++other) {
                bots.push_back(newBot(settingsNamed(other == seat ? one : others),
                                      deriveSeed(52, dealt), other));
            }
            playBotGame(game, bots, nullptr);
            const std::vector<std::int32_t> won = winners(game, topScore(game, allScores(game)));
            const auto seatWon = std::count(won.begin(), won.end(), seat + 1);
            share += static_cast<double>(seatWon) / static_cast<double>(won.size());
            ++games;
        }
    }
    return share / games;
}

// The greedy bot beats random play decisively at every table size: fixed
// deals, so the figures are always the same (about 0.8 with two players,
// 0.9 with five against four random players, where a fair share is 0.2).
TEST(Greedy, BeatsRandomPlayDecisively) {
    EXPECT_GT(winShareOf("greedy", "random", 2, 200), 0.7);
    EXPECT_GT(winShareOf("greedy", "random", 3, 60), 0.7);
    EXPECT_GT(winShareOf("greedy", "random", 5, 40), 0.6);
}

struct Position {
    const char* what;
    std::array<std::int32_t, cardKindCount> myPile;
    std::array<std::int32_t, cardKindCount> rivalPile;
    std::vector<std::vector<CardKind>> rows;
    CardKind drawn;
    // The action expected, or the action whose row alone is checked.
    TurnAction expectedAction;
    bool checkAction;
    std::int32_t expectedRow;
};

// A two-player table made by hand: seat 0 to move, seat 1 its rival.
GameState tableOf(const Position& position) {
    GameState game = seededDeal(2, 1);
    game.players[0].counts = position.myPile;
    game.players[1].counts = position.rivalPile;
    std::int32_t cards = 0;
    for (std::size_t row = 0; row < position.rows.size(); ++row) {
        for (std::size_t slot = 0; slot < position.rows[row].size(); ++slot) {
            game.rows.at(row).slots.at(slot) = position.rows[row][slot];
            ++cards;
        }
        game.rows.at(row).full = position.rows[row].size() == rowLength;
    }
    // The cards on the table have been drawn; the top card is the one drawn now.
    game.nextCard = 20;
    game.deck.at(game.nextCard) = position.drawn;
    return game;
}

// Plain situations with one sensible answer each.
TEST(Greedy, ChoosesTheObviousMoves) {
    const std::array<Position, 4> positions = {{
        {"a full row of its best colour is taken at once",
         {4, 0, 0, 0, 0, 0, 0, 0, 0},
         {0, 3, 0, 0, 0, 0, 0, 0, 0},
         {{Red, Red, Red}, {Green}},
         Red,
         TurnAction::Take,
         true,
         0},
        {"a row of three colours that neither player can use is left while it can draw",
         {5, 5, 5, 0, 0, 0, 0, 0, 0},
         {2, 2, 0, 0, 0, 0, 3, 0, 0},
         {{Yellow, Pink, Silver}, {}},
         Red,
         TurnAction::Draw,
         true,
         1},
        {"its own colour goes onto the empty row, not beside the rival's colour",
         {4, 0, 0, 0, 0, 0, 0, 0, 0},
         {0, 4, 0, 0, 0, 0, 0, 0, 0},
         {{}, {Green}},
         Red,
         TurnAction::Draw,
         false,
         0},
        {"of two rows it takes the one that scores more for it",
         {3, 3, 0, 0, 0, 0, 0, 0, 0},
         {0, 0, 3, 0, 0, 0, 0, 0, 0},
         {{Red, Violet}, {Green, Green, PlusTwo}},
         Red,
         TurnAction::Take,
         true,
         1},
    }};
    for (const Position& position : positions) {
        const GameState game = tableOf(position);
        const SeatView view = seatView(game);
        Bot bot = newBot(settingsNamed("greedy"), 1, 0);
        if (position.checkAction) {
            EXPECT_EQ(chooseAction(bot, view), position.expectedAction) << position.what;
        }
        EXPECT_EQ(chooseRow(bot, view, position.expectedAction, topCard(game)),
                  position.expectedRow)
            << position.what;
    }
}

} // namespace

} // namespace pellaro
