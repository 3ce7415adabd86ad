#include "commands.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>

namespace pellaro {

void LineCutter::add(std::string_view bytes) {
    if (overlong_) {
        return;
    }
    // Lines already handed out are dropped before the buffer grows.
    if (start_ > 0) {
        pending_.erase(0, start_);
        start_ = 0;
    }
    pending_.append(bytes);
}

std::optional<std::string> LineCutter::next() {
    if (overlong_) {
        return std::nullopt;
    }
    const std::size_t end = pending_.find('\n', start_);
    if (end == std::string::npos) {
        // One byte more may be the "\r" of a line's end.
        overlong_ = pending_.size() - start_ > longestLine + 1;
        return std::nullopt;
    }
    std::size_t stop = end;
    if (stop > start_ && pending_[stop - 1] == '\r') {
        --stop;
    }
    if (stop - start_ > longestLine) {
        overlong_ = true;
        return std::nullopt;
    }
    std::string line = pending_.substr(start_, stop - start_);
    start_ = end + 1;
    return line;
}

namespace {

struct VerbName {
    std::string_view name;
    Verb verb;
};

constexpr std::array<VerbName, 12> verbs = {{
    {"HELP", Verb::Help},
    {"NAME", Verb::Name},
    {"CREATE", Verb::Create},
    {"LIST", Verb::List},
    {"JOIN", Verb::Join},
    {"WATCH", Verb::Watch},
    {"RESUME", Verb::Resume},
    {"ANSWER", Verb::Answer},
    {"BOARD", Verb::Board},
    {"HAND", Verb::Hand},
    {"LEAVE", Verb::Leave},
    {"QUIT", Verb::Quit},
}};

std::vector<std::string_view> wordsOf(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && line[at] == ' ') {
            ++at;
        }
        const std::size_t start = at;
        while (at < line.size() && line[at] != ' ') {
            ++at;
        }
        if (at > start) {
            words.push_back(line.substr(start, at - start));
        }
    }
    return words;
}

std::string upper(std::string_view word) {
    std::string text(word);
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

bool isPrintable(std::string_view line) {
    return std::all_of(line.begin(), line.end(),
                       [](char c) { return (c >= ' ' && c <= '~') || c == '\t'; });
}

// A seat as typed, from 1, read to its index from 0.
std::optional<std::int32_t> seatOf(std::string_view word) {
    std::int32_t seat = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), seat);
    if (error != std::errc() || end != word.data() + word.size() || seat < 1 || seat > 5) {
        return std::nullopt;
    }
    return seat - 1;
}

std::optional<SeatKind> kindOf(char letter) {
    switch (std::toupper(static_cast<unsigned char>(letter))) {
    case 'P':
        return SeatKind::Person;
    case 'E':
        return SeatKind::Easy;
    case 'M':
        return SeatKind::Medium;
    case 'H':
        return SeatKind::Hard;
    default:
        return std::nullopt;
    }
}

bool isToken(std::string_view word) {
    return word.size() == 32 && std::all_of(word.begin(), word.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

// How many words each verb takes after it, at least and at most.
struct Arity {
    std::size_t least;
    std::size_t most;
    const char* usage;
};

Arity arityOf(Verb verb) {
    switch (verb) {
    case Verb::Name:
        return {1, 1, "NAME <name>"};
    case Verb::Create:
        return {1, 1, "CREATE <seats>, such as CREATE PPHH"};
    case Verb::Join:
        return {1, 2, "JOIN <code> [<seat>]"};
    case Verb::Watch:
        return {1, 1, "WATCH <code>"};
    case Verb::Resume:
        return {3, 3, "RESUME <code> <seat> <token>"};
    case Verb::Answer:
        return {1, 1000, "ANSWER <text>"};
    case Verb::Hand:
        return {2, 2, "HAND <seat> <E|M|H>"};
    default:
        return {0, 0, nullptr};
    }
}

using Words = std::vector<std::string_view>;

bool readSeats(Command& command, std::string_view word, std::string& why) {
    if (word.size() < 2 || word.size() > 5) {
        why = "a table has 2 to 5 seats: one letter each, P for a person, E, M or H for a "
              "computer player";
        return false;
    }
    for (const char letter : word) {
        const std::optional<SeatKind> kind = kindOf(letter);
        if (!kind) {
            why = "seats are P for a person, E, M or H for an Easy, Medium or Hard computer "
                  "player";
            return false;
        }
        command.seats.push_back(*kind);
    }
    if (std::find(command.seats.begin(), command.seats.end(), SeatKind::Person) ==
        command.seats.end()) {
        why = "a table needs a person: at least one seat P";
        return false;
    }
    return true;
}

// JOIN, WATCH and RESUME: a table's code, a seat, a token.
bool readTableFields(Command& command, const Words& words, std::string& why) {
    const std::string code = upper(words[1]);
    if (!isTableCode(code)) {
        why = "a table code is six letters and digits, such as K7QF2M";
        return false;
    }
    command.code = code;
    if (words.size() > 2) {
        const std::optional<std::int32_t> seat = seatOf(words[2]);
        if (!seat) {
            why = "seats are numbered 1 to 5";
            return false;
        }
        command.seat = *seat;
    }
    if (command.verb == Verb::Resume) {
        if (!isToken(words[3])) {
            why = "a seat token is the 32 digits and letters a to f that JOIN or CREATE gave";
            return false;
        }
        command.text = std::string(words[3]);
    }
    return true;
}

bool readFields(Command& command, const Words& words, std::string& why) {
    switch (command.verb) {
    case Verb::Name:
        if (!isSeatName(words[1])) {
            why = "a name is 1 to 8 letters, digits, - or _";
            return false;
        }
        command.text = std::string(words[1]);
        return true;
    case Verb::Create:
        return readSeats(command, words[1], why);
    case Verb::Join:
    case Verb::Watch:
    case Verb::Resume:
        return readTableFields(command, words, why);
    case Verb::Hand: {
        const std::optional<std::int32_t> seat = seatOf(words[1]);
        const std::optional<SeatKind> kind =
            words[2].size() == 1 ? kindOf(words[2][0]) : std::nullopt;
        if (!seat || !kind || *kind == SeatKind::Person) {
            why = "usage: HAND <seat> <E|M|H>";
            return false;
        }
        command.seat = *seat;
        command.seats = {*kind};
        return true;
    }
    default:
        return true;
    }
}

} // namespace

std::optional<Command> parseCommand(std::string_view line, std::string& why) {
    if (!isPrintable(line)) {
        why = "lines are printable ASCII";
        return std::nullopt;
    }
    std::string spaced(line);
    std::replace(spaced.begin(), spaced.end(), '\t', ' ');
    const std::vector<std::string_view> words = wordsOf(spaced);
    if (words.empty()) {
        why = "an empty line is no command; HELP lists them";
        return std::nullopt;
    }
    const std::string verbWord = upper(words[0]);
    const auto* const named = std::find_if(
        verbs.begin(), verbs.end(), [&](const VerbName& verb) { return verb.name == verbWord; });
    if (named == verbs.end()) {
        why = "no such command; HELP lists them";
        return std::nullopt;
    }
    Command command{named->verb};
    const Arity arity = arityOf(command.verb);
    const std::size_t given = words.size() - 1;
    if (given < arity.least || given > arity.most) {
        why = arity.usage == nullptr ? std::string(named->name) + " takes nothing after it"
                                     : std::string("usage: ") + arity.usage;
        return std::nullopt;
    }
    if (command.verb == Verb::Answer) {
        // Everything after the verb, as typed: a person's answer.
        const auto after =
            static_cast<std::size_t>(words[0].data() - spaced.data()) + words[0].size();
        const std::size_t start = spaced.find_first_not_of(' ', after);
        const std::size_t end = spaced.find_last_not_of(' ');
        command.text = spaced.substr(start, end + 1 - start);
        return command;
    }
    if (!readFields(command, words, why)) {
        return std::nullopt;
    }
    return command;
}

std::string seatsWord(const std::vector<SeatKind>& seats) {
    std::string word;
    for (const SeatKind kind : seats) {
        word += "PEMH"[static_cast<std::size_t>(kind)];
    }
    return word;
}

} // namespace pellaro
