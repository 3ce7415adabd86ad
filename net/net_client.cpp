#include "net_client.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <sstream>
#include <vector>

namespace pellaro {

namespace {

constexpr int reconnectAttempts = 30;
constexpr std::chrono::seconds reconnectPause{2};

std::vector<std::string> wordsOf(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> words;
    std::string word;
    while (stream >> word) {
        words.push_back(word);
    }
    return words;
}

// The line's first word in capitals: the verbs are case-insensitive.
std::string verbOf(const std::string& line) {
    const std::vector<std::string> words = wordsOf(line);
    std::string verb = words.empty() ? std::string() : words.front();
    std::transform(verb.begin(), verb.end(), verb.begin(), [](char c) {
        return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    });
    return verb;
}

// Whether the server's line has this tag, alone or before a space; `rest`
// gets what follows the space.
bool tagged(const std::string& line, std::string_view tag, std::string& rest) {
    if (!line.starts_with(tag) || (line.size() > tag.size() && line[tag.size()] != ' ')) {
        return false;
    }
    rest = line.size() > tag.size() ? line.substr(tag.size() + 1) : std::string();
    return true;
}

bool isNumber(const std::string& text) {
    return !text.empty() && text.size() <= 9 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

NetClient::NetClient(boost::asio::io_context& io, NetOptions options, std::ostream& out,
                     std::ostream& err)
    : io_(io), options_(std::move(options)), out_(out), err_(err),
      link_(io, options_.host, options_.port), keyboard_(io), timer_(io), seatsFile_(seatsFile()) {}

void NetClient::start() {
    connect();
}

void NetClient::connect() {
    link_.connect({[this](const std::string& line) { received(line); },
                   [this](ServerLink::Ending ending) { ended(ending); }},
                  [this](const std::string& failure) { connected(failure); });
}

void NetClient::connected(const std::string& failure) {
    if (finished_ || failure.empty()) {
        return;
    }
    if (reconnecting_) {
        retry();
        return;
    }
    warn("cannot connect to " + options_.server() + ": " + failure);
    finish(1);
}

void NetClient::received(const std::string& line) {
    if (finished_) {
        return;
    }
    if (!greeted_) {
        if (line != "HELLO pellaro 1") {
            warn(options_.server() + " is no pellaro-server");
            finish(1);
            return;
        }
        greeted_ = true;
        greeted();
    } else if (std::string rest; tagged(line, "OK", rest)) {
        answered(true, rest);
    } else if (tagged(line, "ERR", rest)) {
        answered(false, rest);
    } else if (tagged(line, "|", rest)) {
        say(printableText(rest));
        if (endsTheGame(line)) {
            gameOver();
        }
    } else if (tagged(line, "?", rest)) {
        asked(printableText(rest));
    } else if (tagged(line, "BYE", rest)) {
        say(printableText(rest));
        finish(quitting_ ? 0 : 1);
    }
    // MOVE lines, and tags of later versions, are not for people.
    pumpSoon();
}

void NetClient::greeted() {
    if (!options_.name.empty()) {
        command("NAME " + options_.name, false);
    }
    if (reconnecting_) {
        reconnecting_ = false;
        command("RESUME " + seat_->code + ' ' + std::to_string(seat_->seat) + ' ' + seat_->token,
                false);
        return;
    }
    if (!seatsFile_.empty()) {
        const SeatsRead read = readSeats(seatsFile_);
        if (!read.failure.empty()) {
            warn("cannot read " + seatsFile_.string() + ": " + read.failure);
        } else if (read.badLines > 0) {
            warn(seatsFile_.string() + ": " + std::to_string(read.badLines) +
                 (read.badLines == 1 ? " line holds" : " lines hold") + " no seat; ignored");
        }
    }
    offerMenu();
}

void NetClient::answered(bool ok, const std::string& rest) {
    if (sent_.empty()) {
        return;
    }
    const Sent answeredCommand = sent_.front();
    sent_.pop_front();
    if (ok) {
        accepted(answeredCommand, rest);
    } else {
        refused(answeredCommand, rest);
    }
}

void NetClient::accepted(const Sent& command, const std::string& rest) {
    const std::string verb = verbOf(command.line);
    const std::vector<std::string> words = wordsOf(rest);
    if (verb == "CREATE" || verb == "JOIN") {
        sat(verb, rest);
    } else if (verb == "RESUME") {
        const std::vector<std::string> sent = wordsOf(command.line);
        atTable_ = true;
        seat_ = sent.size() == 4 ? heldSeatOf(sent[1], sent[2], sent[3]) : std::nullopt;
        if (seat_) {
            say("Back in seat " + std::to_string(seat_->seat) + " at table " + seat_->code + ".");
        }
    } else if (verb == "WATCH") {
        atTable_ = true;
        say("Watching table " + printableText(words.empty() ? "" : words.front()) + ".");
    } else if (verb == "LIST") {
        say(!words.empty() && isNumber(words.front())
                ? "Tables waiting for people: " + words.front()
                : printableText(rest));
    } else if (verb == "LEAVE") {
        atTable_ = false;
        seat_.reset();
        question_.reset();
        say("You left the table; your seat waits for you.");
        offerMenu();
    } else if (command.typed && (verb == "NAME" || verb == "HAND")) {
        say("Done.");
    } else if (verb == "ANSWER") {
        answering_.reset();
    }
}

void NetClient::sat(const std::string& verb, const std::string& rest) {
    const std::vector<std::string> words = wordsOf(rest);
    atTable_ = true;
    seat_ = words.size() == 3 ? heldSeatOf(words[0], words[1], words[2]) : std::nullopt;
    if (!seat_) {
        say("The server named no seat: " + printableText(rest));
        return;
    }
    std::string failure;
    if (!seatsFile_.empty() &&
        !rememberSeat(seatsFile_, SeatLine{options_.server(), *seat_}, failure)) {
        warn("cannot write " + seatsFile_.string() + ": " + failure);
    }
    std::string text =
        "You sit in seat " + std::to_string(seat_->seat) + " at table " + seat_->code;
    say(verb == "CREATE" ? text + "; the others join it with its code." : text + ".");
}

void NetClient::refused(const Sent& command, const std::string& reason) {
    const std::string verb = verbOf(command.line);
    say(reason.empty() ? "Refused." : printableText(reason));
    if (verb == "ANSWER" && answering_) {
        question_ = answering_;
        answering_.reset();
        print(*question_);
    } else if (verb == "RESUME" && !command.typed) {
        // The seat kept over a lost connection is gone; its line stays in
        // the file, offered again, in case the server only failed for now.
        seat_.reset();
        atTable_ = false;
    }
    if (!atTable_ && (verb == "CREATE" || verb == "JOIN" || verb == "WATCH" || verb == "RESUME")) {
        offerMenu();
    }
}

void NetClient::asked(const std::string& question) {
    if (quitting_) {
        return;
    }
    print(question);
    question_ = question;
}

void NetClient::gameOver() {
    if (seat_) {
        std::string failure;
        if (!seatsFile_.empty() &&
            !forgetSeat(seatsFile_, SeatLine{options_.server(), *seat_}, failure)) {
            warn("cannot write " + seatsFile_.string() + ": " + failure);
        }
        seat_.reset();
    }
    atTable_ = false;
    offerMenu();
}

void NetClient::ended(ServerLink::Ending ending) {
    if (finished_) {
        return;
    }
    if (ending == ServerLink::Ending::TooLong) {
        warn("the server sent a line too long");
        finish(1);
    } else if (reconnecting_) {
        retry();
    } else if (!greeted_) {
        warn(options_.server() + " is no pellaro-server");
        finish(1);
    } else if (quitting_) {
        finish(0);
    } else if (seat_) {
        warn("lost the connection to " + options_.server() +
             "; connecting again every 2 seconds (Ctrl-C stops)");
        reconnecting_ = true;
        greeted_ = false;
        attempts_ = 0;
        sent_.clear();
        question_.reset();
        answering_.reset();
        retry();
    } else {
        warn(options_.server() + " closed the connection");
        finish(1);
    }
}

void NetClient::retry() {
    if (attempts_ == reconnectAttempts) {
        warn("cannot connect to " + options_.server() + " again; giving up");
        finish(1);
        return;
    }
    ++attempts_;
    timer_.expires_after(reconnectPause);
    timer_.async_wait([this](const boost::system::error_code& error) {
        if (!error && !finished_) {
            connect();
        }
    });
}

void NetClient::pumpSoon() {
    // After the rest of the lines that came with this one: the lines an OK
    // brings come before the next typed line is taken.
    if (!pumpDue_) {
        pumpDue_ = true;
        boost::asio::post(io_, [this] {
            pumpDue_ = false;
            pump();
        });
    }
}

bool NetClient::ready() const {
    return !finished_ && greeted_ && !reconnecting_ && sent_.empty() && !quitting_;
}

void NetClient::pump() {
    while (ready() && !typed_.empty()) {
        const TypedLine& next = typed_.front();
        // At a table a line that is no command answers the next question,
        // however early it was typed.
        if (atTable_ && !question_ && next.kind == TypedLine::Kind::Line &&
            !isCommandLine(next.text) && typedLineFault(next.text) == TypedFault::None) {
            break;
        }
        const TypedLine line = next;
        typed_.pop_front();
        typed(line);
    }
    if (!finished_ && typed_.empty() && !reading_ && !inputEnded_) {
        reading_ = true;
        keyboard_.next([this](TypedLine line) {
            reading_ = false;
            inputEnded_ = line.kind == TypedLine::Kind::End;
            typed_.push_back(std::move(line));
            pump();
        });
    }
}

void NetClient::typed(const TypedLine& line) {
    if (line.kind == TypedLine::Kind::End) {
        if (midLine_) {
            out_ << '\n' << std::flush;
            midLine_ = false;
        }
        command("QUIT", true);
        return;
    }
    // The person's Enter ended the line of the question.
    midLine_ = false;
    if (line.kind == TypedLine::Kind::TooLong || typedLineFault(line.text) == TypedFault::TooLong) {
        say("That line is longer than " + std::to_string(longestTypedLine) +
            " bytes; it was not sent.");
        reprompt();
        return;
    }
    if (typedLineFault(line.text) != TypedFault::None) {
        say("That line holds a character that is not printable ASCII; it was not sent.");
        reprompt();
        return;
    }
    if (isCommandLine(line.text)) {
        if (!atTable_) {
            // Leaves whatever the menu was asking.
            menu_.take(line.text);
        }
        if (verbOf(line.text) == "ANSWER") {
            question_.reset();
        }
        command(line.text, true);
    } else if (question_) {
        answering_ = question_;
        question_.reset();
        command("ANSWER " + line.text, true);
    } else {
        const MenuStep step = menu_.take(line.text);
        print(step.show);
        for (const std::string& sent : step.send) {
            command(sent, true);
        }
    }
}

void NetClient::command(const std::string& line, bool typed) {
    link_.send(line);
    sent_.push_back(Sent{line, typed});
    if (verbOf(line) == "QUIT") {
        quitting_ = true;
    }
}

void NetClient::offerMenu() {
    std::vector<HeldSeat> here;
    if (!seatsFile_.empty()) {
        for (const SeatLine& seat : readSeats(seatsFile_).seats) {
            if (seat.server == options_.server()) {
                here.push_back(seat.held);
            }
        }
    }
    menu_.holdSeats(std::move(here));
    print(menu_.offer());
}

void NetClient::reprompt() {
    if (question_) {
        print(*question_);
    } else if (!atTable_) {
        print(menu_.prompt());
    }
}

void NetClient::print(const std::string& text) {
    if (text.empty()) {
        return;
    }
    if (midLine_) {
        out_ << '\n';
    }
    out_ << text << std::flush;
    midLine_ = text.back() != '\n';
}

void NetClient::say(const std::string& text) {
    print(text + '\n');
}

void NetClient::warn(const std::string& text) {
    if (midLine_) {
        out_ << '\n' << std::flush;
        midLine_ = false;
    }
    err_ << "pellaro-net: " << text << '\n' << std::flush;
}

void NetClient::finish(int status) {
    if (finished_) {
        return;
    }
    finished_ = true;
    status_ = status;
    link_.close();
    timer_.cancel();
    io_.stop();
}

} // namespace pellaro
