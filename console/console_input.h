#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace pellaro {

// The two ways the players' answers are read from standard input.
//
// A word answer skips white space, line ends included, and reads one word,
// leaving the rest of its line unread for the next word answer. A line answer
// first throws away what a word answer left of its line, then reads one whole
// line. Standard output is flushed before every read.

// A line answer keeps at most this many characters, plus the terminating zero.
inline constexpr std::size_t lineAnswerSize = 1000;
using LineAnswer = std::array<char, lineAnswerSize>;

// The first character of the next word, or nothing at the end of input.
std::optional<char> readWordAnswer();

// Throws away the rest of the line that the last word answer was read from,
// its newline included. After a line answer there is nothing to throw away.
void discardRestOfLine();

// Reads one line into the answer, keeping its first 999 characters and
// consuming the rest through the newline. False at the end of input.
bool readLineAnswer(LineAnswer& answer);

// A line answer read as a number, or nothing at the end of input.
std::optional<std::int32_t> readNumberAnswer();

// The leading decimal integer of the text by atoi rules, held to 32 bits.
std::int32_t leadingNumber(const char* text);

// True once a question has found standard input at its end.
bool inputEnded();

// Starts reading afresh: forgets the unread rest of a word's line and the end
// of input. For use when standard input's source has been replaced.
void resetConsoleInput();

// When standard input ended while a question waited and standard output is a
// terminal, ends the question's line, so that the shell's prompt starts on a
// line of its own. Through a pipe or into a file it writes nothing.
void endLineLeftByEndedInput();

// A newline, flushed at once.
void endLine();

// Shows the text and waits for Enter, then ends the line; whatever was typed
// before it is ignored. False at the end of input.
bool pauseForEnter(const char* text);

} // namespace pellaro
