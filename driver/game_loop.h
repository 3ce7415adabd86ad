#pragma once

#include "../engine/game_state.h"
#include "../engine/turn.h"
#include "../engine/turn_rules.h"

#include <cassert>
#include <concepts>
#include <cstdint>
#include <optional>

namespace pellaro {

enum class GameEnd : std::uint8_t {
    Finished = 0,
    InputEnded = 1,
};

// The seats of a table, as the game loop sees them. chooseMove gives the move
// of the seat to play, one the game allows: a person is asked, a computer
// player decides; nothing when standard input ended first. played then sees
// the board before the move, the move and the board after it, and whether
// the move ended the game. The hot-seat game's seats are all people; the
// game against computer players mixes both kinds.
template <typename Seats>
concept TableSeats = requires(Seats& seats, const GameState& game, const ChosenMove& move,
                              bool over) {
    { seats.chooseMove(game) } -> std::same_as<std::optional<ChosenMove>>;
    seats.played(game, move, game, over);
};

// The one game loop of both console programs: turn after turn until the game
// is over or standard input ends.
template <TableSeats Seats>
GameEnd playGame(GameState& game, Seats& seats) {
    PublicState known = publicStateOf(game);
    for (;;) {
        const std::optional<ChosenMove> move = seats.chooseMove(game);
        if (!move) {
            return GameEnd::InputEnded;
        }
        const GameState before = game;
        const TurnPlayed played = playTurn(game, known, *move);
        seats.played(before, *move, game, played.over);
        if (played.over) {
            return GameEnd::Finished;
        }
    }
}

} // namespace pellaro
