#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellaro {

// The seats a person holds at tables of servers, kept so that a lost
// connection or a closed terminal does not lose them: the file net-seats
// beside the other files of the player, one line "host:port code seat token"
// a seat, readable by its owner alone since the token is the seat's key.

struct HeldSeat {
    std::string code;
    int seat = 0;
    std::string token;
};

struct SeatLine {
    // The server as host:port.
    std::string server;
    HeldSeat held;
};

// A table's code as the server gives it: 1 to 16 letters or digits.
bool isTableCode(std::string_view text);

// The seat that the words code, seat and token name, if they are one.
std::optional<HeldSeat> heldSeatOf(std::string_view code, std::string_view seat,
                                   std::string_view token);

// The file: $XDG_DATA_HOME/pellaro/net-seats, else
// ~/.local/share/pellaro/net-seats; empty when neither can be found.
std::filesystem::path seatsFile();

struct SeatsRead {
    std::vector<SeatLine> seats;
    // Lines that hold no seat, left out.
    std::size_t badLines = 0;
    // Why the file could not be read; empty when it was, or is missing.
    std::string failure;
};

SeatsRead readSeats(const std::filesystem::path& file);

// The file's text for these seats.
std::string seatsText(const std::vector<SeatLine>& seats);

// Replaces the file whole by these seats, with mode 0600, making its
// folder if needed; false with the reason when it could not.
bool writeSeats(const std::filesystem::path& file, const std::vector<SeatLine>& seats,
                std::string& failure);

// Adds the seat to the file, in place of an earlier line for the same
// server, table and seat; false with the reason when it could not.
bool rememberSeat(const std::filesystem::path& file, const SeatLine& seat, std::string& failure);

// Removes the seat's line from the file; false with the reason when it
// could not.
bool forgetSeat(const std::filesystem::path& file, const SeatLine& seat, std::string& failure);

// Whether this line from the server tells that the table's game is over,
// so that its seat can no longer be resumed. A BYE is not: it ends the
// connection, while the seat waits for RESUME.
bool endsTheGame(std::string_view serverLine);

} // namespace pellaro
