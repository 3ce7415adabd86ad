#include "progress.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

constexpr int barWidth = 30;

std::string clockText(double seconds) {
    const std::int64_t whole = std::llround(seconds);
    std::array<char, 32> text{};
    if (whole >= 3600) {
        std::snprintf(text.data(), text.size(), "%lld:%02lld:%02lld",
                      static_cast<long long>(whole / 3600), static_cast<long long>(whole / 60 % 60),
                      static_cast<long long>(whole % 60));
    } else {
        std::snprintf(text.data(), text.size(), "%lld:%02lld", static_cast<long long>(whole / 60),
                      static_cast<long long>(whole % 60));
    }
    return text.data();
}

} // namespace

ProgressBar progressBar(bool wanted, std::int64_t totalGames) {
    ProgressBar bar;
    bar.enabled = wanted && isatty(STDERR_FILENO) == 1;
    bar.totalGames = totalGames;
    bar.start = std::chrono::steady_clock::now();
    return bar;
}

void updateProgress(ProgressBar& bar, std::int64_t gamesDone) {
    if (!bar.enabled) {
        return;
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - bar.start;
    if (elapsed.count() < 1.0) {
        return;
    }
    const double rate = static_cast<double>(gamesDone) / elapsed.count();
    const double fraction =
        bar.totalGames > 0 ? static_cast<double>(gamesDone) / static_cast<double>(bar.totalGames)
                           : 1.0;
    const int filled = std::clamp(static_cast<int>(fraction * barWidth), 0, barWidth);
    const std::string left =
        rate > 0 ? clockText(static_cast<double>(bar.totalGames - gamesDone) / rate) : "?";
    std::fprintf(stderr, "\r[%s%s] %lld/%lld games  %.0f games/s  %s left ",
                 std::string(static_cast<std::size_t>(filled), '#').c_str(),
                 std::string(static_cast<std::size_t>(barWidth - filled), '.').c_str(),
                 static_cast<long long>(gamesDone), static_cast<long long>(bar.totalGames), rate,
                 left.c_str());
    std::fflush(stderr);
    bar.shown = true;
}

void endProgress(ProgressBar& bar) {
    if (bar.shown) {
        std::fprintf(stderr, "\r%*s\r", 100, "");
        std::fflush(stderr);
        bar.shown = false;
    }
}
