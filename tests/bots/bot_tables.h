#pragma once

#include "bots/bot.h"
#include "engine/game_state.h"
#include "engine/seeded_random.h"
#include "engine/turn_rules.h"

#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <string_view>
#include <utility>

#ifndef PELLARO_BOT_GAMES_SCALE
#define PELLARO_BOT_GAMES_SCALE 10
#endif

namespace pellaro {

// How many games a test plays: its count for the normal build, a tenth of it
// under the sanitizers.
constexpr std::int32_t scaledGames(std::int32_t normalBuild) {
    return normalBuild * PELLARO_BOT_GAMES_SCALE / 10;
}

inline constexpr std::array<TurnAction, 2> bothActions = {TurnAction::Draw, TurnAction::Take};

// The settings of the registry's bot of that name, on its usual budget.
inline BotSettings settingsNamed(std::string_view name, std::int32_t budget = defaultBudget) {
    const BotEntry* entry = botEntryNamed(name);
    if (entry == nullptr) {
        ADD_FAILURE() << "no bot named " << name;
        entry = botRegistry().front();
    }
    return BotSettings{entry, budget};
}

// A small budget keeps the searches fast enough for hundreds of games.
inline BotSettings testSettings(const BotEntry* entry) {
    return BotSettings{entry, entry->searches ? 12 : defaultBudget};
}

// A position from the middle of a game: a deal, then a number of random
// legal moves; the game is not over.
inline GameState randomPosition(std::int32_t players, std::uint64_t seed, SeededRandom& random) {
    for (;;) {
        GameState game = seededDeal(players, seed++);
        const std::int32_t moves = nextBelow(random, 110);
        bool over = false;
        for (std::int32_t move = 0; move < moves && !over; ++move) {
            const TurnAction action =
                isActionPossible(game, TurnAction::Take) && nextBelow(random, 3) == 0
                    ? TurnAction::Take
                    : TurnAction::Draw;
            const TurnAction possible = isActionPossible(game, action) ? action : TurnAction::Take;
            std::int32_t row = nextBelow(random, players);
            while (!isRowValid(game, possible, row)) {
                row = (row + 1) % players;
            }
            over = applyMove(game, possible, row);
        }
        if (!over) {
            return game;
        }
    }
}

// The same game with the undrawn cards from `from` on in another order.
inline GameState withUndrawnPermuted(GameState game, std::int32_t from, SeededRandom& random) {
    for (std::int32_t position = deckSize - 1; position > from; --position) {
        const std::int32_t other = from + nextBelow(random, position - from + 1);
        std::swap(game.deck.at(position), game.deck.at(other));
    }
    return game;
}

} // namespace pellaro
