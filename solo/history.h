#pragma once

#include "../driver/game_loop.h"
#include "../engine/card.h"
#include "../engine/game_state.h"
#include "seating.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pellaro {

// One move as the table saw it.
struct PlayedTurn {
    std::int32_t seat = 0;
    ChosenMove move;
    // The card placed by a Draw; noCard for a Take.
    CardKind drawn = noCard;
    // The cards of the row a Take gathered, in row order.
    std::vector<CardKind> taken;
    std::int32_t round = 1;
    // Whether this move made the round to be played certainly the last: a
    // Draw within it, or the Take that closed the round before it.
    bool madeLastRound = false;
};

// Every move of one game, by rounds, and how much of it the screen has told.
struct History {
    std::vector<PlayedTurn> turns;
    // The round being played, from 1; once the game is over, its last round.
    std::int32_t round = 1;
    bool over = false;
    // Turns already told on the screen, and the last round whose heading it showed.
    std::size_t shown = 0;
    std::int32_t headed = 0;
};

// Adds the move that turned `before` into `after`.
void recordTurn(History& history, const GameState& before, const ChosenMove& move,
                const GameState& after, bool over);

// The seat's own turn number, from 1, at the move after `movesPlayed` moves
// of the game: shown at a person's questions and named by the review.
std::int32_t ownTurn(const History& history, std::size_t movesPlayed, std::int32_t seat);

// The line that tells one move: "Player #3 (Hard) takes row 2: R R W."
std::string turnLine(const Seating& seating, const PlayedTurn& turn);

// Who took which cards in a round that is over, in the order they took.
std::string roundSummary(const Seating& seating, const History& history, std::int32_t round);

// What happened since the screen last told the table, condensed so that a
// person's whole turn fits one screen: a round that ended meanwhile is told
// by its one-line summary, the round being played by a heading when it began
// meanwhile and then one line per move. The heading, or the line after the
// draw that made it so, says when the round is certainly the last. The
// viewer's own moves are left out, as they were typed at this screen, but
// not what their draw made of the round. `opener`
// is the seat to play, which opens the round when it has no move yet. Marks
// everything told.
std::vector<std::string> newsLines(History& history, const Seating& seating, std::int32_t viewer,
                                   std::int32_t opener);

// The text broken after separators into lines of at most `width` characters,
// the later ones indented by two spaces, for the summaries of five players.
std::vector<std::string> wrapped(const std::string& text, const std::string& separator,
                                 std::size_t width);

// "R R W": cards as the board shows them.
std::string cardList(const std::vector<CardKind>& cards);

} // namespace pellaro
