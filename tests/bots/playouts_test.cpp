#include "bot_tables.h"
#include "bots/bot.h"
#include "bots/playout.h"
#include "bots/seat_view.h"
#include "engine/game_state.h"
#include "engine/seeded_random.h"
#include "engine/turn_rules.h"

#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pellaro {

namespace {

// What a seat's view offers for each action is exactly what isRowValid
// accepts, out-of-range rows included; and over many seeds the random bot
// picks every row offered, and nothing else.
void expectOffersEveryLegalRow(const GameState& game, std::uint64_t seed,
                               const std::string& where) {
    const SeatView view(game);
    for (const TurnAction action : bothActions) {
        const RowSet offered = view.rowsFor(action);
        for (std::int32_t row = -1; row <= game.numberOfPlayers; ++row) {
            ASSERT_EQ(contains(offered, row), isRowValid(game, action, row))
                << where << ", action " << static_cast<int>(action) << ", row " << row;
        }
        if (offered == 0) {
            continue;
        }
        RowSet chosen = 0;
        for (std::uint64_t trial = 0; trial < 120; ++trial) {
            Bot bot = newBot(settingsNamed("random"), seed + trial, game.currentPlayer);
            chosen |= rowBit(
                chooseRow(bot, view, action, action == TurnAction::Draw ? topCard(game) : noCard));
        }
        ASSERT_EQ(chosen, offered) << where << ", action " << static_cast<int>(action);
    }
}

// A deal of the view's unseen cards puts exactly those cards, in some order,
// on the undrawn part of the deck, the same cards as the real deck holds there.
void expectDealOfUnseen(const GameState& game, SeededRandom& random, const std::string& where) {
    const SeatView view(game);
    GameState table = view.table();
    const auto unseen = view.unseen();
    deal(table, unseenCards(unseen), table.nextCard, random);
    std::array<std::int32_t, cardKindCount> dealt{};
    std::array<std::int32_t, cardKindCount> undrawn{};
    for (std::int32_t position = game.nextCard; position < deckSize; ++position) {
        ++dealt.at(table.deck.at(position));
        ++undrawn.at(game.deck.at(position));
    }
    ASSERT_EQ(dealt, unseen) << where;
    ASSERT_EQ(undrawn, unseen) << where;
}

// Over random games of every size, checked at every move.
TEST(Playouts, EverySeatIsOfferedEveryLegalRowAndNoOther) {
    SeededRandom random = seededRandom(99);
    for (std::int32_t players = minPlayers; players <= maxPlayers; ++players) {
        for (std::int32_t index = 0; index < scaledGames(40); ++index) {
            const std::uint64_t gameSeed = deriveSeed(players, index);
            GameState game = seededDeal(players, gameSeed);
            bool over = false;
            for (std::int32_t move = 0; !over; ++move) {
                const std::string where = std::to_string(players) + " players, game " +
                                          std::to_string(index) + ", move " + std::to_string(move);
                ASSERT_NO_FATAL_FAILURE(
                    expectOffersEveryLegalRow(game, deriveSeed(gameSeed, move), where));
                if (move % 8 == 0) {
                    ASSERT_NO_FATAL_FAILURE(expectDealOfUnseen(game, random, where));
                }
                const PlayoutMove chosen =
                    policyMove(game, rowChoices(game), PlayoutPolicy::Random, random);
                over = applyMove(game, chosen.action, chosen.row);
            }
        }
    }
}

// Both policies only ever make legal moves, and play whole games; the rows
// that the moves keep up to date are the rows the board allows.
TEST(Playouts, PoliciesPlayLegalGames) {
    SeededRandom random = seededRandom(3);
    for (std::int32_t index = 0; index < scaledGames(400); ++index) {
        const std::int32_t players = minPlayers + index % 4;
        const auto policy = index % 2 == 0 ? PlayoutPolicy::Patient : PlayoutPolicy::Random;
        GameState game = seededDeal(players, deriveSeed(7, index));
        RowChoices choices = rowChoices(game);
        bool over = false;
        for (std::int32_t move = 0; !over; ++move) {
            ASSERT_LT(move, 200) << "game " << index;
            const PlayoutMove chosen = policyMove(game, choices, policy, random);
            ASSERT_TRUE(isRowValid(game, chosen.action, chosen.row)) << "game " << index;
            over = applyMove(game, chosen.action, chosen.row, choices);
            if (!over) {
                const RowChoices looked = rowChoices(game);
                ASSERT_EQ(choices.draws, looked.draws) << "game " << index << ", move " << move;
                ASSERT_EQ(choices.takes, looked.takes) << "game " << index << ", move " << move;
            }
        }
        ASSERT_TRUE(isLastRound(game)) << "game " << index;
    }
}

// Results as each objective counts them, on finished piles made by hand.
TEST(Playouts, OutcomesByObjective) {
    struct Case {
        std::array<std::int32_t, 3> plusTwos;
        std::array<double, 3> margins;
        std::array<double, 3> shares;
    };
    // Piles of +2 cards alone score two points a card.
    const std::array<Case, 4> cases = {{
        {{3, 1, 0}, {4, -4, -6}, {1, 0, 0}},
        {{2, 2, 1}, {0, 0, -2}, {0.5, 0.5, 0}},
        {{0, 0, 0}, {0, 0, 0}, {1.0 / 3, 1.0 / 3, 1.0 / 3}},
        {{1, 4, 4}, {-6, 0, 0}, {0, 0.5, 0.5}},
    }};
    for (const Case& example : cases) {
        GameState game = seededDeal(3, 1);
        for (int seat = 0; seat < 3; ++seat) {
            game.players.at(seat).counts.at(PlusTwo) = example.plusTwos.at(seat);
        }
        const auto margins = outcomes(game, Objective::Margin);
        const auto shares = outcomes(game, Objective::WinShare);
        // Three players: the share of wins.
        EXPECT_EQ(outcomes(game, Objective::ByTableSize), shares);
        for (int seat = 0; seat < 3; ++seat) {
            EXPECT_DOUBLE_EQ(margins.at(seat), example.margins.at(seat)) << "seat " << seat;
            EXPECT_DOUBLE_EQ(shares.at(seat), example.shares.at(seat)) << "seat " << seat;
        }
    }
    // Head to head: the margin.
    GameState two = seededDeal(2, 1);
    two.players.at(0).counts.at(PlusTwo) = 1;
    EXPECT_EQ(outcomes(two, Objective::ByTableSize), outcomes(two, Objective::Margin));
    EXPECT_NE(outcomes(two, Objective::ByTableSize), outcomes(two, Objective::WinShare));
}

// Rows holding the same cards, in any order, are one choice; the lowest of
// them stands for the others.
TEST(Playouts, RowsWithTheSameCardsAreOneChoice) {
    struct Case {
        std::vector<std::vector<CardKind>> rows;
        RowSet distinct;
    };
    const std::array<Case, 4> cases = {{
        {{{}, {}, {}, {}, {}}, 0b00001},
        {{{Red, Blue}, {Blue, Red}, {Red}, {}, {Red, Blue, Blue}}, 0b11101},
        {{{Wild}, {PlusTwo}, {}}, 0b111},
        {{{Green, Green, Pink}, {Green, Pink, Green}, {Pink, Green, Green}, {}}, 0b1001},
    }};
    for (const Case& example : cases) {
        const auto players = static_cast<std::int32_t>(example.rows.size());
        GameState game = seededDeal(players, 1);
        for (std::size_t row = 0; row < example.rows.size(); ++row) {
            std::copy(example.rows[row].begin(), example.rows[row].end(),
                      game.rows.at(row).slots.begin());
        }
        EXPECT_EQ(distinctRows(game, allRowsOf(players)), example.distinct);
    }
}

} // namespace

} // namespace pellaro
