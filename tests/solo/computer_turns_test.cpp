#include "bots/bot_game.h"
#include "bots/bot_tables.h"
#include "bots/seat_view.h"
#include "engine/game_state.h"
#include "engine/results.h"
#include "engine/turn.h"
#include "engine/turn_rules.h"
#include "solo/computer_turns.h"
#include "solo/strengths.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pellaro {

namespace {

// The strength's turn with whatever a bot of its kind is handed of the deck,
// as the simulator that measures the strengths hands it.
PlayedMove measuredTurn(Bot bot, const GameState& game) {
    const SeatView view = seatView(game);
    const DeckOrder order = deckOrderFor(bot, game);
    PlayedMove move;
    move.action = chooseAction(bot, view, order);
    move.card = move.action == TurnAction::Draw ? topCard(game) : noCard;
    move.row = chooseRow(bot, view, move.action, move.card, order);
    return move;
}

// Every strength is a bot that plays from its seat's view, so that what the
// simulator measures of it is what a person meets: over positions of games
// of every size, its action is the same whatever the order of the undrawn
// cards, and its turn the same whatever the order below the top card. The
// budgets are cut so that this takes a moment; the kind of bot is the
// strength's own.
TEST(ComputerTurns, EveryStrengthDecidesWithoutTheDeckOrder) {
    SeededRandom random = seededRandom(77);
    const std::uint32_t positions = PELLARO_COMPUTER_GAMES / 10;
    for (std::size_t s = 0; s < strengthCount; ++s) {
        BotSettings settings = settingsOf(static_cast<Strength>(s));
        settings.budget = std::min(settings.budget, 16);
        for (std::uint32_t index = 0; index < positions; ++index) {
            const std::int32_t players = minPlayers + static_cast<std::int32_t>(index % 4);
            const GameState game = randomPosition(players, deriveSeed(91, index), random);
            const Bot bot = newBot(settings, index, game.currentPlayer);
            const PlayedMove turn = measuredTurn(bot, game);
            const GameState reordered = withUndrawnPermuted(game, game.nextCard, random);
            const GameState belowTop = withUndrawnPermuted(game, game.nextCard + 1, random);
            EXPECT_EQ(measuredTurn(bot, reordered).action, turn.action)
                << strengthBots[s] << " at position " << index;
            const PlayedMove again = measuredTurn(bot, belowTop);
            EXPECT_TRUE(again.action == turn.action && again.row == turn.row)
                << strengthBots[s] << " at position " << index;
        }
    }
}

// Plays whole games with every seat a computer player, checking each move
// against the rules before it is played. Returns the number of moves.
int playCheckedGame(std::int32_t players, std::uint32_t seed, std::vector<Bot>& bots) {
    GameState game = newGame(players, seed);
    int moves = 0;
    for (bool over = false; !over; ++moves) {
        const ChosenMove move = decideComputerMove(game, bots[game.currentPlayer]);
        const bool legal =
            isActionPossible(game, move.action) && isRowValid(game, move.action, move.row);
        if (!legal) {
            ADD_FAILURE() << "illegal move in game " << seed << " with " << players << " players";
            return moves;
        }
        over = applyMove(game, move.action, move.row);
    }
    // A game draws between 75 - 3n and 74 cards.
    EXPECT_GE(game.nextCard, 75 - 3 * players);
    EXPECT_LE(game.nextCard, 74);
    return moves;
}

TEST(ComputerTurns, AThousandGamesAtEachStrengthAreAllLegal) {
    constexpr std::uint32_t games = PELLARO_COMPUTER_GAMES;
    // The searches' thousand games use their own bots on a small budget, so
    // that they take seconds, not hours; a few more use Medium's full settings.
    constexpr std::int32_t smallBudget = 8;
    struct Run {
        Strength strength;
        std::int32_t budget;
        std::uint32_t games;
    };
    const std::vector<Run> runs = {
        {Strength::Easy, settingsOf(Strength::Easy).budget, games},
        {Strength::Medium, smallBudget, games},
        {Strength::Medium, settingsOf(Strength::Medium).budget, games / 100},
        {Strength::Hard, smallBudget, games},
    };
    for (const Run& run : runs) {
        int moves = 0;
        for (std::uint32_t seed = 0; seed < run.games; ++seed) {
            const std::int32_t players = minPlayers + static_cast<std::int32_t>(seed % 4);
            const BotSettings settings{settingsOf(run.strength).entry, run.budget};
            std::vector<Bot> bots;
            bots.reserve(static_cast<std::size_t>(players));
            for (std::int32_t seat = 0; seat < players; ++seat) {
                bots.push_back(newBot(settings, seed, seat));
            }
            moves += playCheckedGame(players, seed, bots);
        }
        EXPECT_GT(moves, 0);
    }
}

// Medium and Hard beat the searches they replaced (the settings that play as
// Medium and Hard of commit 05c9368 did) on fixed two-player deals, each
// played from both seats,
// both sides on a twentieth of their budgets so that the check takes seconds.
// Were Medium or Hard set back to the old search and budget, they would win
// about half.
TEST(ComputerTurns, MediumAndHardBeatTheSearchesTheyReplaced) {
    if (PELLARO_COMPUTER_GAMES < 1000) {
        GTEST_SKIP() << "the same games are played in the optimised build, in a tenth of the time";
    }
    struct Case {
        Strength strength;
        const char* replaced;
        std::int32_t replacedBudget;
        std::int32_t fraction;
        std::uint32_t deals;
        double atLeast;
    };
    const std::array<Case, 2> cases = {{
        {Strength::Medium, "montecarlo:objective=margin-below-5:ties=first:allocation=even", 1000,
         20, 50, 0.55},
        {Strength::Hard, "ismcts:objective=margin-below-5:reuse=no:ties=first", 5000, 20, 30, 0.55},
    }};
    for (const Case& example : cases) {
        BotSettings strong = settingsOf(example.strength);
        strong.budget /= example.fraction;
        const auto old = botNamed(example.replaced, example.replacedBudget / example.fraction);
        ASSERT_TRUE(old.has_value());
        double share = 0.0;
        const std::uint32_t deals = example.deals;
        for (std::uint32_t index = 0; index < deals; ++index) {
            for (std::int32_t seat = 0; seat < 2; ++seat) {
                GameState game = newGame(2, 500 + index);
                std::vector<Bot> bots;
                bots.reserve(2);
                for (std::int32_t other = 0; other < 2; ++other) {
                    bots.push_back(newBot(other == seat ? strong : *old, 700 + index, other));
                }
                playBotGame(game, bots, nullptr);
                share += winShare(standings(game), seat);
            }
        }
        EXPECT_GT(share / (2 * deals), example.atLeast)
            << example.replaced << " won " << share / (2 * deals);
    }
}

// What a computer player decides cannot depend on the order of the cards
// below the top one, which its seat cannot know.
TEST(ComputerTurns, DecideWithoutKnowingTheDeckOrder) {
    // Every decision here is one of the full-strength searches.
    constexpr std::uint32_t seeds = PELLARO_COMPUTER_GAMES / 50;
    for (std::size_t s = 0; s < strengthCount; ++s) {
        const auto strength = static_cast<Strength>(s);
        for (std::uint32_t seed = 0; seed < seeds; ++seed) {
            const std::int32_t players = minPlayers + static_cast<std::int32_t>(seed % 4);
            GameState game = newGame(players, seed);
            std::vector<Bot> bots = computerPlayers(strength, seed, players);
            // Into the game a little, so the board and the piles hold cards.
            for (int move = 0; move < 9; ++move) {
                const ChosenMove played = decideComputerMove(game, bots[game.currentPlayer]);
                applyMove(game, played.action, played.row);
            }
            GameState reordered = game;
            std::reverse(reordered.deck.begin() + game.nextCard + 1, reordered.deck.end());
            ASSERT_NE(reordered.deck, game.deck);
            Bot first = bots[game.currentPlayer];
            Bot second = bots[game.currentPlayer];
            EXPECT_EQ(decideComputerMove(game, first), decideComputerMove(reordered, second))
                << seed;
        }
    }
}

} // namespace

} // namespace pellaro
