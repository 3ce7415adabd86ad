#pragma once

#include "game_records.h"

#include <string>

// Replays a record on its own deck and accepts it only if the deck holds
// exactly the game's 76 cards, every move is one the rules allow the player
// to move (a Draw placing the deck's top card), the last move and no other
// ends the game, and the piles, scores and winners are those recorded.
// Otherwise false, with the first fault found.
bool checkReplay(const RecordedGame& record, std::string& error);

// The game move by move with the game's own board before every move, then
// its scores and winners, on standard output. For a record checkReplay accepts.
void showReplay(const RecordedGame& record);
