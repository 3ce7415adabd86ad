#include "seating.h"

#include <array>

namespace pellaro {

bool isPerson(const Seating& seating, std::int32_t seat) {
    if (!seating.seats.empty()) {
        return seating.seats[static_cast<std::size_t>(seat)].person;
    }
    return seat < seating.people;
}

std::string strengthName(Strength strength) {
    constexpr std::array<const char*, strengthCount> names = {"Easy", "Medium", "Hard"};
    return names[static_cast<std::size_t>(strength)];
}

std::string computerName(const Seating& seating) {
    return seating.botLabel.empty() ? strengthName(seating.strength) : seating.botLabel;
}

std::string shortSeatName(const Seating& seating, std::int32_t seat) {
    std::string kind;
    if (!seating.seats.empty()) {
        kind = seating.seats[static_cast<std::size_t>(seat)].label;
    } else if (!isPerson(seating, seat)) {
        kind = computerName(seating);
    } else {
        kind = seating.people == 1 ? "you" : "person";
    }
    return '#' + std::to_string(seat + 1) + " (" + kind + ')';
}

std::string seatName(const Seating& seating, std::int32_t seat) {
    return "Player " + shortSeatName(seating, seat);
}

} // namespace pellaro
