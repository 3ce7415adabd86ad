#include "engine/card.h"
#include "engine/game_state.h"
#include "engine/turn_rules.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <gtest/gtest.h>
#include <initializer_list>
#include <numeric>
#include <string>
#include <vector>

namespace pellaro {

namespace {

using Slots = std::array<CardKind, rowLength>;
using Counts = std::array<std::int32_t, cardKindCount>;

constexpr Slots emptySlots = {noCard, noCard, noCard};
constexpr TurnAction Draw = TurnAction::Draw;
constexpr TurnAction Take = TurnAction::Take;

// A game whose deck starts with the given cards.
GameState gameWithTopCards(std::int32_t players, std::initializer_list<CardKind> cards) {
    GameState game = newGame(players, 1U);
    std::copy(cards.begin(), cards.end(), game.deck.begin());
    return game;
}

void expectRow(const Row& row, bool full, bool taken, const Slots& slots) {
    EXPECT_EQ(row.full, full);
    EXPECT_EQ(row.taken, taken);
    EXPECT_EQ(row.slots, slots);
}

void expectClearedBoard(const GameState& game) {
    for (const PlayerState& player : game.players) {
        EXPECT_FALSE(player.outOfRound);
    }
    for (const Row& row : game.rows) {
        expectRow(row, false, false, emptySlots);
    }
}

Counts countsOf(std::initializer_list<CardKind> cards) {
    Counts counts{};
    for (const CardKind card : cards) {
        ++counts[card];
    }
    return counts;
}

TEST(TurnRules, TwoPlayerRoundStepByStep) {
    GameState game = gameWithTopCards(2, {Red, Green, Blue, Yellow});

    // Seat 0 draws the red card onto row 0.
    ASSERT_EQ(game.currentPlayer, 0);
    EXPECT_TRUE(isActionPossible(game, Draw));
    EXPECT_FALSE(isActionPossible(game, Take));
    EXPECT_EQ(topCard(game), Red);
    ASSERT_TRUE(isRowValid(game, Draw, 0));
    EXPECT_FALSE(applyMove(game, Draw, 0));
    expectRow(game.rows[0], false, false, {Red, noCard, noCard});
    expectRow(game.rows[1], false, false, emptySlots);
    EXPECT_EQ(game.nextCard, 1);
    EXPECT_EQ(game.currentPlayer, 1);

    // Seat 1 draws the green card onto row 0.
    EXPECT_EQ(topCard(game), Green);
    ASSERT_TRUE(isRowValid(game, Draw, 0));
    EXPECT_FALSE(applyMove(game, Draw, 0));
    expectRow(game.rows[0], false, false, {Red, Green, noCard});
    EXPECT_EQ(game.nextCard, 2);
    EXPECT_EQ(game.currentPlayer, 0);

    // Seat 0 takes row 0 and sits out; the row keeps its cards.
    EXPECT_TRUE(isActionPossible(game, Take));
    EXPECT_FALSE(isRowValid(game, Take, 1));
    ASSERT_TRUE(isRowValid(game, Take, 0));
    EXPECT_FALSE(applyMove(game, Take, 0));
    EXPECT_EQ(game.players[0].counts, countsOf({Red, Green}));
    EXPECT_TRUE(game.players[0].outOfRound);
    EXPECT_EQ(game.players[1].counts, Counts{});
    EXPECT_FALSE(game.players[1].outOfRound);
    expectRow(game.rows[0], false, true, {Red, Green, noCard});
    EXPECT_EQ(game.nextCard, 2);
    EXPECT_EQ(game.currentPlayer, 1);

    // Seat 1 cannot take: row 0 is taken and row 1 is empty. It draws and moves again.
    EXPECT_FALSE(isActionPossible(game, Take));
    EXPECT_TRUE(isActionPossible(game, Draw));
    EXPECT_FALSE(isRowValid(game, Take, 0));
    EXPECT_FALSE(isRowValid(game, Take, 1));
    EXPECT_FALSE(isRowValid(game, Draw, 0));
    ASSERT_TRUE(isRowValid(game, Draw, 1));
    EXPECT_FALSE(applyMove(game, Draw, 1));
    expectRow(game.rows[1], false, false, {Blue, noCard, noCard});
    EXPECT_EQ(game.nextCard, 3);
    EXPECT_EQ(game.currentPlayer, 1);

    // Seat 1 takes row 1: the round ends, the board is cleared, seat 0 opens.
    EXPECT_TRUE(isActionPossible(game, Take));
    ASSERT_TRUE(isRowValid(game, Take, 1));
    EXPECT_FALSE(applyMove(game, Take, 1));
    EXPECT_EQ(game.players[0].counts, countsOf({Red, Green}));
    EXPECT_EQ(game.players[1].counts, countsOf({Blue}));
    expectClearedBoard(game);
    EXPECT_EQ(game.currentPlayer, 0);
    EXPECT_EQ(game.nextCard, 3);
    EXPECT_EQ(topCard(game), Yellow);
    EXPECT_FALSE(isLastRound(game));
    EXPECT_TRUE(isActionPossible(game, Draw));
    EXPECT_FALSE(isActionPossible(game, Take));
}

TEST(TurnRules, ThreePlayersPassTheTurnToTheNextSeatStillIn) {
    GameState game = gameWithTopCards(3, {Red, Green, Blue, Yellow, Pink, Silver, Violet});
    ASSERT_FALSE(applyMove(game, Draw, 0));
    ASSERT_EQ(game.currentPlayer, 1);
    ASSERT_FALSE(applyMove(game, Take, 0));
    EXPECT_EQ(game.currentPlayer, 2);
    ASSERT_FALSE(applyMove(game, Draw, 1));
    EXPECT_EQ(game.currentPlayer, 0);
    EXPECT_EQ(nextActivePlayer(game), 2);
    ASSERT_FALSE(applyMove(game, Draw, 2));
    EXPECT_EQ(game.currentPlayer, 2) << "seat 1 is out and must be skipped";
    ASSERT_FALSE(applyMove(game, Take, 1));
    EXPECT_EQ(game.currentPlayer, 0);

    // Seats 1 and 2 are out: seat 0 moves after every move of its own.
    EXPECT_EQ(nextActivePlayer(game), 0);
    ASSERT_FALSE(applyMove(game, Draw, 2));
    EXPECT_EQ(game.currentPlayer, 0);
    ASSERT_FALSE(applyMove(game, Draw, 2));
    EXPECT_EQ(game.currentPlayer, 0);
    expectRow(game.rows[2], true, false, {Blue, Yellow, Pink});
    EXPECT_FALSE(isActionPossible(game, Draw)) << "rows 0 and 1 taken, row 2 full";
    EXPECT_TRUE(isActionPossible(game, Take));
    ASSERT_FALSE(applyMove(game, Take, 2));
    EXPECT_EQ(game.players[0].counts, countsOf({Blue, Yellow, Pink}));
    EXPECT_EQ(game.players[1].counts, countsOf({Red}));
    EXPECT_EQ(game.players[2].counts, countsOf({Green}));
    expectClearedBoard(game);
    EXPECT_EQ(game.currentPlayer, 1);
}

TEST(TurnRules, WhenNobodyIsInTheNextSeatFollowsTheCurrentOne) {
    for (std::int32_t players = minPlayers; players <= maxPlayers; ++players) {
        GameState game = newGame(players, 1U);
        for (PlayerState& player : game.players) {
            player.outOfRound = true;
        }
        for (std::int32_t seat = 0; seat < players; ++seat) {
            game.currentPlayer = seat;
            EXPECT_EQ(nextActivePlayer(game), (seat + 1) % players);
        }
    }
}

// Plays one round in which the seats take rows in the given order while the
// others draw, and returns the seats in the order they actually took.
std::vector<std::int32_t> playRoundTakingInOrder(GameState& game,
                                                 const std::vector<std::int32_t>& order) {
    std::vector<std::int32_t> takers;
    for (int move = 0; move < 100 && takers.size() < order.size(); ++move) {
        const std::int32_t seat = game.currentPlayer;
        const bool due = seat == order[takers.size()];
        const bool take = (due && isActionPossible(game, Take)) || !isActionPossible(game, Draw);
        const TurnAction action = take ? Take : Draw;
        // Take the fullest row and draw onto the emptiest, so nobody is forced to take early.
        std::int32_t chosen = -1;
        std::int32_t chosenCards = take ? -1 : rowLength + 1;
        for (std::int32_t row = 0; row < game.numberOfPlayers; ++row) {
            if (!isRowValid(game, action, row)) {
                continue;
            }
            const auto cards = static_cast<std::int32_t>(
                std::count_if(game.rows[row].slots.begin(), game.rows[row].slots.end(),
                              [](CardKind card) { return card != noCard; }));
            if (take ? cards > chosenCards : cards < chosenCards) {
                chosen = row;
                chosenCards = cards;
            }
        }
        if (chosen < 0) {
            ADD_FAILURE() << "no valid row for seat " << seat;
            break;
        }
        if (take) {
            takers.push_back(seat);
        }
        EXPECT_FALSE(applyMove(game, action, chosen));
    }
    return takers;
}

TEST(TurnRules, NextRoundIsOpenedByTheSeatAfterTheLastTaker) {
    for (std::int32_t players = minPlayers; players <= maxPlayers; ++players) {
        std::vector<std::int32_t> order(static_cast<std::size_t>(players));
        std::iota(order.begin(), order.end(), 0);
        do {
            std::string trace = std::to_string(players) + " players, takers";
            for (const std::int32_t seat : order) {
                trace += " " + std::to_string(seat);
            }
            SCOPED_TRACE(trace);
            GameState game = newGame(players, 2U);
            ASSERT_EQ(playRoundTakingInOrder(game, order), order);
            expectClearedBoard(game);
            EXPECT_EQ(game.currentPlayer, (order.back() + 1) % players);
        } while (std::next_permutation(order.begin(), order.end()));
    }
}

// Five rows, one of each kind that matters to the checks.
GameState boardOfEveryKindOfRow() {
    GameState game = newGame(5, 1U);
    game.rows[0] = Row{true, true, {Red, Green, Blue}};
    game.rows[1] = Row{false, true, {Yellow, noCard, noCard}};
    game.rows[2] = Row{true, false, {Pink, Silver, Violet}};
    game.rows[3] = Row{};
    game.rows[4] = Row{false, false, {Wild, PlusTwo, noCard}};
    game.players[0].outOfRound = true;
    game.players[1].outOfRound = true;
    game.currentPlayer = 2;
    return game;
}

TEST(TurnRules, RowValidityAndWhyARowIsRefused) {
    using enum RowRefusal;
    struct Case {
        std::int32_t row;
        RowRefusal draw;
        RowRefusal take;
        const char* what;
    };
    const std::array<Case, 10> cases = {{
        {-1, NoSuchRow, NoSuchRow, "below the first row"},
        {5, NoSuchRow, NoSuchRow, "one past the last row"},
        {INT_MIN, NoSuchRow, NoSuchRow, "far below"},
        {INT_MAX, NoSuchRow, NoSuchRow, "far above"},
        {0, Taken, Taken, "taken, holding three cards"},
        {1, Taken, Taken, "taken, holding one card"},
        {2, Full, None, "full"},
        {3, None, Empty, "empty"},
        {4, None, None, "two cards"},
        {-5, NoSuchRow, NoSuchRow, "negative row count"},
    }};
    const GameState game = boardOfEveryKindOfRow();
    for (const Case& check : cases) {
        SCOPED_TRACE(check.what);
        EXPECT_EQ(rowRefusal(game, Draw, check.row), check.draw);
        EXPECT_EQ(rowRefusal(game, Take, check.row), check.take);
        EXPECT_EQ(isRowValid(game, Draw, check.row), check.draw == None);
        EXPECT_EQ(isRowValid(game, Take, check.row), check.take == None);
    }
}

TEST(TurnRules, ActionIsPossibleWhenSomeRowAllowsIt) {
    const Row empty{};
    const Row oneCard{false, false, {Red, noCard, noCard}};
    const Row full{true, false, {Red, Green, Blue}};
    const Row takenFull{true, true, {Red, Green, Blue}};
    const Row takenOne{false, true, {Red, noCard, noCard}};
    struct Case {
        RowList rows;
        bool drawPossible;
        bool takePossible;
        const char* what;
    };
    const std::vector<Case> cases = {
        {{empty, empty}, true, false, "first turn of a round, two players"},
        {{empty, empty, empty, empty, empty}, true, false, "first turn of a round, five players"},
        {{takenFull, full}, false, true, "the only untaken row is full"},
        {{takenFull, empty}, true, false, "the only untaken row is empty"},
        {{takenOne, oneCard}, true, true, "the only untaken row holds one card"},
        {{full, full, full}, false, true, "every row full"},
        {{takenOne, takenFull, empty}, true, false, "two taken rows and an empty one"},
        {{takenFull, takenOne}, false, false, "every row taken"},
    };
    for (const Case& check : cases) {
        SCOPED_TRACE(check.what);
        GameState game = newGame(static_cast<std::int32_t>(check.rows.size()), 1U);
        game.rows = check.rows;
        EXPECT_EQ(isActionPossible(game, Draw), check.drawPossible);
        EXPECT_EQ(isActionPossible(game, Take), check.takePossible);
    }
}

TEST(TurnRules, TakeAddsTheFilledSlotsToTheTakersPile) {
    struct Case {
        Slots slots;
        const char* what;
    };
    const std::array<Case, 6> cases = {{
        {{Red, Wild, PlusTwo}, "a red, a wild and a +2 card"},
        {{Green, noCard, noCard}, "one card"},
        {{Blue, Blue, noCard}, "two of a colour"},
        {{PlusTwo, PlusTwo, PlusTwo}, "three +2 cards"},
        {{Violet, Red, Red}, "a full mixed row"},
        {{Wild, Silver, noCard}, "a wild first"},
    }};
    const Counts before = {1, 0, 0, 0, 0, 0, 3, 1, 2};
    for (const Case& check : cases) {
        SCOPED_TRACE(check.what);
        GameState game = newGame(3, 1U);
        game.players[1].counts = before;
        game.currentPlayer = 1;
        game.nextCard = 20;
        game.rows[1] = Row{check.slots[2] != noCard, false, check.slots};
        const Row takenRow = game.rows[1];

        ASSERT_TRUE(isRowValid(game, Take, 1));
        EXPECT_FALSE(applyMove(game, Take, 1));

        Counts expected = before;
        for (const CardKind card : check.slots) {
            if (card != noCard) {
                ++expected[card];
            }
        }
        EXPECT_EQ(game.players[1].counts, expected);
        EXPECT_TRUE(game.players[1].outOfRound);
        EXPECT_EQ(game.players[0].counts, Counts{});
        EXPECT_EQ(game.players[2].counts, Counts{});
        EXPECT_FALSE(game.players[0].outOfRound);
        EXPECT_FALSE(game.players[2].outOfRound);
        expectRow(game.rows[1], takenRow.full, true, check.slots);
        EXPECT_EQ(game.nextCard, 20);
        EXPECT_EQ(game.currentPlayer, 2);
    }
}

TEST(TurnRules, DrawFillsTheFirstEmptySlotAndTheThirdCardMakesTheRowFull) {
    struct Case {
        Slots before;
        Slots after;
        bool full;
    };
    const std::array<Case, 3> cases = {{
        {emptySlots, {Pink, noCard, noCard}, false},
        {{Red, noCard, noCard}, {Red, Pink, noCard}, false},
        {{Red, Wild, noCard}, {Red, Wild, Pink}, true},
    }};
    for (const Case& check : cases) {
        GameState game = newGame(2, 1U);
        game.nextCard = 10;
        game.deck[10] = Pink;
        game.rows[1].slots = check.before;
        ASSERT_TRUE(isRowValid(game, Draw, 1));
        EXPECT_FALSE(applyMove(game, Draw, 1));
        expectRow(game.rows[1], check.full, false, check.after);
        expectRow(game.rows[0], false, false, emptySlots);
        EXPECT_EQ(game.nextCard, 11);
        EXPECT_EQ(game.currentPlayer, 1);
        EXPECT_EQ(game.players[0].counts, Counts{});
        EXPECT_FALSE(game.players[0].outOfRound);
    }
}

TEST(TurnRules, RoundThatEndsBeforeTheLastRoundClearsTheBoard) {
    GameState game = newGame(2, 1U);
    game.nextCard = 66;
    ASSERT_FALSE(applyMove(game, Draw, 0));
    ASSERT_FALSE(applyMove(game, Draw, 1));
    ASSERT_EQ(game.nextCard, 68);
    ASSERT_FALSE(isLastRound(game));
    EXPECT_FALSE(applyMove(game, Take, 0));
    EXPECT_FALSE(applyMove(game, Take, 1));
    expectClearedBoard(game);
    EXPECT_EQ(game.currentPlayer, 0);
    EXPECT_FALSE(isLastRound(game));
}

TEST(TurnRules, GameEndsWhenTheRoundOfTheSixtyNinthCardEndsAndNotBefore) {
    GameState game = newGame(2, 1U);
    game.nextCard = 67;
    const CardKind sixtyEighth = game.deck[67];
    const CardKind sixtyNinth = game.deck[68];
    ASSERT_FALSE(applyMove(game, Draw, 0));
    EXPECT_FALSE(isLastRound(game));
    ASSERT_FALSE(applyMove(game, Draw, 0));
    EXPECT_TRUE(isLastRound(game)) << "69 cards drawn";
    ASSERT_FALSE(applyMove(game, Draw, 1));
    EXPECT_FALSE(applyMove(game, Take, 0)) << "seat 0 is still in";
    EXPECT_EQ(game.currentPlayer, 0);
    EXPECT_FALSE(applyMove(game, Draw, 1));
    EXPECT_FALSE(applyMove(game, Draw, 1));
    EXPECT_EQ(game.nextCard, 72);
    EXPECT_FALSE(isActionPossible(game, Draw));

    // The taking that completes the last round ends the game and leaves the board as it is.
    const Row lastRow = game.rows[1];
    EXPECT_TRUE(applyMove(game, Take, 1));
    EXPECT_EQ(game.currentPlayer, 0);
    EXPECT_TRUE(game.players[0].outOfRound);
    EXPECT_TRUE(game.players[1].outOfRound);
    expectRow(game.rows[0], false, true, {sixtyEighth, sixtyNinth, noCard});
    expectRow(game.rows[1], true, true, lastRow.slots);
    EXPECT_EQ(game.nextCard, 72);
    EXPECT_EQ(game.players[1].counts, countsOf({sixtyEighth, sixtyNinth}));
}

} // namespace

} // namespace pellaro
