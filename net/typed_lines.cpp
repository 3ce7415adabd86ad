#include "typed_lines.h"

#include <cassert>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellaro {

TypedLines::TypedLines(boost::asio::io_context& io) : io_(io) {
    struct stat status {};
    const bool waitable =
        fstat(STDIN_FILENO, &status) == 0 &&
        (S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode) || isatty(STDIN_FILENO) == 1);
    if (waitable) {
        const int copy = dup(STDIN_FILENO);
        if (copy >= 0) {
            flags_ = fcntl(STDIN_FILENO, F_GETFL);
            stream_.emplace(io_, copy);
        }
    }
}

TypedLines::~TypedLines() {
    if (stream_) {
        boost::system::error_code ignored;
        stream_->close(ignored);
        if (flags_ >= 0) {
            fcntl(STDIN_FILENO, F_SETFL, flags_);
        }
    }
}

void TypedLines::next(std::function<void(TypedLine)> handler) {
    assert(!handler_);
    handler_ = std::move(handler);
    boost::asio::post(io_, [this] { deliver(); });
}

// deliver, readMore and take call one another through the loop, each after
// the last has returned: a chain in time, not a recursion.
// NOLINTNEXTLINE(misc-no-recursion)
void TypedLines::deliver() {
    std::optional<SplitLine> line = ended_ ? splitter_.rest() : splitter_.next();
    if (!line && !ended_) {
        readMore();
        return;
    }
    TypedLine typed;
    if (line) {
        typed.kind = line->tooLong ? TypedLine::Kind::TooLong : TypedLine::Kind::Line;
        typed.text = std::move(line->text);
    }
    std::function<void(TypedLine)> handler = std::move(handler_);
    handler_ = nullptr;
    handler(std::move(typed));
}

// NOLINTNEXTLINE(misc-no-recursion)
void TypedLines::readMore() {
    if (stream_) {
        stream_->async_read_some(boost::asio::buffer(buffer_),
                                 [this](const boost::system::error_code& error, std::size_t count) {
                                     ended_ = ended_ || error;
                                     take(count);
                                 });
        return;
    }
    ssize_t count = -1;
    do {
        count = read(STDIN_FILENO, buffer_.data(), buffer_.size());
    } while (count < 0 && errno == EINTR);
    ended_ = count <= 0;
    const std::size_t got = ended_ ? 0 : static_cast<std::size_t>(count);
    // NOLINTNEXTLINE(misc-no-recursion)
    boost::asio::post(io_, [this, got] { take(got); });
}

// NOLINTNEXTLINE(misc-no-recursion)
void TypedLines::take(std::size_t count) {
    splitter_.add(std::string_view(buffer_.data(), count));
    deliver();
}

} // namespace pellaro
