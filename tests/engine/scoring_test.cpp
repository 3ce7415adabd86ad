#include "engine/card.h"
#include "engine/game_state.h"
#include "engine/scoring.h"
#include "engine/turn_rules.h"
#include "piles.h"
#include "small_random.h"
#include "support/legal_rows.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pellaro {

namespace {

// Points of one colour: n(n+1)/2 up to six cards, 21 from there on.
std::int32_t colourPoints(std::int32_t cards) {
    return cards <= 6 ? cards * (cards + 1) / 2 : 21;
}

// The score of one declaration: the colours marked in positive count
// positively, each with the wilds given to it.
std::int32_t declaredScore(const Pile& pile, const std::array<bool, colourCount>& positive,
                           const std::array<std::int32_t, colourCount>& wildsOn) {
    std::int32_t score = 2 * pile[PlusTwo];
    for (int colour = 0; colour < colourCount; ++colour) {
        if (positive.at(colour)) {
            score += colourPoints(pile.at(colour) + wildsOn.at(colour));
        } else {
            score -= colourPoints(pile.at(colour));
        }
    }
    return score;
}

// The best score any player could declare: every choice of three positive
// colours, and every way of placing all the wilds on those three.
std::int32_t bestDeclaredScore(const Pile& pile) {
    const std::int32_t wilds = pile[Wild];
    std::int32_t best = INT_MIN;
    for (unsigned chosen = 0; chosen < (1U << colourCount); ++chosen) {
        std::array<bool, colourCount> positive{};
        std::array<int, 3> positives{};
        std::size_t count = 0;
        for (int colour = 0; colour < colourCount; ++colour) {
            positive.at(colour) = ((chosen >> colour) & 1U) != 0;
            if (positive.at(colour) && count++ < positives.size()) {
                positives.at(count - 1) = colour;
            }
        }
        if (count != positives.size()) {
            continue;
        }
        for (std::int32_t onFirst = 0; onFirst <= wilds; ++onFirst) {
            for (std::int32_t onSecond = 0; onFirst + onSecond <= wilds; ++onSecond) {
                std::array<std::int32_t, colourCount> wildsOn{};
                wildsOn.at(positives[0]) = onFirst;
                wildsOn.at(positives[1]) = onSecond;
                wildsOn.at(positives[2]) = wilds - onFirst - onSecond;
                best = std::max(best, declaredScore(pile, positive, wildsOn));
            }
        }
    }
    return best;
}

std::int32_t scoreOf(const Pile& pile) {
    return finalScore(gameWithPiles({pile, Pile{}}), 0);
}

struct WorkedPile {
    Pile pile;
    std::int32_t score;
    const char* what;
};

const std::vector<WorkedPile>& workedPiles() {
    static const std::vector<WorkedPile> piles = {
        {pileOf(0, 0, 0, 0, 0, 0, 0, 0, 0), 0, "an empty pile"},
        {pileOf(4, 1, 2, 0, 0, 0, 0, 1, 1), 21, "the wild raises the 4 to 5"},
        {pileOf(5, 3, 3, 2, 1, 0, 0, 2, 0), 33, "the second wild goes to the second largest"},
        {pileOf(7, 6, 6, 0, 0, 0, 1, 1, 3), 68, "the wild is lost"},
        {pileOf(5, 0, 0, 0, 0, 0, 0, 2, 0), 22, "the second wild starts a colour"},
        {pileOf(6, 6, 0, 0, 0, 0, 0, 3, 1), 50, "all wilds on the third colour"},
        {pileOf(0, 0, 0, 0, 0, 0, 0, 3, 0), 6, "three wilds and nothing else"},
        {pileOf(4, 4, 4, 4, 0, 0, 0, 1, 0), 25, "four colours of four and a wild"},
        {pileOf(4, 4, 4, 4, 0, 0, 0, 0, 0), 20, "four colours of four"},
        {pileOf(1, 1, 1, 1, 1, 1, 1, 0, 0), -1, "one of every colour"},
        {pileOf(2, 2, 2, 2, 2, 2, 2, 0, 0), -3, "two of every colour"},
        {pileOf(9, 9, 9, 9, 0, 0, 0, 0, 0), 42, "nine in each of four colours"},
        {pileOf(0, 0, 0, 0, 0, 0, 0, 0, 2), 4, "two +2 cards"},
        {pileOf(0, 0, 9, 0, 0, 0, 0, 0, 0), 21, "nine of a colour count as six"},
        {pileOf(9, 9, 9, 9, 9, 9, 9, 3, 10), -84 + 63 + 20, "the whole deck"},
    };
    return piles;
}

TEST(Scoring, WorkedPiles) {
    for (const WorkedPile& worked : workedPiles()) {
        SCOPED_TRACE(worked.what);
        EXPECT_EQ(scoreOf(worked.pile), worked.score) << describe(worked.pile);
        // Every seat is scored from its own pile.
        const Pile decoy = pileOf(3, 0, 0, 0, 0, 0, 0, 0, 9);
        const GameState five = gameWithPiles({decoy, decoy, decoy, decoy, worked.pile});
        EXPECT_EQ(finalScore(five, 4), worked.score);
        EXPECT_EQ(finalScore(five, 0), 6 + 18);
    }
}

TEST(Scoring, ScoringTableGrowsToSixCardsThenStays) {
    for (std::int32_t cards = 0; cards <= 9; ++cards) {
        EXPECT_EQ(ScoringTable.at(cards), colourPoints(cards)) << cards << " cards";
        EXPECT_EQ(pointsForCount(cards), colourPoints(cards)) << cards << " cards";
    }
    EXPECT_EQ(pointsForCount(10), 21);
    EXPECT_EQ(pointsForCount(12), 21);
}

// Piles are scored during play, for the board, and at the end, when every
// player sits out the round and every row is taken and still holds its
// cards, already in the takers' piles. A score that passed over a player out
// of the round, or counted cards on the board, would go unseen on the fresh
// games above: here each seat's score is its pile's by the rule after every
// move of random games.
TEST(Scoring, EverySeatScoresItsPileByTheRuleThroughoutPlay) {
    SmallRandom random{77};
    for (std::int32_t players = minPlayers; players <= maxPlayers; ++players) {
        for (std::uint64_t deal = 0; deal < 20; ++deal) {
            GameState game = seededDeal(players, deal);
            bool over = false;
            // No game lasts 200 moves: at most 74 draws and as many takes.
            for (int move = 0; !over; ++move) {
                ASSERT_LT(move, 200) << "the game does not end";
                const bool draws = isActionPossible(game, TurnAction::Draw);
                const bool takes = isActionPossible(game, TurnAction::Take);
                const TurnAction action =
                    takes && (!draws || random.below(3) == 0) ? TurnAction::Take : TurnAction::Draw;
                const std::vector<std::int32_t> rows = rowsAllowing(game, action);
                ASSERT_FALSE(rows.empty());
                over = applyMove(game, action, rows[random.below(static_cast<int>(rows.size()))]);
                for (std::int32_t seat = 0; seat < players; ++seat) {
                    const Pile& pile = game.players[seat].counts;
                    ASSERT_EQ(finalScore(game, seat), bestDeclaredScore(pile))
                        << players << " players, seat " << seat << ": " << describe(pile);
                }
            }
        }
    }
}

// Calls visit with every ascending list of seven colour counts from 0 to 9.
void forEveryColourMultiset(const std::function<void(const std::array<std::int32_t, 7>&)>& visit) {
    std::array<std::int32_t, colourCount> counts{};
    std::function<void(int, std::int32_t)> fill = [&](int position, std::int32_t least) {
        if (position == colourCount) {
            visit(counts);
            return;
        }
        for (std::int32_t cards = least; cards <= 9; ++cards) {
            counts.at(position) = cards;
            fill(position + 1, cards);
        }
    };
    fill(0, 0);
}

TEST(Scoring, EveryPileScoresTheBestDeclaration) {
    SmallRandom random{2024};
    int piles = 0;
    forEveryColourMultiset([&](const std::array<std::int32_t, colourCount>& ascending) {
        if (HasFatalFailure()) {
            return;
        }
        std::array<std::int32_t, colourCount> colours = ascending;
        std::shuffle(colours.begin(), colours.end(), random);
        for (std::int32_t wilds = 0; wilds <= 3; ++wilds) {
            Pile pile{};
            std::copy(colours.begin(), colours.end(), pile.begin());
            pile[Wild] = wilds;
            pile[PlusTwo] = random.below(11);
            ++piles;
            ASSERT_EQ(scoreOf(pile), bestDeclaredScore(pile)) << describe(pile);
        }
    });
    EXPECT_EQ(piles, 11440 * 4) << "every multiset of seven counts from 0 to 9, four wild counts";

    for (int draw = 0; draw < 20000; ++draw) {
        Pile pile{};
        for (int colour = 0; colour < colourCount; ++colour) {
            pile[colour] = random.below(10);
        }
        pile[Wild] = random.below(4);
        pile[PlusTwo] = random.below(11);
        ASSERT_EQ(scoreOf(pile), bestDeclaredScore(pile)) << describe(pile);
    }
}

} // namespace

} // namespace pellaro
