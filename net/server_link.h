#pragma once

#include "asio.h"
#include "line_text.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

namespace pellaro {

// The connection to the server: connects, sends whole lines and hands on
// each line received, on the program's one io_context. It can connect
// again after the connection is lost.
class ServerLink {
public:
    enum class Ending : std::uint8_t {
        // The server closed the connection, or it failed.
        Closed,
        // The server sent a line longer than longestServerLine.
        TooLong,
    };

    struct Handlers {
        std::function<void(const std::string& line)> line;
        // Once, when the connection ends by itself (not after close()).
        std::function<void(Ending)> ended;
    };

    ServerLink(boost::asio::io_context& io, std::string host, std::uint16_t port);

    // Connects afresh; `done` gets an empty text once connected, else the
    // reason. The lines then go to the handlers.
    void connect(Handlers handlers, std::function<void(const std::string& failure)> done);
    // Queues the line, without its line end, to be sent in order.
    void send(const std::string& line);
    // Drops the connection; no handler is called for it any more.
    void close();

private:
    void end(Ending ending);
    void read();
    void write();

    boost::asio::io_context& io_;
    std::string host_;
    std::uint16_t port_;
    boost::asio::ip::tcp::resolver resolver_;
    boost::asio::ip::tcp::socket socket_;
    Handlers handlers_;
    // Tells the handlers of an earlier connection from the current one's.
    std::uint64_t connection_ = 0;
    LineSplitter splitter_{longestServerLine};
    std::array<char, 4096> buffer_{};
    std::deque<std::string> unsent_;
    bool writing_ = false;
};

} // namespace pellaro
