#pragma once

#include "asio.h"
#include "lobby_menu.h"
#include "net_options.h"
#include "seat_file.h"
#include "server_link.h"
#include "typed_lines.h"

#include <deque>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

namespace pellaro {

// A person at a pellaro-server: the server's screens and questions on
// standard output, the person's lines from standard input turned into
// commands, the lobby's menu between games, and the seat kept across a lost
// connection.
class NetClient {
public:
    NetClient(boost::asio::io_context& io, NetOptions options, std::ostream& out,
              std::ostream& err);

    // Connects; the loop then runs the session until it ends.
    void start();
    // The exit status once the loop has stopped.
    int status() const { return status_; }

private:
    struct Sent {
        std::string line;
        // Typed by the person, not sent by the client on its own.
        bool typed = false;
    };

    void connect();
    void connected(const std::string& failure);
    void received(const std::string& line);
    void greeted();
    void answered(bool ok, const std::string& rest);
    void accepted(const Sent& command, const std::string& rest);
    void refused(const Sent& command, const std::string& reason);
    void asked(const std::string& question);
    void sat(const std::string& verb, const std::string& rest);
    void gameOver();
    void ended(ServerLink::Ending ending);
    void retry();

    void pump();
    void pumpSoon();
    bool ready() const;
    void typed(const TypedLine& line);
    void command(const std::string& line, bool typed);
    void offerMenu();
    void reprompt();

    void print(const std::string& text);
    void say(const std::string& text);
    void warn(const std::string& text);
    void finish(int status);

    boost::asio::io_context& io_;
    NetOptions options_;
    std::ostream& out_;
    std::ostream& err_;
    ServerLink link_;
    TypedLines keyboard_;
    LobbyMenu menu_;
    boost::asio::steady_timer timer_;
    std::filesystem::path seatsFile_;

    bool greeted_ = false;
    bool reconnecting_ = false;
    int attempts_ = 0;
    // The commands sent and not yet answered, oldest first: the server
    // answers each with one OK or ERR, in order.
    std::deque<Sent> sent_;
    std::deque<TypedLine> typed_;
    bool reading_ = false;
    bool pumpDue_ = false;
    bool inputEnded_ = false;
    // Seated or watching: lines that are no command answer questions.
    bool atTable_ = false;
    std::optional<HeldSeat> seat_;
    std::optional<std::string> question_;
    // The question the last ANSWER answered, asked again if it is refused.
    std::optional<std::string> answering_;
    bool quitting_ = false;
    // The last thing printed was a question, its line not ended yet.
    bool midLine_ = false;
    bool finished_ = false;
    int status_ = 1;
};

} // namespace pellaro
