#pragma once

#include "seat_file.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pellaro {

// The lobby as a person meets it: a short menu and the questions each of
// its entries needs, turning typed lines into the server's commands. It
// knows no socket, so every answer can be tried in memory.

struct MenuStep {
    // For the person: whole lines, then the next question (no line end).
    std::string show;
    // The commands to send, without their line ends.
    std::vector<std::string> send;
};

// Whether the line begins with one of the server's verbs, in any case: such
// a line goes to the server as it was typed.
bool isCommandLine(std::string_view typed);

class LobbyMenu {
public:
    // The seats this person holds at this server, offered for resuming.
    void holdSeats(std::vector<HeldSeat> seats);
    // The menu, asked afresh.
    std::string offer();
    // The question waiting for its answer, asked again.
    std::string prompt() const;
    // What a typed line does.
    MenuStep take(std::string_view typed);

private:
    enum class Asking : std::uint8_t {
        Choice,
        Players,
        People,
        Strength,
        JoinCode,
        WatchCode,
        Seat
    };

    MenuStep choose(std::string_view text);
    MenuStep resume();
    MenuStep ask(Asking question, std::string before = {});

    std::vector<HeldSeat> seats_;
    Asking asking_ = Asking::Choice;
    int players_ = 0;
    int people_ = 0;
};

} // namespace pellaro
