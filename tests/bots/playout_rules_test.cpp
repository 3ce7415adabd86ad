#include "bot_tables.h"
#include "bots/playout.h"
#include "bots/playout_state.h"
#include "bots/seat_view.h"
#include "engine/game_state.h"
#include "engine/scoring.h"
#include "engine/seeded_random.h"
#include "engine/turn_rules.h"

#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr std::array<TurnAction, 2> bothActions = {TurnAction::Draw, TurnAction::Take};

// The table of the playout state is the game's, field by field.
void expectSameTable(const PlayoutState& state, const GameState& game, const std::string& where) {
    ASSERT_EQ(state.numberOfPlayers, game.numberOfPlayers) << where;
    ASSERT_EQ(state.currentPlayer, game.currentPlayer) << where;
    ASSERT_EQ(state.nextCard, game.nextCard) << where;
    ASSERT_EQ(isLastRound(state), isLastRound(game)) << where;
    for (std::int32_t seat = 0; seat < game.numberOfPlayers; ++seat) {
        const PlayerState& player = game.players.at(seat);
        ASSERT_EQ(((state.outOfRound >> seat) & 1U) != 0, player.outOfRound) << where;
        for (int kind = 0; kind < cardKindCount; ++kind) {
            ASSERT_EQ(int{state.piles.at(seat).at(kind)}, player.counts.at(kind)) << where;
        }
        const Row& row = game.rows.at(seat);
        ASSERT_EQ(((state.taken >> seat) & 1U) != 0, row.taken) << where;
        for (int slot = 0; slot < rowLength; ++slot) {
            const CardKind expected = row.slots.at(slot);
            const bool filled = slot < state.rowCards.at(seat);
            ASSERT_EQ(filled, expected != noCard) << where;
            if (filled) {
                ASSERT_EQ(int{state.slots.at(seat).at(slot)}, int{expected}) << where;
            }
        }
    }
}

// The rows each action allows are the ones isRowValid accepts, out-of-range
// rows included.
void expectSameChoices(const PlayoutState& state, const GameState& game, const std::string& where) {
    for (const TurnAction action : bothActions) {
        const RowSet rows = action == TurnAction::Draw ? drawRows(state) : takeRows(state);
        for (std::int32_t row = -1; row <= game.numberOfPlayers; ++row) {
            ASSERT_EQ(contains(rows, row), isRowValid(game, action, row))
                << where << " action " << static_cast<int>(action) << " row " << row;
        }
    }
}

// A deal of the view's unseen cards puts exactly those cards, in some order,
// on the undrawn part of the deck.
void expectDealOfUnseen(const GameState& game, SeededRandom& random, const std::string& where) {
    const SeatView view = seatView(game);
    PlayoutState state = playoutState(view);
    ASSERT_NO_FATAL_FAILURE(expectSameTable(state, game, where + " (seat view)"));
    deal(state, unseenCards(view.unseen), state.nextCard, random);
    std::array<std::int32_t, cardKindCount> dealt{};
    std::array<std::int32_t, cardKindCount> undrawn{};
    for (std::int32_t position = game.nextCard; position < deckSize; ++position) {
        ++dealt.at(state.deck.at(position));
        ++undrawn.at(game.deck.at(position));
    }
    ASSERT_EQ(dealt, view.unseen) << where;
    ASSERT_EQ(undrawn, view.unseen) << where;
}

// Thousands of random games played on the engine and on the searches' own
// playout state side by side: after every move the two agree on everything,
// on which moves are legal, on when the game ends and on the final scores.
TEST(PlayoutRules, FollowTheEngineMoveForMove) {
    const std::int32_t gamesPerCount = scaledGames(2000);
    SeededRandom random = seededRandom(99);
    for (std::int32_t players = minPlayers; players <= maxPlayers; ++players) {
        for (std::int32_t index = 0; index < gamesPerCount; ++index) {
            GameState game = seededDeal(players, deriveSeed(players, index));
            PlayoutState state = playoutState(game);
            bool over = false;
            for (std::int32_t move = 0; !over; ++move) {
                const std::string where = std::to_string(players) + " players, game " +
                                          std::to_string(index) + ", move " + std::to_string(move);
                ASSERT_NO_FATAL_FAILURE(expectSameTable(state, game, where));
                ASSERT_NO_FATAL_FAILURE(expectSameChoices(state, game, where));
                if (move % 16 == 0) {
                    ASSERT_NO_FATAL_FAILURE(expectDealOfUnseen(game, random, where));
                }
                const PlayoutMove chosen = policyMove(state, PlayoutPolicy::Random, random);
                ASSERT_TRUE(isRowValid(game, chosen.action, chosen.row)) << where;
                over = applyMove(game, chosen.action, chosen.row);
                ASSERT_EQ(playMove(state, chosen.action, chosen.row), over) << where;
                ASSERT_LT(move, 200) << where;
            }
            expectSameTable(state, game, "end of game " + std::to_string(index));
            for (std::int32_t seat = 0; seat < players; ++seat) {
                ASSERT_EQ(scoreOf(state, seat), finalScore(game, seat));
            }
        }
    }
}

// The patient policy only ever makes legal moves, and plays whole games.
TEST(PlayoutRules, PatientPolicyPlaysLegalGames) {
    SeededRandom random = seededRandom(3);
    for (std::int32_t index = 0; index < scaledGames(200); ++index) {
        const std::int32_t players = minPlayers + index % 4;
        GameState game = seededDeal(players, deriveSeed(7, index));
        PlayoutState state = playoutState(game);
        bool over = false;
        while (!over) {
            const PlayoutMove chosen = policyMove(state, PlayoutPolicy::Patient, random);
            ASSERT_TRUE(isRowValid(game, chosen.action, chosen.row)) << "game " << index;
            over = applyMove(game, chosen.action, chosen.row);
            ASSERT_EQ(playMove(state, chosen.action, chosen.row), over);
        }
    }
}

// Results as each objective counts them, on finished piles made by hand.
TEST(PlayoutRules, OutcomesByObjective) {
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
        PlayoutState state;
        state.numberOfPlayers = 3;
        for (int seat = 0; seat < 3; ++seat) {
            state.piles.at(seat).at(PlusTwo) = static_cast<std::int8_t>(example.plusTwos.at(seat));
        }
        const auto margins = outcomes(state, Objective::Margin);
        const auto shares = outcomes(state, Objective::WinShare);
        // Three players: the margin.
        EXPECT_EQ(outcomes(state, Objective::ByTableSize), margins);
        for (int seat = 0; seat < 3; ++seat) {
            EXPECT_DOUBLE_EQ(margins.at(seat), example.margins.at(seat)) << "seat " << seat;
            EXPECT_DOUBLE_EQ(shares.at(seat), example.shares.at(seat)) << "seat " << seat;
        }
    }
}

} // namespace

namespace {

// Rows holding the same cards, in any order, are one choice; the lowest of
// them stands for the others.
TEST(PlayoutRules, RowsWithTheSameCardsAreOneChoice) {
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
        PlayoutState state;
        state.numberOfPlayers = static_cast<std::int32_t>(example.rows.size());
        for (std::size_t row = 0; row < example.rows.size(); ++row) {
            for (const CardKind card : example.rows[row]) {
                state.slots.at(row).at(state.rowCards.at(row)++) = static_cast<std::uint8_t>(card);
            }
        }
        EXPECT_EQ(distinctRows(state, allRows(state)), example.distinct);
    }
}

} // namespace
