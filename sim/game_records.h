#pragma once

#include "bots/bot_game.h"
#include "engine/game_state.h"
#include "game_play.h"
#include "sim_config.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A game as its line in a --jsonl file says it went. Moves are written
// "D2:R" (draw, place the R on row 2) and "T1" (take row 1), rows from 1.
struct RecordedGame {
    std::int64_t game = 0;
    std::int64_t deal = 0;
    std::int32_t rotation = 0;
    std::uint64_t seed = 0;
    std::int32_t players = 0;
    std::vector<std::string> bots;
    std::array<CardKind, deckSize> deck{};
    std::vector<PlayedMove> moves;
    std::vector<std::array<std::int32_t, cardKindCount>> piles;
    std::vector<std::int32_t> scores;
    std::vector<std::int32_t> winners;
};

// A move as a record writes it.
std::string moveText(const PlayedMove& move);

// Appends the record's line, its newline included.
void appendRecordLine(std::string& out, const SimConfig& config, const GameRecord& record);

// The game number a line starts with, read without parsing the whole line;
// -1 when the line does not start as the writer starts it.
std::int64_t leadingGameNumber(std::string_view line);

// Reads a line back; false, with the reason, when it is not a well-formed record.
bool parseRecord(std::string_view line, RecordedGame& record, std::string& error);
