#include "console_input.h"

#include <cstdint>
#include <iostream>
#include <limits>
#include <streambuf>
#include <unistd.h>

namespace pellaro {

namespace {

// Whether the line of the last word answer is still partly unread. It belongs
// to standard input, not to a game: a word left on the replay answer's line
// answers the next game's first question.
bool wordLineUnread = false;

bool isWhiteSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr int endOfInput = std::streambuf::traits_type::eof();

// A read that fails (standard input closed, a directory, a terminal hung up)
// makes the stream buffer throw; such input can give no more answers, so it
// counts as the end of input from then on.
bool readFailed = false;

std::streambuf& input() {
    std::cout.flush();
    return *std::cin.rdbuf();
}

int currentChar(std::streambuf& in) {
    if (readFailed) {
        return endOfInput;
    }
    try {
        return in.sgetc();
    } catch (const std::ios_base::failure&) {
        readFailed = true;
        return endOfInput;
    }
}

int nextChar(std::streambuf& in) {
    if (readFailed) {
        return endOfInput;
    }
    try {
        return in.snextc();
    } catch (const std::ios_base::failure&) {
        readFailed = true;
        return endOfInput;
    }
}

void markInputEnded() {
    std::cin.setstate(std::ios::eofbit | std::ios::failbit);
}

} // namespace

std::optional<char> readWordAnswer() {
    std::streambuf& in = input();
    int c = currentChar(in);
    while (c != endOfInput && isWhiteSpace(c)) {
        c = nextChar(in);
    }
    if (c == endOfInput) {
        markInputEnded();
        return std::nullopt;
    }
    const char first = static_cast<char>(c);
    // Only the first character is judged, so the rest of the word is passed over.
    do {
        c = nextChar(in);
    } while (c != endOfInput && !isWhiteSpace(c));
    // A word ended by the end of input (Ctrl-D at a terminal, which then reads
    // on) leaves nothing of its line unread: what comes next is a new line.
    wordLineUnread = c != endOfInput;
    return first;
}

void discardRestOfLine() {
    if (!wordLineUnread) {
        return;
    }
    wordLineUnread = false;
    std::streambuf& in = input();
    int c = currentChar(in);
    while (c != endOfInput && c != '\n') {
        c = nextChar(in);
    }
    // The newline is already in the buffer: taking it waits for nothing.
    if (c == '\n') {
        in.sbumpc();
    }
}

bool readLineAnswer(LineAnswer& answer) {
    std::streambuf& in = input();
    int c = currentChar(in);
    if (c == endOfInput) {
        markInputEnded();
        return false;
    }
    std::size_t length = 0;
    while (c != endOfInput && c != '\n') {
        if (length < answer.size() - 1) {
            answer[length++] = static_cast<char>(c);
        }
        c = nextChar(in);
    }
    // The newline is already in the buffer: taking it waits for nothing.
    if (c == '\n') {
        in.sbumpc();
    }
    answer[length] = '\0';
    wordLineUnread = false;
    return true;
}

std::optional<std::int32_t> readNumberAnswer() {
    LineAnswer answer{};
    if (!readLineAnswer(answer)) {
        return std::nullopt;
    }
    return leadingNumber(answer.data());
}

std::int32_t leadingNumber(const char* text) {
    while (isWhiteSpace(static_cast<unsigned char>(*text))) {
        ++text;
    }
    const bool negative = *text == '-';
    if (*text == '+' || *text == '-') {
        ++text;
    }
    // Past the 32-bit range the value sticks at its bound.
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (; isDigit(*text); ++text) {
        value = value * 10 + (*text - '0');
        if (value > limit) {
            value = limit;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(value);
}

bool inputEnded() {
    return std::cin.fail();
}

void resetConsoleInput() {
    wordLineUnread = false;
    readFailed = false;
    std::cin.clear();
}

void endLineLeftByEndedInput() {
    if (inputEnded() && isatty(STDOUT_FILENO) == 1) {
        endLine();
    }
}

bool pauseForEnter(const char* text) {
    std::cout << text;
    discardRestOfLine();
    LineAnswer ignored{};
    if (!readLineAnswer(ignored)) {
        return false;
    }
    endLine();
    return true;
}

void endLine() {
    std::cout.put('\n');
    std::cout.flush();
}

} // namespace pellaro
