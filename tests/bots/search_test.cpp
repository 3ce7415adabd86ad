#include "bot_tables.h"
#include "bots/bot.h"
#include "bots/seat_view.h"
#include "engine/game_state.h"
#include "engine/scoring.h"
#include "engine/turn_rules.h"

#include <array>
#include <cstdint>
#include <gtest/gtest.h>

namespace {

using Counts = std::array<std::int32_t, cardKindCount>;

// The last round of a two-player game, both players still in, seat 0 to
// move: row 0 holds three red cards, row 1 a green one, and seven cards are
// unseen: two blue, two yellow, a pink, a silver and a violet. Both players
// hold three reds.
GameState lastRoundDecision() {
    const Counts mine = {3, 2, 2, 2, 2, 7, 6, 0, 2};
    const Counts unseen = {0, 0, 2, 2, 1, 1, 1, 0, 0};
    const Counts onBoard = {3, 1, 0, 0, 0, 0, 0, 0, 0};
    const Counts wholeDeck = {9, 9, 9, 9, 9, 9, 9, 3, 10};
    GameState game = seededDeal(2, 1);
    Counts rivals{};
    std::int32_t position = 0;
    for (int kind = 0; kind < cardKindCount; ++kind) {
        rivals.at(kind) = wholeDeck.at(kind) - mine.at(kind) - unseen.at(kind) - onBoard.at(kind);
        // The drawn part of the deck first, the unseen cards after it.
        for (std::int32_t card = 0; card < wholeDeck.at(kind) - unseen.at(kind); ++card) {
            game.deck.at(position++) = static_cast<CardKind>(kind);
        }
    }
    game.nextCard = position;
    for (int kind = 0; kind < cardKindCount; ++kind) {
        for (std::int32_t card = 0; card < unseen.at(kind); ++card) {
            game.deck.at(position++) = static_cast<CardKind>(kind);
        }
    }
    game.players.at(0).counts = mine;
    game.players.at(1).counts = rivals;
    game.rows.at(0) = Row{true, false, {Red, Red, Red}};
    game.rows.at(1) = Row{false, false, {Green, noCard, noCard}};
    return game;
}

// Taking the reds is the one move that wins against any answer: seat 0
// then scores 55, and the rival, left with the green row and at most two
// more cards, 54 at best. After a Draw or the green row instead, the rival
// takes the reds, which costs him points (54 down to 45) but leaves seat 0
// below that. The searches find the take at small budgets.
TEST(Searches, FindTheOneTakeThatWinsTheGame) {
    const GameState game = lastRoundDecision();
    ASSERT_TRUE(isLastRound(game));
    ASSERT_EQ(finalScore(game, 0), 40);
    ASSERT_EQ(finalScore(game, 1), 54);
    GameState afterTake = game;
    ASSERT_FALSE(applyMove(afterTake, TurnAction::Take, 0));
    ASSERT_EQ(finalScore(afterTake, 0), 55);
    for (const Strategy strategy : allStrategies) {
        if (strategy == Strategy::Random || strategy == Strategy::Greedy) {
            continue;
        }
        for (const std::int32_t budget : {50, 400}) {
            Bot bot = newBot(BotSettings{strategy, budget}, 3, 0);
            const SeatView view = isFair(strategy) ? seatView(game) : revealedView(game);
            EXPECT_EQ(chooseAction(bot, view), TurnAction::Take)
                << strategyName(strategy) << " at " << budget;
            EXPECT_EQ(chooseRow(bot, view, TurnAction::Take, noCard), 0)
                << strategyName(strategy) << " at " << budget;
        }
    }
}

} // namespace
