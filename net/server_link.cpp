#include "server_link.h"

#include <optional>

namespace pellaro {

namespace ip = boost::asio::ip;

ServerLink::ServerLink(boost::asio::io_context& io, std::string host, std::uint16_t port)
    : io_(io), host_(std::move(host)), port_(port), resolver_(io), socket_(io) {}

void ServerLink::connect(Handlers handlers, std::function<void(const std::string&)> done) {
    close();
    handlers_ = std::move(handlers);
    const std::uint64_t connection = connection_;
    resolver_.async_resolve(
        host_, std::to_string(port_),
        [this, connection, done](const boost::system::error_code& error,
                                 const ip::tcp::resolver::results_type& addresses) {
            if (connection != connection_) {
                return;
            }
            if (error) {
                done(error.message());
                return;
            }
            boost::asio::async_connect(
                socket_, addresses,
                [this, connection, done](const boost::system::error_code& failure,
                                         const ip::tcp::endpoint&) {
                    if (connection != connection_) {
                        return;
                    }
                    if (failure) {
                        done(failure.message());
                        return;
                    }
                    read();
                    done({});
                });
        });
}

void ServerLink::send(const std::string& line) {
    unsent_.push_back(line + '\n');
    write();
}

void ServerLink::close() {
    ++connection_;
    resolver_.cancel();
    boost::system::error_code ignored;
    socket_.close(ignored);
    socket_ = ip::tcp::socket(io_);
    splitter_ = LineSplitter(longestServerLine);
    unsent_.clear();
    writing_ = false;
}

void ServerLink::end(Ending ending) {
    close();
    // The handler may connect again, which replaces the handlers.
    const std::function<void(Ending)> ended = handlers_.ended;
    ended(ending);
}

void ServerLink::read() {
    const std::uint64_t connection = connection_;
    socket_.async_read_some(
        boost::asio::buffer(buffer_),
        [this, connection](const boost::system::error_code& error, std::size_t count) {
            if (connection != connection_) {
                return;
            }
            splitter_.add(std::string_view(buffer_.data(), count));
            // A handler may close the connection on any line: the rest
            // belongs to it no more.
            while (connection == connection_) {
                std::optional<SplitLine> line = splitter_.next();
                if (!line) {
                    break;
                }
                if (line->tooLong) {
                    end(Ending::TooLong);
                    return;
                }
                handlers_.line(line->text);
            }
            if (connection != connection_) {
                return;
            }
            if (error) {
                end(Ending::Closed);
                return;
            }
            read();
        });
}

// Each write starts the next from its completion, after the call that
// started it has returned: a chain in time, not a recursion.
// NOLINTNEXTLINE(misc-no-recursion)
void ServerLink::write() {
    if (writing_ || unsent_.empty()) {
        return;
    }
    writing_ = true;
    const std::uint64_t connection = connection_;
    boost::asio::async_write(
        socket_, boost::asio::buffer(unsent_.front()),
        // NOLINTNEXTLINE(misc-no-recursion)
        [this, connection](const boost::system::error_code& error, std::size_t) {
            if (connection != connection_) {
                return;
            }
            writing_ = false;
            // A failed write is told by the read that finds the connection
            // closed.
            if (error) {
                return;
            }
            unsent_.pop_front();
            write();
        });
}

} // namespace pellaro
