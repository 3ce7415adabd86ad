#include "connections.h"

// Boost.Asio 1.74 under C++20 needs std::exchange declared before it.
#include <algorithm>
#include <array>
#include <boost/asio.hpp>
#include <cstdio>
#include <deque>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <sys/resource.h>
#include <utility>
#include <vector>

namespace pellaro {

namespace {

namespace asio = boost::asio;
using asio::ip::tcp;
using Clock = std::chrono::steady_clock;

// How long a connection that is being closed may take to read its last
// lines, and how long a stopping server waits for all of them.
constexpr std::chrono::seconds closingGrace{10};
constexpr std::chrono::seconds stoppingGrace{2};

class Network;

// The handlers below call one another only through the event loop: each
// runs after the one that started it has returned, so the analysis's
// chains of calls are no recursion.
// NOLINTBEGIN(misc-no-recursion)

struct Connection : std::enable_shared_from_this<Connection> {
    Connection(Network& network, tcp::socket socket, ClientId id, std::string address)
        : network(network), socket(std::move(socket)), timer(this->socket.get_executor()), id(id),
          address(std::move(address)) {}

    Network& network;
    tcp::socket socket;
    asio::steady_timer timer;
    ClientId id;
    std::string address;
    LineCutter cutter{};
    std::array<char, 4096> buffer{};
    std::deque<std::string> outgoing{};
    std::string writing{};
    std::size_t queued = 0;
    // Greeted by the lobby, and gone from it.
    bool admitted = false;
    bool left = false;
    bool closing = false;
    bool closed = false;
};

class Network {
public:
    Network(Lobby& lobby, const NetworkLimits& limits)
        : lobby_(lobby), limits_(limits), acceptor_(io_), signals_(io_, SIGTERM, SIGINT),
          pauseTimer_(io_), sweepTimer_(io_), stopTimer_(io_),
          workers_(std::max<std::size_t>(1, limits.workers)) {}

    Network(const Network&) = delete;
    Network& operator=(const Network&) = delete;
    Network(Network&&) = delete;
    Network& operator=(Network&&) = delete;
    ~Network() {
        workers_.stop();
        workers_.join();
    }

    bool listen(const std::string& address, std::uint16_t port, std::string& why) {
        boost::system::error_code error;
        const asio::ip::address ip = asio::ip::make_address(address, error);
        if (error) {
            why = "'" + address + "' is no IP address";
            return false;
        }
        const tcp::endpoint endpoint(ip, port);
        acceptor_.open(endpoint.protocol(), error);
        if (!error) {
            acceptor_.set_option(tcp::acceptor::reuse_address(true), error);
        }
        if (!error) {
            acceptor_.bind(endpoint, error);
        }
        if (!error) {
            acceptor_.listen(asio::socket_base::max_listen_connections, error);
        }
        if (error) {
            why =
                "cannot listen on " + address + ':' + std::to_string(port) + ": " + error.message();
            return false;
        }
        return true;
    }

    std::uint16_t port() const { return acceptor_.local_endpoint().port(); }

    void run() {
        Outbox start;
        for (const std::string& warning : lobby_.load(start)) {
            std::cerr << "pellaro-server: " << warning << '\n';
        }
        dispatch(start, std::nullopt);
        signals_.async_wait([this](const boost::system::error_code& error, int) {
            if (!error) {
                stop();
            }
        });
        accept();
        sweepEachMinute();
        io_.run();
    }

    // Hands the whole lines to the lobby; false once the connection closes.
    bool received(Connection& connection, std::size_t bytes) {
        connection.cutter.add(std::string_view(connection.buffer.data(), bytes));
        while (!connection.closing && !connection.closed) {
            std::optional<std::string> line = connection.cutter.next();
            if (!line) {
                break;
            }
            const Clock::time_point start = Clock::now();
            Outbox out;
            lobby_.receive(connection.id, *line, out);
            dispatch(out, start);
        }
        if (connection.cutter.overlong() && !connection.closing && !connection.closed) {
            send(connection,
                 "BYE that line is longer than " + std::to_string(longestLine) + " bytes");
            closeAfterSending(connection);
        }
        return !connection.closing && !connection.closed;
    }

    void read(const std::shared_ptr<Connection>& connection) {
        connection->socket.async_read_some(
            asio::buffer(connection->buffer),
            [this, connection](const boost::system::error_code& error, std::size_t bytes) {
                if (connection->closed) {
                    return;
                }
                if (error) {
                    drop(*connection);
                    return;
                }
                // While it closes, what still comes is read and dropped: a
                // socket closed with unread bytes would be reset, and the
                // reset could cost the client its last lines.
                if (!connection->closing && received(*connection, bytes)) {
                    wakeIdleTimer(connection);
                }
                read(connection);
            });
    }

    // Every command's own lines are queued before anything else it causes is
    // sent, and a move counts as told once every seat's lines are queued.
    void dispatch(Outbox& out, std::optional<Clock::time_point> start) {
        for (auto& [client, line] : out.lines) {
            const auto found = connections_.find(client);
            if (found != connections_.end() && !found->second->closing) {
                send(*found->second, std::move(line));
            }
        }
        for (const ClientId client : out.closing) {
            const auto found = connections_.find(client);
            if (found != connections_.end()) {
                closeAfterSending(*found->second);
            }
        }
        if (start && out.moves > 0) {
            const auto spent =
                std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - *start);
            latencies_.push_back(spent.count());
        }
        for (Job& job : out.jobs) {
            asio::post(workers_, [this, job = std::move(job)]() mutable {
                JobResult result = runJob(std::move(job));
                asio::post(io_, [this, result = std::move(result)] {
                    if (stopping_) {
                        return;
                    }
                    Outbox done;
                    lobby_.finished(result, done);
                    dispatch(done, std::nullopt);
                });
            });
        }
    }

    void reportLatencies() const {
        if (latencies_.empty()) {
            return;
        }
        std::vector<std::int64_t> sorted = latencies_;
        std::sort(sorted.begin(), sorted.end());
        const auto at = [&](double share) {
            const auto index =
                static_cast<std::size_t>(share * static_cast<double>(sorted.size() - 1));
            return static_cast<double>(sorted[index]) / 1000.0;
        };
        std::array<char, 200> line{};
        std::snprintf(line.data(), line.size(),
                      "pellaro-server: %zu moves told; from a move received to every seat's "
                      "lines sent: median %.2f ms, 99th percentile %.2f ms, most %.2f ms\n",
                      sorted.size(), at(0.5), at(0.99), at(1.0));
        std::cerr << line.data();
    }

private:
    void sweepEachMinute() {
        sweepTimer_.expires_after(std::chrono::minutes(1));
        sweepTimer_.async_wait([this](const boost::system::error_code& error) {
            if (error || stopping_) {
                return;
            }
            lobby_.sweep(limits_.abandon);
            sweepEachMinute();
        });
    }

    void accept() {
        acceptor_.async_accept([this](const boost::system::error_code& error, tcp::socket socket) {
            if (stopping_) {
                return;
            }
            if (error) {
                // Out of descriptors: wait a moment rather than spin.
                pauseTimer_.expires_after(std::chrono::seconds(1));
                pauseTimer_.async_wait([this](const boost::system::error_code&) {
                    if (!stopping_) {
                        accept();
                    }
                });
                return;
            }
            admit(std::move(socket));
            accept();
        });
    }

    void admit(tcp::socket socket) {
        boost::system::error_code error;
        const tcp::endpoint peer = socket.remote_endpoint(error);
        if (error) {
            return;
        }
        socket.set_option(tcp::no_delay(true), error);
        socket.set_option(asio::socket_base::keep_alive(true), error);
        const std::string address = peer.address().to_string();
        auto connection =
            std::make_shared<Connection>(*this, std::move(socket), ++lastId_, address);
        connections_[connection->id] = connection;
        const std::size_t fromAddress = ++perAddress_[address];
        if (fromAddress > limits_.perAddress || connections_.size() > limits_.connections) {
            send(*connection, fromAddress > limits_.perAddress
                                  ? "BYE too many connections from your address"
                                  : "BYE the server has as many connections as it may");
            closeAfterSending(*connection);
            read(connection);
            return;
        }
        Outbox out;
        lobby_.connect(connection->id, out);
        connection->admitted = true;
        dispatch(out, std::nullopt);
        wakeIdleTimer(connection);
        read(connection);
    }

    void wakeIdleTimer(const std::shared_ptr<Connection>& connection) {
        connection->timer.expires_after(limits_.idle);
        connection->timer.async_wait([this, connection](const boost::system::error_code& error) {
            if (error || connection->closed || connection->closing) {
                return;
            }
            const auto seconds = limits_.idle.count();
            send(*connection, "BYE idle for " + std::to_string(seconds) +
                                  (seconds == 1 ? " second" : " seconds"));
            closeAfterSending(*connection);
        });
    }

    void send(Connection& connection, std::string line) {
        connection.queued += line.size() + 1;
        if (connection.queued > limits_.queued) {
            // It reads nothing: it is dropped rather than held in memory.
            drop(connection);
            return;
        }
        line += '\n';
        connection.outgoing.push_back(std::move(line));
        if (connection.writing.empty()) {
            writeNext(connection.shared_from_this());
        }
    }

    void writeNext(const std::shared_ptr<Connection>& connection) {
        if (connection->outgoing.empty()) {
            if (connection->closing) {
                finishClosing(*connection);
            }
            return;
        }
        // Everything waiting goes in one write.
        std::string& batch = connection->writing;
        for (const std::string& line : connection->outgoing) {
            batch += line;
        }
        connection->outgoing.clear();
        asio::async_write(connection->socket, asio::buffer(batch),
                          [this, connection](const boost::system::error_code& error, std::size_t) {
                              if (connection->closed) {
                                  return;
                              }
                              if (error) {
                                  drop(*connection);
                                  return;
                              }
                              connection->queued -= connection->writing.size();
                              connection->writing.clear();
                              writeNext(connection);
                          });
    }

    void closeAfterSending(Connection& connection) {
        if (connection.closing || connection.closed) {
            return;
        }
        connection.closing = true;
        leaveLobby(connection);
        auto held = connection.shared_from_this();
        connection.timer.cancel();
        connection.timer.expires_after(closingGrace);
        connection.timer.async_wait([this, held](const boost::system::error_code& error) {
            if (!error && !held->closed) {
                drop(*held);
            }
        });
        if (connection.writing.empty()) {
            finishClosing(connection);
        }
    }

    // Everything is sent: the client reads the end of the lines, and the
    // connection goes when the client closes its end or the grace is over.
    static void finishClosing(Connection& connection) {
        boost::system::error_code ignored;
        connection.socket.shutdown(tcp::socket::shutdown_send, ignored);
    }

    // Closes at once; whatever was not sent is lost to a client that did
    // not read it.
    void drop(Connection& connection) {
        if (connection.closed) {
            return;
        }
        connection.closed = true;
        boost::system::error_code ignored;
        connection.timer.cancel();
        connection.socket.close(ignored);
        auto held = connection.shared_from_this();
        connections_.erase(connection.id);
        if (--perAddress_[connection.address] == 0) {
            perAddress_.erase(connection.address);
        }
        // Posted, so that a connection dropped while lines are sent to others
        // never changes the lobby in the middle of that.
        asio::post(io_, [this, held] {
            leaveLobby(*held);
            if (stopping_ && connections_.empty()) {
                io_.stop();
            }
        });
    }

    void leaveLobby(Connection& connection) {
        if (!connection.admitted || connection.left) {
            return;
        }
        connection.left = true;
        Outbox out;
        lobby_.disconnect(connection.id, out);
        dispatch(out, std::nullopt);
    }

    void stop() {
        stopping_ = true;
        boost::system::error_code ignored;
        acceptor_.close(ignored);
        pauseTimer_.cancel();
        sweepTimer_.cancel();
        Outbox out;
        lobby_.stop(out);
        dispatch(out, std::nullopt);
        if (connections_.empty()) {
            io_.stop();
            return;
        }
        // Clients that read have their goodbye by then; the others are not
        // waited for.
        stopTimer_.expires_after(stoppingGrace);
        stopTimer_.async_wait([this](const boost::system::error_code& error) {
            if (!error) {
                io_.stop();
            }
        });
    }

    Lobby& lobby_;
    NetworkLimits limits_;
    asio::io_context io_{1};
    tcp::acceptor acceptor_;
    asio::signal_set signals_;
    asio::steady_timer pauseTimer_;
    asio::steady_timer sweepTimer_;
    asio::steady_timer stopTimer_;
    asio::thread_pool workers_;
    std::map<ClientId, std::shared_ptr<Connection>> connections_;
    std::map<std::string, std::size_t> perAddress_;
    ClientId lastId_ = 0;
    bool stopping_ = false;
    std::vector<std::int64_t> latencies_;
};

// NOLINTEND(misc-no-recursion)

// Every connection is a descriptor: the server may use as many as the
// system lets it.
void raiseDescriptorLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

} // namespace

int serve(Lobby& lobby, const std::string& address, std::uint16_t port, const NetworkLimits& limits,
          const std::string& ready) {
    raiseDescriptorLimit();
    Network network(lobby, limits);
    std::string why;
    if (!network.listen(address, port, why)) {
        std::cerr << "pellaro-server: " << why << '\n';
        return 1;
    }
    std::cerr << "pellaro-server: listening on " << address << ':' << network.port() << '\n';
    if (!ready.empty()) {
        // Written whole under another name first, so a reader never sees half a port.
        const std::string partial = ready + ".partial";
        std::ofstream(partial) << network.port() << '\n';
        std::rename(partial.c_str(), ready.c_str());
    }
    network.run();
    network.reportLatencies();
    return 0;
}

} // namespace pellaro
