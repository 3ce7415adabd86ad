#pragma once

#include "store.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellaro {

// The lines a client sends: cut from the bytes of its connection, each
// read into one command whose every field is checked, or refused with the
// reason to tell it. Nothing here knows of tables or sockets.

// The longest line a client may send, its newline aside.
inline constexpr std::size_t longestLine = 512;

// The bytes of one connection, cut into lines. A line longer than
// longestLine is never kept whole: the connection is then to be closed.
class LineCutter {
public:
    // Adds bytes as they came.
    void add(std::string_view bytes);
    // The next whole line, its "\n" (and a "\r" before it) removed.
    std::optional<std::string> next();
    // A line has run past longestLine.
    bool overlong() const { return overlong_; }

private:
    std::string pending_;
    std::size_t start_ = 0;
    bool overlong_ = false;
};

enum class Verb : std::uint8_t {
    Help,
    Name,
    Create,
    List,
    Join,
    Watch,
    Resume,
    Answer,
    Board,
    Hand,
    Leave,
    Quit,
};

struct Command {
    Verb verb = Verb::Help;
    // NAME's name; ANSWER's text, blanks trimmed; RESUME's token.
    std::string text{};
    // JOIN, WATCH and RESUME's table code.
    std::string code{};
    // JOIN, RESUME and HAND's seat, from 0; -1 when JOIN names none.
    std::int32_t seat = -1;
    // CREATE's seats in order; HAND's kind alone.
    std::vector<SeatKind> seats{};
};

// The command of a line, or nothing with the reason in `why`.
std::optional<Command> parseCommand(std::string_view line, std::string& why);

// The seats' word of CREATE: "PPHH".
std::string seatsWord(const std::vector<SeatKind>& seats);

} // namespace pellaro
