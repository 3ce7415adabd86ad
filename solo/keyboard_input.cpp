#include "keyboard_input.h"

#include <cerrno>
#include <cstddef>
#include <ctime>
#include <poll.h>
#include <pthread.h>
#include <string_view>
#include <unistd.h>

namespace pellaro {

namespace {

volatile std::sig_atomic_t interrupted = 0;
bool lastSaveWasInterrupt = false;

void noteInterrupt(int /*signal*/) {
    interrupted = 1;
}

// Ctrl-C is held back while the game computes, and let through only while
// a question waits for input, where it can be answered at once.
void blockInterrupt(sigset_t* previous) {
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    pthread_sigmask(SIG_BLOCK, &interrupt, previous);
}

void armHandler(struct sigaction* previous) {
    struct sigaction action {};
    action.sa_handler = noteInterrupt;
    sigemptyset(&action.sa_mask);
    // The second Ctrl-C finds the default again; no SA_RESTART, so that the
    // wait for input ends.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, previous);
}

} // namespace

KeyboardInput::int_type KeyboardInput::underflow() {
    if (gptr() < egptr()) {
        return traits_type::to_int_type(*gptr());
    }
    sigset_t waiting;
    pthread_sigmask(SIG_SETMASK, nullptr, &waiting);
    sigdelset(&waiting, SIGINT);
    for (;;) {
        if (interrupted != 0) {
            interrupted = 0;
            lastSaveWasInterrupt = true;
            constexpr std::string_view saveAnswer = "s\n";
            saveAnswer.copy(buffer_.data(), saveAnswer.size());
            setg(buffer_.data(), buffer_.data(),
                 buffer_.data() + static_cast<std::ptrdiff_t>(saveAnswer.size()));
            return traits_type::to_int_type(*gptr());
        }
        pollfd input{STDIN_FILENO, POLLIN, 0};
        // Waits with Ctrl-C let through, atomically, so that none is missed
        // between the check above and the wait.
        const int ready = ppoll(&input, 1, nullptr, &waiting);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return traits_type::eof();
        }
        // Input that was ready at once leaves a Ctrl-C that came with it
        // held back; let it through now, so that it comes first, and a second
        // one ends the program even with the end of input beside it.
        sigset_t held;
        pthread_sigmask(SIG_SETMASK, &waiting, &held);
        pthread_sigmask(SIG_SETMASK, &held, nullptr);
        if (interrupted != 0) {
            continue;
        }
        const ssize_t got = read(STDIN_FILENO, buffer_.data(), buffer_.size());
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (got <= 0) {
            return traits_type::eof();
        }
        setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
        return traits_type::to_int_type(*gptr());
    }
}

SaveOnInterrupt::SaveOnInterrupt() {
    interrupted = 0;
    blockInterrupt(&previousMask_);
    armHandler(&previous_);
}

SaveOnInterrupt::~SaveOnInterrupt() {
    // A Ctrl-C held back while the last move was computed came too late to
    // save the game, which is over now, and must not cut its end short.
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    const timespec now{};
    while (sigtimedwait(&interrupt, nullptr, &now) == SIGINT) {
    }
    sigaction(SIGINT, &previous_, nullptr);
    interrupted = 0;
    pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
}

void SaveOnInterrupt::rearm() {
    armHandler(nullptr);
}

bool saveAnswerWasInterrupt() {
    const bool was = lastSaveWasInterrupt;
    lastSaveWasInterrupt = false;
    return was;
}

} // namespace pellaro
