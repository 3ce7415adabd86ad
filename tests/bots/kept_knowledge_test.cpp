#include "bot_tables.h"
#include "bots/bot.h"
#include "bots/bot_game.h"
#include "bots/seat_view.h"
#include "engine/game_state.h"
#include "engine/turn_rules.h"

#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <optional>
#include <span>
#include <string_view>

namespace pellaro {

namespace {

// A loop of turns keeps the open rows and the unseen cards as the board
// shows them after every move, and a view on what it keeps reads as one on
// the board alone: a round's end, a take and a draw of every kind included.
TEST(KeptKnowledge, TurnsKeepWhatTheBoardShows) {
    for (const std::string_view name : {"random", "greedy"}) {
        for (std::int32_t players = minPlayers; players <= maxPlayers; ++players) {
            for (std::uint64_t seed = 1; seed <= 4; ++seed) {
                GameState game = seededDeal(players, seed);
                std::array<Bot, maxPlayers> bots{};
                for (std::int32_t seat = 0; seat < players; ++seat) {
                    bots[seat] = newBot(settingsNamed(name), seed, seat);
                }
                const auto seated = std::span(bots).first(static_cast<std::size_t>(players));
                PublicState known = publicStateOf(game);
                bool over = false;
                while (!over) {
                    const SeatView kept(game, known);
                    const SeatView read(game);
                    ASSERT_EQ(kept.unseen(), read.unseen()) << name << " at card " << game.nextCard;
                    ASSERT_EQ(kept.rowsFor(TurnAction::Draw), read.rowsFor(TurnAction::Draw));
                    ASSERT_EQ(kept.rowsFor(TurnAction::Take), read.rowsFor(TurnAction::Take));
                    over = playBotTurn(game, known, seated).over;
                }
            }
        }
    }
}

// A reseated bot is the bot newBot makes for that game and seat, whatever
// the last game left in its stream and its memory.
TEST(KeptKnowledge, AReseatedBotStartsAfresh) {
    for (const std::string_view name : {"greedy", "ismcts"}) {
        Bot bot = newBot(settingsNamed(name, 20), 1, 0);
        GameState game = seededDeal(3, 1);
        for (int move = 0; move < 12; ++move) {
            const SeatView view(game);
            const TurnAction action = chooseAction(bot, view);
            applyMove(game, action, chooseRow(bot, view, action, topCard(game)));
        }
        ASSERT_TRUE(bot.memory.has_value()) << name;
        for (const auto& [seed, seat] :
             {std::pair{7ULL, 0}, std::pair{7ULL, 2}, std::pair{9ULL, 1}}) {
            reseat(bot, seed, seat);
            Bot fresh = newBot(bot.settings, seed, seat);
            EXPECT_FALSE(bot.memory.has_value()) << name;
            EXPECT_EQ(nextBits(bot.random), nextBits(fresh.random)) << name << seed << seat;
        }
    }
}

// A view at the same place as the one `bot` weighed its action on, on
// another game at the same moment (its piles passed one seat on), is not the
// turn weighed: greedy's rows there are those of a bot that weighed nothing.
void expectAnotherGameUnweighed(const Bot& bot, const GameState& game,
                                std::optional<SeatView>& view, std::uint64_t seed) {
    GameState other = game;
    const std::int32_t players = game.numberOfPlayers;
    for (std::int32_t seat = 0; seat < players; ++seat) {
        other.players[seat].counts = game.players[(seat + 1) % players].counts;
    }
    view.emplace(other);
    for (const TurnAction action : bothActions) {
        if (view->rowsFor(action) != 0) {
            Bot stale = bot;
            Bot fresh = newBot(settingsNamed("greedy"), seed, 0);
            EXPECT_EQ(chooseRow(stale, *view, action, topCard(other)),
                      chooseRow(fresh, *view, action, topCard(other)))
                << players << " players, card " << game.nextCard;
        }
    }
}

// The row greedy chooses after weighing its action on the same view is the
// one it chooses with nothing weighed, for either action; and what it
// weighed is not used once the game has moved on under a view at the same
// place.
TEST(KeptKnowledge, GreedyRowsAfterItsActionAreItsRowsAlone) {
    std::int32_t weighed = 0;
    for (std::int32_t players = minPlayers; players <= maxPlayers; ++players) {
        for (std::uint64_t seed = 1; seed <= 6; ++seed) {
            GameState game = seededDeal(players, seed);
            Bot bot = newBot(settingsNamed("greedy"), seed, 0);
            std::optional<SeatView> view;
            bool over = false;
            while (!over) {
                view.emplace(game);
                const TurnAction chosen = chooseAction(bot, *view);
                for (const TurnAction action : bothActions) {
                    if (view->rowsFor(action) == 0) {
                        continue;
                    }
                    Bot weighing = bot;
                    Bot fresh = newBot(settingsNamed("greedy"), seed, 0);
                    ASSERT_EQ(chooseRow(weighing, *view, action, topCard(game)),
                              chooseRow(fresh, *view, action, topCard(game)))
                        << players << " players, card " << game.nextCard;
                    ++weighed;
                }
                expectAnotherGameUnweighed(bot, game, view, seed);
                view.emplace(game);
                const std::int32_t row = chooseRow(bot, *view, chosen, topCard(game));
                chooseAction(bot, *view);
                over = applyMove(game, chosen, row);
                if (!over) {
                    view.emplace(game);
                    const TurnAction next =
                        view->rowsFor(TurnAction::Take) != 0 ? TurnAction::Take : TurnAction::Draw;
                    Bot fresh = newBot(settingsNamed("greedy"), seed, 0);
                    Bot stale = bot;
                    ASSERT_EQ(chooseRow(stale, *view, next, topCard(game)),
                              chooseRow(fresh, *view, next, topCard(game)))
                        << players << " players, card " << game.nextCard;
                }
            }
        }
    }
    EXPECT_GT(weighed, 1000);
}

} // namespace

} // namespace pellaro
