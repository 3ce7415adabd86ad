#include "bot_tables.h"
#include "bots/bot.h"
#include "bots/seat_view.h"
#include "engine/game_state.h"
#include "engine/seeded_random.h"
#include "engine/turn_rules.h"
#include "protocol/bot_protocol.h"

#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace pellaro {

namespace {

struct Decisions {
    TurnAction action = TurnAction::Draw;
    std::int32_t drawRow = -1;
    std::int32_t takeRow = -1;
};

// What the bot, in the state it has, decides on the game: its action, and
// the row it would choose for each possible action (for a Draw, knowing the
// top card).
Decisions decide(const Bot& bot, const GameState& game) {
    const SeatView view(game);
    const DeckOrder order = deckOrderFor(bot, game);
    Decisions decisions;
    Bot deciding = bot;
    decisions.action = chooseAction(deciding, view, order);
    for (const TurnAction action : bothActions) {
        if (isActionPossible(game, action)) {
            Bot choosing = bot;
            const std::int32_t row = chooseRow(
                choosing, view, action, action == TurnAction::Draw ? topCard(game) : noCard, order);
            (action == TurnAction::Draw ? decisions.drawRow : decisions.takeRow) = row;
        }
    }
    return decisions;
}

// The bot's turn as a game plays it: the action, then, by the same bot and
// with whatever its search kept, the row for that action.
Decisions playTurn(const Bot& bot, const GameState& game) {
    const SeatView view(game);
    Bot deciding = bot;
    Decisions decisions;
    decisions.action = chooseAction(deciding, view);
    const bool draw = decisions.action == TurnAction::Draw;
    const std::int32_t row =
        chooseRow(deciding, view, decisions.action, draw ? topCard(game) : noCard);
    EXPECT_TRUE(isRowValid(game, decisions.action, row)) << bot.settings.entry->name;
    (draw ? decisions.drawRow : decisions.takeRow) = row;
    return decisions;
}

bool operator==(const Decisions& left, const Decisions& right) {
    return left.action == right.action && left.drawRow == right.drawRow &&
           left.takeRow == right.takeRow;
}

// Over many positions of games of every size, another order of the undrawn
// deck changes no decision of a fair bot: not its action, chosen before the
// top card is known, and not its row, chosen knowing the top card (which
// stays on top). A bot marked unfair is handed the order, and must read it:
// it changes its mind in some positions, or the mark is wrong.
TEST(Fairness, TheUndrawnOrderNeverChangesAFairDecision) {
    SeededRandom random = seededRandom(2024);
    const auto entries = botRegistry();
    std::vector<std::int32_t> changes(entries.size());
    const std::int32_t positions = scaledGames(1000);
    for (std::int32_t index = 0; index < positions; ++index) {
        const std::int32_t players = minPlayers + index % 4;
        const GameState game = randomPosition(players, deriveSeed(11, index), random);
        for (std::size_t number = 0; number < entries.size(); ++number) {
            const BotEntry* entry = entries[number];
            const Bot bot = newBot(testSettings(entry), deriveSeed(12, index), game.currentPlayer);
            const Decisions original = decide(bot, game);
            const GameState reordered = withUndrawnPermuted(game, game.nextCard, random);
            const GameState belowTop = withUndrawnPermuted(game, game.nextCard + 1, random);
            const Decisions action = decide(bot, reordered);
            const Decisions rows = decide(bot, belowTop);
            if (!entry->fair) {
                changes[number] += original.action != action.action ? 1 : 0;
                changes[number] += original.drawRow != rows.drawRow ? 1 : 0;
                continue;
            }
            EXPECT_EQ(original.action, action.action) << entry->name << " at position " << index;
            EXPECT_TRUE(original == rows) << entry->name << " at position " << index;
        }
    }
    for (std::size_t number = 0; number < entries.size(); ++number) {
        EXPECT_TRUE(entries[number]->fair || changes[number] > 0) << entries[number]->name;
    }
}

// What a program's bot is sent is what its seat may know: over many
// positions a request is the same, byte for byte, whatever the order of the
// undrawn cards below the top. It reads back to the table it was written
// from, and every fair bot decides on the table read back exactly as on the
// game, which is what pellaro-sim bot relies on to play as the built-in bot.
TEST(Fairness, ARequestHoldsTheSeatsViewAndNothingOfTheDeck) {
    SeededRandom random = seededRandom(2025);
    const std::int32_t positions = scaledGames(300);
    for (std::int32_t index = 0; index < positions; ++index) {
        const std::int32_t players = minPlayers + index % 4;
        const GameState game = randomPosition(players, deriveSeed(21, index), random);
        const GameState belowTop = withUndrawnPermuted(game, game.nextCard + 1, random);
        const std::uint64_t seed = deriveSeed(22, index);
        for (const RequestKind kind : {RequestKind::Move, RequestKind::Place}) {
            if (kind == RequestKind::Place && !isActionPossible(game, TurnAction::Draw)) {
                continue;
            }
            const CardKind drawn = kind == RequestKind::Place ? topCard(game) : noCard;
            std::string request;
            std::string permuted;
            appendRequest(request, kind, seed, SeatView(game), drawn);
            appendRequest(permuted, kind, seed, SeatView(belowTop), drawn);
            ASSERT_EQ(request, permuted) << "position " << index;

            BotRequest read;
            std::string error;
            ASSERT_TRUE(
                parseRequest(std::string_view(request).substr(0, request.size() - 1), read, error))
                << request << error;
            EXPECT_EQ(read.seed, seed);
            EXPECT_EQ(read.drawn, drawn);
            std::string again;
            appendRequest(again, kind, seed, SeatView(read.table), read.drawn);
            EXPECT_EQ(again, request);
            // The deck goes back under the table read, for the Draw's top
            // card; a fair bot reads nothing else of it.
            GameState table = read.table;
            table.deck = game.deck;
            for (const BotEntry* entry : botRegistry()) {
                if (entry->fair) {
                    const Bot bot = newBot(testSettings(entry), seed, game.currentPlayer);
                    EXPECT_TRUE(decide(bot, game) == decide(bot, table))
                        << entry->name << " at position " << index;
                }
            }
        }
    }
}

// A whole turn too, the row chosen by the bot that chose the action (the
// tree search goes on from the tree it grew for the action): with the top
// card kept and the cards below it in another order, every fair bot plays
// the same legal turn.
TEST(Fairness, TheUndrawnOrderNeverChangesAFairTurn) {
    SeededRandom random = seededRandom(2025);
    const std::int32_t positions = scaledGames(300);
    for (std::int32_t index = 0; index < positions; ++index) {
        const std::int32_t players = minPlayers + index % 4;
        const GameState game = randomPosition(players, deriveSeed(13, index), random);
        const GameState belowTop = withUndrawnPermuted(game, game.nextCard + 1, random);
        for (const BotEntry* entry : botRegistry()) {
            if (entry->fair) {
                const Bot bot =
                    newBot(testSettings(entry), deriveSeed(14, index), game.currentPlayer);
                EXPECT_TRUE(playTurn(bot, game) == playTurn(bot, belowTop))
                    << entry->name << " at position " << index;
            }
        }
    }
}

} // namespace

} // namespace pellaro
