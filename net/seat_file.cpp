#include "seat_file.h"

#include "line_text.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace pellaro {

namespace fs = std::filesystem;

namespace {

// Far more seats than a person holds; a larger file is no seats file.
constexpr std::size_t largestFile = 1 << 20;

bool isLetterOrDigit(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isToken(std::string_view text) {
    return text.size() == 32 && std::all_of(text.begin(), text.end(), [](char c) {
               return isDigit(c) || (c >= 'a' && c <= 'f');
           });
}

bool isServer(std::string_view text) {
    const std::size_t colon = text.rfind(':');
    return colon != std::string_view::npos && colon > 0 && colon + 1 < text.size() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c > ' ' && c <= '~'; });
}

std::optional<SeatLine> seatLineOf(const std::string& line) {
    std::istringstream words(line);
    std::string server;
    std::string code;
    std::string seat;
    std::string token;
    std::string more;
    if (!(words >> server >> code >> seat >> token) || (words >> more) || !isServer(server)) {
        return std::nullopt;
    }
    std::optional<HeldSeat> held = heldSeatOf(code, seat, token);
    if (!held) {
        return std::nullopt;
    }
    return SeatLine{server, *held};
}

bool sameSeat(const SeatLine& a, const SeatLine& b) {
    return a.server == b.server && a.held.code == b.held.code && a.held.seat == b.held.seat;
}

std::string systemError() {
    return std::strerror(errno);
}

bool writeAll(int descriptor, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = write(descriptor, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// The file's bytes; a pipe or device in its place is refused rather than
// read, so that it cannot hang the program.
bool readWhole(const fs::path& file, std::string& text, std::string& failure) {
    const int descriptor = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) {
        if (errno != ENOENT) {
            failure = systemError();
        }
        return false;
    }
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        failure = "not a file";
    } else {
        std::array<char, 4096> buffer{};
        ssize_t got = 0;
        while ((got = read(descriptor, buffer.data(), buffer.size())) > 0 &&
               text.size() <= largestFile) {
            text.append(buffer.data(), static_cast<std::size_t>(got));
        }
        if (got < 0) {
            failure = systemError();
        } else if (text.size() > largestFile) {
            failure = "larger than " + std::to_string(largestFile) + " bytes";
        }
    }
    close(descriptor);
    return failure.empty();
}

} // namespace

bool isTableCode(std::string_view text) {
    if (text.empty() || text.size() > 16) {
        return false;
    }
    // The view is of the caller's string, which outlives the call.
    // cppcheck-suppress invalidLifetime
    return std::all_of(text.begin(), text.end(), isLetterOrDigit);
}

std::optional<HeldSeat> heldSeatOf(std::string_view code, std::string_view seat,
                                   std::string_view token) {
    if (!isTableCode(code) || seat.size() != 1 || seat[0] < '1' || seat[0] > '5' ||
        !isToken(token)) {
        return std::nullopt;
    }
    return HeldSeat{std::string(code), seat[0] - '0', std::string(token)};
}

fs::path seatsFile() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && fs::path(data).is_absolute()) {
        return fs::path(data) / "pellaro" / "net-seats";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') {
        return fs::path(home) / ".local" / "share" / "pellaro" / "net-seats";
    }
    return {};
}

SeatsRead readSeats(const fs::path& file) {
    SeatsRead read;
    std::string text;
    if (!readWhole(file, text, read.failure)) {
        return read;
    }
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (std::optional<SeatLine> seat = seatLineOf(line)) {
            read.seats.push_back(*seat);
        } else {
            ++read.badLines;
        }
    }
    return read;
}

std::string seatsText(const std::vector<SeatLine>& seats) {
    std::ostringstream text;
    for (const SeatLine& seat : seats) {
        text << seat.server << ' ' << seat.held.code << ' ' << seat.held.seat << ' '
             << seat.held.token << '\n';
    }
    return text.str();
}

bool writeSeats(const fs::path& file, const std::vector<SeatLine>& seats, std::string& failure) {
    std::error_code error;
    fs::create_directories(file.parent_path(), error);
    if (error) {
        failure = error.message();
        return false;
    }
    // mkstemp makes the file with mode 0600 already; fchmod says so anyway
    // whatever the umask.
    std::string name = file.string() + ".XXXXXX";
    const int descriptor = mkstemp(name.data());
    if (descriptor < 0) {
        failure = systemError();
        return false;
    }
    bool written = fchmod(descriptor, S_IRUSR | S_IWUSR) == 0 &&
                   writeAll(descriptor, seatsText(seats)) && fsync(descriptor) == 0;
    if (!written) {
        failure = systemError();
    }
    if (close(descriptor) != 0 && written) {
        failure = systemError();
        written = false;
    }
    if (written && std::rename(name.c_str(), file.c_str()) != 0) {
        failure = systemError();
        written = false;
    }
    if (!written) {
        unlink(name.c_str());
    }
    return written;
}

bool rememberSeat(const fs::path& file, const SeatLine& seat, std::string& failure) {
    SeatsRead read = readSeats(file);
    if (!read.failure.empty()) {
        failure = read.failure;
        return false;
    }
    std::erase_if(read.seats, [&](const SeatLine& held) { return sameSeat(held, seat); });
    read.seats.push_back(seat);
    return writeSeats(file, read.seats, failure);
}

bool forgetSeat(const fs::path& file, const SeatLine& seat, std::string& failure) {
    SeatsRead read = readSeats(file);
    if (!read.failure.empty()) {
        failure = read.failure;
        return false;
    }
    const std::size_t removed =
        std::erase_if(read.seats, [&](const SeatLine& held) { return sameSeat(held, seat); });
    return removed == 0 || writeSeats(file, read.seats, failure);
}

bool endsTheGame(std::string_view serverLine) {
    return serverLine.starts_with("| The game is over:");
}

} // namespace pellaro
