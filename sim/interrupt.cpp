#include "interrupt.h"

#include <array>
#include <atomic>
#include <csignal>
#include <unistd.h>

namespace {

// Lock-free, so that the signal handler may read and set them.
std::atomic<int> stoppedBy{0};
static_assert(std::atomic<int>::is_always_lock_free);

constexpr std::size_t slotCount = 4;
constexpr std::size_t pathLength = 4096;
std::array<std::array<char, pathLength>, slotCount> paths{};
std::array<std::atomic<bool>, slotCount> pathSet{};

constexpr std::array<int, 3> stops = {SIGINT, SIGTERM, SIGHUP};

extern "C" void onStop(int signal) {
    int none = 0;
    if (stoppedBy.compare_exchange_strong(none, signal)) {
        return;
    }
    for (std::size_t slot = 0; slot < slotCount; ++slot) {
        if (pathSet[slot].load()) {
            unlink(paths[slot].data());
        }
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

void catchStops() {
    for (const int signal : stops) {
        std::signal(signal, onStop);
    }
}

bool stopRequested() {
    return stoppedBy.load(std::memory_order_relaxed) != 0;
}

int stopSignal() {
    return stoppedBy.load();
}

void removeOnSecondStop(const std::string& path) {
    for (std::size_t slot = 0; slot < slotCount; ++slot) {
        if (!pathSet[slot].load() && path.size() < pathLength) {
            path.copy(paths[slot].data(), path.size());
            paths[slot][path.size()] = '\0';
            pathSet[slot].store(true);
            return;
        }
    }
}

void keepOnSecondStop(const std::string& path) {
    for (std::size_t slot = 0; slot < slotCount; ++slot) {
        if (pathSet[slot].load() && path == paths[slot].data()) {
            pathSet[slot].store(false);
        }
    }
}
