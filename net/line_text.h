#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pellaro {

// The bytes that may cross between the server, pellaro-net and the person's
// terminal, and the cutting of a stream of bytes into lines.

// The longest line a person may type: with "ANSWER " before it, it stays
// within the 512 bytes the server reads.
inline constexpr std::size_t longestTypedLine = 500;
// The longest line read from a server: far beyond any screen line, short
// enough that a hostile server cannot fill the memory.
inline constexpr std::size_t longestServerLine = 64 * 1024;

// '0' to '9', whatever the locale.
inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The server's text with every byte but printable ASCII and tab left out,
// so that a hostile server cannot drive the person's terminal.
std::string printableText(std::string_view text);

enum class TypedFault : std::uint8_t { None, TooLong, NotPrintable };

// Why a typed line cannot be sent, if it cannot.
TypedFault typedLineFault(std::string_view line);

struct SplitLine {
    std::string text;
    // The line went past the longest allowed: its bytes were dropped, up to
    // and with its line end.
    bool tooLong = false;
};

// Cuts bytes as they arrive into lines ending in "\n" (or "\r\n"), holding
// at most one line's worth of bytes.
class LineSplitter {
public:
    explicit LineSplitter(std::size_t longest) : longest_(longest) {}

    void add(std::string_view bytes);
    // The next whole line, if one has arrived.
    std::optional<SplitLine> next();
    // At the end of the stream: the last line, if it lacked its line end.
    std::optional<SplitLine> rest();

private:
    std::size_t longest_;
    std::string pending_;
    bool discarding_ = false;
};

} // namespace pellaro
