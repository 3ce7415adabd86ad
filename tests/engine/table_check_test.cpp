// Tables that no game reaches, each spoilt in one way from one that a game
// does, and the fault the check finds in them.

#include "engine/game_state.h"
#include "engine/table_check.h"
#include "engine/turn.h"
#include "engine/turn_rules.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <numeric>
#include <vector>

namespace pellaro {

namespace {

// Three players: seat 1 took row 1 with two cards, row 2 holds one card,
// and seat 2 is to move.
GameState midRound() {
    GameState game = seededDeal(3, 5);
    applyMove(game, TurnAction::Draw, 0);
    applyMove(game, TurnAction::Draw, 0);
    applyMove(game, TurnAction::Draw, 1);
    applyMove(game, TurnAction::Take, 0);
    return game;
}

// Moves the unseen cards of the kinds into seat 2's pile, as though drawn,
// until `left` of them are unseen.
void pileUnseen(GameState& game, std::int32_t left, CardKind from = Red, CardKind to = PlusTwo) {
    auto unseen = unseenOnTable(game);
    std::int32_t total = std::accumulate(unseen.begin() + from, unseen.begin() + to + 1, 0);
    for (int kind = from; kind <= to && total > left; ++kind) {
        const std::int32_t moved = std::min(unseen[kind], total - left);
        game.players[1].counts[kind] += moved;
        game.nextCard += moved;
        total -= moved;
    }
}

TEST(TableCheck, EachWayOfSpoilingATableIsFound) {
    struct Case {
        const char* what;
        void (*spoil)(GameState&);
        TableFault found;
    };
    const std::vector<Case> cases = {
        {"as played", [](GameState&) {}, TableFault::None},
        {"four players at three rows", [](GameState& g) { g.numberOfPlayers = 4; },
         TableFault::PlayerCount},
        {"a card after an empty slot",
         [](GameState& g) { std::swap(g.rows[1].slots[0], g.rows[1].slots[1]); },
         TableFault::RowOutOfOrder},
        {"a row of one called full", [](GameState& g) { g.rows[1].full = true; },
         TableFault::RowOutOfOrder},
        {"no such card", [](GameState& g) { g.rows[1].slots[0] = static_cast<CardKind>(9); },
         TableFault::RowOutOfOrder},
        {"an empty row taken", [](GameState& g) { g.rows[2].taken = true; },
         TableFault::EmptyRowTaken},
        {"a pile below nothing", [](GameState& g) { g.players[2].counts[Red] = -1; },
         TableFault::NegativePile},
        {"four wilds", [](GameState& g) { g.players[2].counts[Wild] = 4; },
         TableFault::CountedTwice},
        {"a card drawn too many", [](GameState& g) { ++g.nextCard; }, TableFault::DrawnDisagrees},
        {"the taker still in", [](GameState& g) { g.players[0].outOfRound = false; },
         TableFault::TakenRowsDisagree},
        {"a row taken by a seat still in",
         [](GameState& g) {
             g.rows[1].taken = true;
             ++g.players[2].counts[g.rows[1].slots[0]];
         },
         TableFault::TakenRowsDisagree},
        {"the taker to move", [](GameState& g) { g.currentPlayer = 0; },
         TableFault::SeatOutOfRound},
        {"no such seat", [](GameState& g) { g.currentPlayer = 3; }, TableFault::SeatOutOfRound},
        // With three cards on the rows, eight unseen leave the round begun before
        // the last, and seven after it.
        {"the last round", [](GameState& g) { pileUnseen(g, 8); }, TableFault::None},
        {"after the last round", [](GameState& g) { pileUnseen(g, 7); }, TableFault::AfterTheEnd},
    };
    for (const Case& c : cases) {
        GameState game = midRound();
        c.spoil(game);
        EXPECT_EQ(tableFault(game), c.found) << c.what;
        EXPECT_FALSE(faultText(tableFault(game)).empty());
    }
}

TEST(TableCheck, ThePlacedCardIsUnseenAndHasARow) {
    GameState game = midRound();
    EXPECT_EQ(placementFault(game, topCard(game)), TableFault::None);
    EXPECT_EQ(placementFault(game, noCard), TableFault::DrawnNotUnseen);
    pileUnseen(game, 0, Wild, Wild);
    EXPECT_EQ(placementFault(game, Wild), TableFault::DrawnNotUnseen);
    game.currentPlayer = 0;
    EXPECT_EQ(placementFault(game, topCard(game)), TableFault::SeatOutOfRound);

    // Rows 2 and 3 filled by seats 2 and 3 in turn.
    game = midRound();
    for (const std::int32_t row : {1, 1, 2, 2, 2}) {
        applyMove(game, TurnAction::Draw, row);
    }
    EXPECT_EQ(tableFault(game), TableFault::None);
    EXPECT_EQ(placementFault(game, topCard(game)), TableFault::NoRowForDraw);
}

} // namespace

} // namespace pellaro
