#pragma once

#include <array>
#include <csignal>
#include <streambuf>

namespace pellaro {

// Standard input as pellaro-solo reads it at a terminal or through a pipe:
// the console's answers, read by whole blocks, and Ctrl-C while a game can
// be saved turned into the answer "s", which asks to save it. Installed as
// std::cin's buffer by the program; the tests read answers from memory.
class KeyboardInput : public std::streambuf {
protected:
    int_type underflow() override;

private:
    std::array<char, 4096> buffer_{};
};

// While it lives, the first Ctrl-C no longer ends the program but reaches
// the next question as the save answer; a second one, before the game
// goes on, ends the program as Ctrl-C always does. Ctrl-C pressed while a
// computer player thinks waits for the next question.
class SaveOnInterrupt {
public:
    SaveOnInterrupt();
    ~SaveOnInterrupt();
    SaveOnInterrupt(const SaveOnInterrupt&) = delete;
    SaveOnInterrupt& operator=(const SaveOnInterrupt&) = delete;
    SaveOnInterrupt(SaveOnInterrupt&&) = delete;
    SaveOnInterrupt& operator=(SaveOnInterrupt&&) = delete;

    // Ctrl-C again after an offer to save was declined or failed.
    void rearm();

private:
    struct sigaction previous_ {};
    sigset_t previousMask_{};
};

// Whether the last save answer was Ctrl-C rather than a typed S; asking
// forgets it.
bool saveAnswerWasInterrupt();

} // namespace pellaro
