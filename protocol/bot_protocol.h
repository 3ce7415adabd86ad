#pragma once

#include "../bots/seat_view.h"
#include "../engine/card.h"
#include "../engine/game_state.h"
#include "../engine/turn_rules.h"

#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pellaro {

// The line protocol between Pellaro and a computer player that is another
// program, as doc/pellaro-bot.6 tells it: both the client (an exec: bot) and
// the server (pellaro-sim bot) read and write it here.

// The first line each side writes; the bot adds its name after a space.
inline constexpr std::string_view botGreeting = "pellaro-bot 1";

// The longest line either side may write, its newline left out: a request of
// five seats takes about 150 bytes, so a longer line is a fault, and reading
// stops there rather than holding a runaway line whole.
inline constexpr std::size_t longestLine = 4096;

// Appends a number's decimal digits, as requests and the simulator's game
// records write them, without a stream or a string of its own.
template <typename Number>
void appendNumber(std::string& out, Number value) {
    std::array<char, 24> digits{};
    const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    out.append(digits.data(), written.ptr);
}

// The cards' letters on the wire, indexed by CardKind: one letter each, so
// that a row is a word of at most three letters.
inline constexpr std::string_view cardLetters = "RGBYPSVW+";

enum class RequestKind : std::uint8_t {
    // Draw or Take, and the row of a Take: "D" or "T ROW".
    Move = 0,
    // The row for the card just drawn: "ROW".
    Place = 1,
};

// Appends the request, its newline included: the kind, the seed for the
// bot's randomness, and what the seat may know, with the drawn card last
// for a Place.
void appendRequest(std::string& out, RequestKind kind, std::uint64_t seed, const SeatView& view,
                   CardKind drawn);

// A request as the server reads it: the table as the seat pictures it (every
// undrawn card noCard), so that SeatView(table) is the view it was written
// from.
struct BotRequest {
    RequestKind kind = RequestKind::Move;
    std::uint64_t seed = 0;
    GameState table;
    CardKind drawn = noCard;
};

// Reads a request line without its newline; false, with the reason, when it
// is malformed or describes no table a game can reach with the seat to decide.
bool parseRequest(std::string_view line, BotRequest& request, std::string& error);

// A reply: the action, and the 0-based row (-1 for a Draw's first reply,
// whose row comes with the Place that follows).
struct BotReply {
    TurnAction action = TurnAction::Draw;
    std::int32_t row = -1;
};

// The reply line, its newline included, with rows from 1.
std::string replyLine(const BotReply& reply);

// Reads a reply line to a request of the kind; nothing when it is not one.
// Whether the move is legal is the caller's to check.
std::optional<BotReply> parseReply(std::string_view line, RequestKind kind);

} // namespace pellaro
