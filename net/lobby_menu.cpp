#include "lobby_menu.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <sstream>
#include <utility>

namespace pellaro {

namespace {

constexpr std::array<std::string_view, 12> verbs = {"HELP",  "NAME",  "CREATE", "LIST",
                                                    "JOIN",  "WATCH", "RESUME", "ANSWER",
                                                    "BOARD", "HAND",  "LEAVE",  "QUIT"};

constexpr std::string_view menuLine =
    "(C)reate a table, (J)oin one, (W)atch one, (L)ist the waiting tables, (Q)uit: ";
constexpr std::string_view strengthQuestion = "Computer players: (E)asy, (M)edium or (H)ard? ";
constexpr std::string_view codeQuestion = "Table code: ";

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

char upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

// A whole number from first to last typed alone on the line.
std::optional<int> numberIn(std::string_view typed, int first, int last) {
    const std::string_view text = trimmed(typed);
    if (text.empty() || text.size() > 2 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const int value = text.size() == 1 ? text[0] - '0' : (text[0] - '0') * 10 + text[1] - '0';
    if (value < first || value > last) {
        return std::nullopt;
    }
    return value;
}

std::string range(int first, int last) {
    return "(" + std::to_string(first) + "-" + std::to_string(last) + "): ";
}

std::string resumeCommand(const HeldSeat& seat) {
    return "RESUME " + seat.code + ' ' + std::to_string(seat.seat) + ' ' + seat.token;
}

} // namespace

bool isCommandLine(std::string_view typed) {
    const std::string_view text = trimmed(typed);
    const std::string_view word = text.substr(0, text.find_first_of(" \t"));
    return std::any_of(verbs.begin(), verbs.end(), [word](std::string_view verb) {
        return word.size() == verb.size() &&
               std::equal(word.begin(), word.end(), verb.begin(),
                          [](char a, char b) { return upper(a) == b; });
    });
}

void LobbyMenu::holdSeats(std::vector<HeldSeat> seats) {
    seats_ = std::move(seats);
}

std::string LobbyMenu::offer() {
    asking_ = Asking::Choice;
    return prompt();
}

std::string LobbyMenu::prompt() const {
    switch (asking_) {
    case Asking::Choice: {
        std::string text;
        if (seats_.size() == 1) {
            text = "(R)esume your seat at table " + seats_.front().code + '\n';
        } else if (seats_.size() > 1) {
            text = "(R)esume one of your " + std::to_string(seats_.size()) + " seats\n";
        }
        return text.append(menuLine);
    }
    case Asking::Players:
        return "Enter number of players " + range(2, 5);
    case Asking::People:
        return "Enter number of people " + range(1, players_);
    case Asking::Strength:
        return std::string(strengthQuestion);
    case Asking::JoinCode:
    case Asking::WatchCode:
        return std::string(codeQuestion);
    case Asking::Seat:
        return "Which one " + range(1, static_cast<int>(seats_.size()));
    }
    return {};
}

MenuStep LobbyMenu::ask(Asking question, std::string before) {
    asking_ = question;
    before += prompt();
    return MenuStep{std::move(before), {}};
}

MenuStep LobbyMenu::take(std::string_view typed) {
    if (isCommandLine(typed)) {
        asking_ = Asking::Choice;
        return MenuStep{{}, {std::string(typed)}};
    }
    const std::string_view text = trimmed(typed);
    switch (asking_) {
    case Asking::Choice:
        return choose(text);
    case Asking::Players:
        if (const std::optional<int> players = numberIn(text, 2, 5)) {
            players_ = *players;
            return ask(Asking::People);
        }
        return MenuStep{"Please enter the number of players " + range(2, 5), {}};
    case Asking::People:
        if (const std::optional<int> people = numberIn(text, 1, players_)) {
            people_ = *people;
            if (people_ < players_) {
                return ask(Asking::Strength);
            }
            asking_ = Asking::Choice;
            return MenuStep{{}, {"CREATE " + std::string(static_cast<std::size_t>(people_), 'P')}};
        }
        return MenuStep{"Please enter the number of people " + range(1, players_), {}};
    case Asking::Strength: {
        const char strength = text.empty() ? ' ' : upper(text.front());
        if (strength != 'E' && strength != 'M' && strength != 'H') {
            return ask(Asking::Strength, text.empty() ? "" : "Invalid choice!\n");
        }
        asking_ = Asking::Choice;
        std::string seats(static_cast<std::size_t>(people_), 'P');
        seats.append(static_cast<std::size_t>(players_ - people_), strength);
        return MenuStep{{}, {"CREATE " + seats}};
    }
    case Asking::JoinCode:
    case Asking::WatchCode:
        if (!isTableCode(text)) {
            return MenuStep{"Please enter the table's code, letters and digits: ", {}};
        }
        return MenuStep{{},
                        {(asking_ == Asking::JoinCode ? "JOIN " : "WATCH ") + std::string(text)}};
    case Asking::Seat:
        if (const std::optional<int> chosen = numberIn(text, 1, static_cast<int>(seats_.size()))) {
            asking_ = Asking::Choice;
            return MenuStep{{}, {resumeCommand(seats_[static_cast<std::size_t>(*chosen - 1)])}};
        }
        return MenuStep{"Please enter a number " + range(1, static_cast<int>(seats_.size())), {}};
    }
    return {};
}

MenuStep LobbyMenu::choose(std::string_view text) {
    if (text.empty()) {
        return ask(Asking::Choice);
    }
    switch (upper(text.front())) {
    case 'C':
        return ask(Asking::Players);
    case 'J':
        return ask(Asking::JoinCode);
    case 'W':
        return ask(Asking::WatchCode);
    case 'L':
        return MenuStep{{}, {"LIST"}};
    case 'Q':
        return MenuStep{{}, {"QUIT"}};
    case 'R':
        if (!seats_.empty()) {
            return resume();
        }
        break;
    default:
        break;
    }
    return ask(Asking::Choice, "Invalid choice!\n");
}

MenuStep LobbyMenu::resume() {
    if (seats_.size() == 1) {
        return MenuStep{{}, {resumeCommand(seats_.front())}};
    }
    std::ostringstream list;
    for (std::size_t i = 0; i < seats_.size(); ++i) {
        list << "  " << i + 1 << ". table " << seats_[i].code << ", seat " << seats_[i].seat
             << '\n';
    }
    return ask(Asking::Seat, list.str());
}

} // namespace pellaro
