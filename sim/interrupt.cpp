#include "interrupt.h"

#include <atomic>
#include <csignal>

namespace {

// Lock-free, so that the signal handler may set it.
std::atomic<bool> stopFlag{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void onInterrupt(int /*signal*/) {
    stopFlag.store(true, std::memory_order_relaxed);
    std::signal(SIGINT, SIG_DFL);
}

} // namespace

void catchInterrupts() {
    std::signal(SIGINT, onInterrupt);
}

bool stopRequested() {
    return stopFlag.load(std::memory_order_relaxed);
}
