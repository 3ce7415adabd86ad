#pragma once

#include "asio.h"
#include "line_text.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace pellaro {

struct TypedLine {
    enum class Kind : std::uint8_t { Line, TooLong, End };
    Kind kind = Kind::End;
    std::string text;
};

// Standard input, one typed line at a time, read on the program's one
// io_context alongside the server's lines. A terminal or a pipe is read
// asynchronously; a file, which the loop cannot wait on, in blocks posted
// to the loop so that the server's lines still come between them.
class TypedLines {
public:
    explicit TypedLines(boost::asio::io_context& io);
    ~TypedLines();
    TypedLines(const TypedLines&) = delete;
    TypedLines& operator=(const TypedLines&) = delete;
    TypedLines(TypedLines&&) = delete;
    TypedLines& operator=(TypedLines&&) = delete;

    // Calls `handler` from the loop with the next line, once. A line is
    // asked for only after the last one came.
    void next(std::function<void(TypedLine)> handler);

private:
    void deliver();
    void readMore();
    void take(std::size_t count);

    boost::asio::io_context& io_;
    std::optional<boost::asio::posix::stream_descriptor> stream_;
    // Standard input's flags, given back at the end: Asio makes a terminal
    // non-blocking, which the shell shares.
    int flags_ = -1;
    LineSplitter splitter_{longestTypedLine};
    bool ended_ = false;
    std::array<char, 4096> buffer_{};
    std::function<void(TypedLine)> handler_;
};

} // namespace pellaro
