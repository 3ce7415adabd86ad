#include "engine/game_state.h"
#include "engine/turn_rules.h"
#include "small_random.h"
#include "support/legal_rows.h"

#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <unordered_set>
#include <vector>

namespace pellaro {

namespace {

// One row as a case lays it: how many cards it holds, and whether taken.
struct RowLaid {
    std::int32_t cards = 0;
    bool taken = false;
};

struct LastRoundCase {
    std::int32_t players;
    std::int32_t drawn;
    std::vector<RowLaid> rows;
    std::int32_t fewestDraws;
    bool certain;
};

GameState laidOut(const LastRoundCase& laid) {
    GameState game = newGame(laid.players, 3U);
    game.nextCard = laid.drawn;
    for (std::size_t r = 0; r < laid.rows.size(); ++r) {
        Row& row = game.rows[r];
        for (std::int32_t slot = 0; slot < laid.rows[r].cards; ++slot) {
            row.slots[static_cast<std::size_t>(slot)] = Red;
        }
        row.full = laid.rows[r].cards == rowLength;
        row.taken = laid.rows[r].taken;
        game.players[r].outOfRound = laid.rows[r].taken;
    }
    return game;
}

TEST(LastRound, EveryEmptyRowStillToBeTakenNeedsOneDraw) {
    const RowLaid empty{0, false};
    const RowLaid one{1, false};
    const RowLaid full{3, false};
    const RowLaid taken{2, true};
    const RowLaid takenBare{1, true};
    const std::vector<LastRoundCase> cases = {
        // Five players open a round with 19 cards left: even five draws reach 60.
        {5, 57, {empty, empty, empty, empty, empty}, 5, true},
        // With 22 left, five draws stop at 59: a sixth round may follow.
        {5, 54, {empty, empty, empty, empty, empty}, 5, false},
        {5, 55, {empty, empty, empty, empty, empty}, 5, true},
        // Taken rows and rows that hold cards need no draw.
        {5, 57, {taken, one, empty, full, takenBare}, 1, false},
        {5, 59, {taken, one, empty, full, takenBare}, 1, true},
        {5, 59, {taken, one, one, full, takenBare}, 0, false},
        {5, 60, {taken, one, one, full, takenBare}, 0, true},
        // The threshold for two players is 69 drawn.
        {2, 67, {empty, empty}, 2, true},
        {2, 66, {empty, empty}, 2, false},
        {2, 68, {taken, empty}, 1, true},
        {2, 67, {taken, empty}, 1, false},
        {3, 64, {one, empty, taken}, 1, false},
        {3, 65, {one, empty, taken}, 1, true},
        {4, 62, {full, full, full, taken}, 0, false},
        {4, 63, {full, full, full, taken}, 0, true},
    };
    for (const LastRoundCase& laid : cases) {
        const GameState game = laidOut(laid);
        const std::string where =
            std::to_string(laid.players) + " players, " + std::to_string(laid.drawn) + " drawn";
        EXPECT_EQ(fewestDrawsLeftInRound(game), laid.fewestDraws) << where;
        EXPECT_EQ(isCertainlyLastRound(game), laid.certain) << where;
    }
}

// Whether some way of playing out the round under way closes it without
// ending the game, found by trying every legal move from every position the
// round can reach. A position depends only on the rows, who is out, who
// moves and how many cards have been drawn, never on which cards: those
// from which no way was found are kept for later searches.
class RoundSearch {
public:
    bool roundCanEndBeforeTheGame(const GameState& start) {
        std::vector<GameState> toTry{start};
        std::unordered_set<std::uint64_t> reached{keyOf(start)};
        while (!toTry.empty()) {
            const GameState game = toTry.back();
            toTry.pop_back();
            for (const TurnAction action : {TurnAction::Draw, TurnAction::Take}) {
                for (const std::int32_t row : rowsAllowing(game, action)) {
                    GameState next = game;
                    const bool over = applyMove(next, action, row);
                    const bool closed = closedRound(next, action, row, over);
                    if (closed && !over) {
                        return true;
                    }
                    const std::uint64_t key = keyOf(next);
                    if (!closed && !dead_.contains(key) && reached.insert(key).second) {
                        toTry.push_back(next);
                    }
                }
            }
        }
        dead_.insert(reached.begin(), reached.end());
        return false;
    }

private:
    static std::uint64_t keyOf(const GameState& game) {
        std::uint64_t key = static_cast<std::uint64_t>(game.nextCard) * 8U +
                            static_cast<std::uint64_t>(game.currentPlayer);
        for (std::int32_t seat = 0; seat < game.numberOfPlayers; ++seat) {
            const Row& row = game.rows[seat];
            key = key * 16U + static_cast<std::uint64_t>(cardsOn(row)) + (row.taken ? 4U : 0U) +
                  (game.players[seat].outOfRound ? 8U : 0U);
        }
        return key;
    }

    std::unordered_set<std::uint64_t> dead_;
};

// Certain means exactly that no way of playing on avoids the game's end at
// the round's close: at every position of many random games, against a
// search of every continuation of the round.
// Instrumented builds search a tenth of the games.
constexpr std::uint64_t searchedGames = PELLARO_RANDOM_GAMES_PER_COUNT / 500;

TEST(LastRound, CertainExactlyWhenNoWayOfPlayingLetsAnotherRoundFollow) {
    SmallRandom random{23};
    for (std::int32_t players = minPlayers; players <= maxPlayers; ++players) {
        RoundSearch search;
        std::int32_t certain = 0;
        std::int32_t positions = 0;
        for (std::uint64_t seed = 0; seed < searchedGames; ++seed) {
            GameState game = seededDeal(players, seed);
            for (bool over = false; !over; ++positions) {
                const bool can = search.roundCanEndBeforeTheGame(game);
                ASSERT_EQ(isCertainlyLastRound(game), !can)
                    << players << " players, seed " << seed << ", " << game.nextCard << " drawn";
                certain += can ? 0 : 1;
                const std::vector<std::int32_t> takes = rowsAllowing(game, TurnAction::Take);
                const bool take = rowsAllowing(game, TurnAction::Draw).empty() ||
                                  (!takes.empty() && random.below(3) == 0);
                const TurnAction action = take ? TurnAction::Take : TurnAction::Draw;
                const std::vector<std::int32_t> rows = rowsAllowing(game, action);
                over = applyMove(game, action,
                                 rows[static_cast<std::size_t>(
                                     random.below(static_cast<std::int32_t>(rows.size())))]);
            }
        }
        // Both answers came up in every game.
        EXPECT_GE(certain, static_cast<std::int32_t>(searchedGames)) << players << " players";
        EXPECT_GT(positions - certain, static_cast<std::int32_t>(searchedGames) * 10)
            << players << " players";
    }
}

} // namespace

} // namespace pellaro
