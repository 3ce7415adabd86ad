#pragma once

#include "bots/bot.h"
#include "bots/playout.h"
#include "engine/game_state.h"
#include "engine/seeded_random.h"

#include <cstdint>
#include <string_view>

namespace pellaro {

// The units of work that the speed goals of the computer players are stated
// in, shared by the timed benchmarks and the instruction counts.

// One whole game between bots of one kind, the deal from the seed included,
// as a simulation plays it. Returns the number of moves, or 0 when the game
// ended anywhere but in its last round.
std::int32_t playBotGameOfSeed(std::int32_t players, const BotSettings& settings,
                               std::uint64_t seed);

// The settings of the registry's bot of that name.
BotSettings benchBot(std::string_view name);

// A five-player game a few moves in, where the player to move may both draw
// and take, and an ismcts bot of that budget for its seat: one Draw-or-Take
// search there is `budget` iterations of the tree search.
struct IsmctsWork {
    GameState game;
    Bot bot;
};

IsmctsWork ismctsDecision(std::int32_t budget);

// The search's Draw or Take.
TurnAction decide(IsmctsWork& work);

// The searches' inner loop from the opening of a five-player game, as seat 0
// sees it: a fresh deal of the unseen cards and a playout to the end.
struct PlayoutWork {
    GameState root;
    UnseenCards unseen;
    SeededRandom random;
};

PlayoutWork openingPlayouts(PlayoutPolicy policy);

// One playout; false when it ended anywhere but in its last round.
bool playOnePlayout(PlayoutWork& work, PlayoutPolicy policy);

} // namespace pellaro
