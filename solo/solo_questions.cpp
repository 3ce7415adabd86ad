#include "solo_questions.h"

#include "../console/console_input.h"

#include <iostream>
#include <optional>

namespace pellaro {

std::int32_t askPeopleCount(std::int32_t players) {
    // At least one seat is a computer player's, or this would be the hot-seat game.
    const std::int32_t most = players - 1;
    std::cout << "Enter number of people (1-" << most << "): ";
    discardRestOfLine();
    for (;;) {
        const std::optional<std::int32_t> count = readNumberAnswer();
        if (!count) {
            return 1;
        }
        if (*count >= 1 && *count <= most) {
            return *count;
        }
        // The player's Enter has already moved the cursor to a new line.
        std::cout << "Please enter the number of people (1-" << most << "): ";
    }
}

Strength askStrength() {
    for (;;) {
        std::cout << "Computer players: (E)asy, (M)edium or (H)ard? ";
        const std::optional<char> answer = readWordAnswer();
        if (!answer) {
            return Strength::Easy;
        }
        switch (*answer) {
        case 'E':
        case 'e':
            return Strength::Easy;
        case 'M':
        case 'm':
            return Strength::Medium;
        case 'H':
        case 'h':
            return Strength::Hard;
        default:
            std::cout << "Invalid choice!";
            endLine();
        }
    }
}

} // namespace pellaro
