#include "results_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <unistd.h>

namespace pellaro {

namespace fs = std::filesystem;

namespace {

// An exclusive lock on the folder's lock file, held while it lives.
class FolderLock {
public:
    explicit FolderLock(const fs::path& file)
        : descriptor_(open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
        if (descriptor_ >= 0 && flock(descriptor_, LOCK_EX) != 0) {
            close(descriptor_);
            descriptor_ = -1;
        }
    }
    ~FolderLock() {
        if (descriptor_ >= 0) {
            close(descriptor_);
        }
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    FolderLock(FolderLock&&) = delete;
    FolderLock& operator=(FolderLock&&) = delete;

    bool held() const { return descriptor_ >= 0; }

private:
    int descriptor_ = -1;
};

std::string reason() {
    return std::strerror(errno);
}

bool writeAll(int descriptor, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = write(descriptor, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// Writes the text to a new temporary file in the folder and renames it over
// the target; on failure removes it and gives the reason.
bool replaceFile(const fs::path& target, const std::string& text, std::string& failure) {
    std::string name = target.string() + ".XXXXXX";
    const int descriptor = mkstemp(name.data());
    if (descriptor < 0) {
        failure = reason();
        return false;
    }
    const bool written = writeAll(descriptor, text) && fsync(descriptor) == 0;
    if (!written) {
        failure = reason();
    }
    const bool closed = close(descriptor) == 0;
    if (written && !closed) {
        failure = reason();
    }
    if (written && closed && std::rename(name.c_str(), target.c_str()) == 0) {
        return true;
    }
    if (written && closed) {
        failure = reason();
    }
    unlink(name.c_str());
    return false;
}

// Reads the earlier games; lines that are no game are counted as bad.
bool readGames(const fs::path& file, std::vector<SoloResult>& games, std::int32_t& bad) {
    std::error_code error;
    if (!fs::is_regular_file(file, error)) {
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return false;
    }
    for (std::string line; std::getline(in, line);) {
        const nlohmann::json value = nlohmann::json::parse(line, nullptr, false);
        try {
            games.push_back(value.get<SoloResult>());
        } catch (const nlohmann::json::exception&) {
            ++bad;
        }
    }
    return !in.bad();
}

} // namespace

fs::path resultsFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && fs::path(data).is_absolute()) {
        return fs::path(data) / "pellaro";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') {
        return fs::path(home) / ".local" / "share" / "pellaro";
    }
    return {};
}

RecordOutcome recordGame(const fs::path& folder, const SoloResult& game) {
    RecordOutcome outcome;
    const std::string unsaved = "this game's result was not saved";
    if (folder.empty()) {
        outcome.readEarlier = false;
        outcome.warnings.push_back("warning: neither XDG_DATA_HOME nor HOME is set; " + unsaved +
                                   '.');
        return outcome;
    }
    std::error_code error;
    fs::create_directories(folder, error);
    const FolderLock lock(folder / "results.lock");
    if (error || !lock.held()) {
        outcome.readEarlier = false;
        outcome.warnings.push_back("warning: cannot use " + folder.string() + " (" +
                                   (error ? error.message() : reason()) + "); " + unsaved + '.');
        return outcome;
    }
    const fs::path file = folder / "results.jsonl";
    std::int32_t bad = 0;
    if (fs::exists(file, error) && !readGames(file, outcome.earlier, bad)) {
        outcome.readEarlier = false;
        outcome.warnings.push_back("warning: cannot read " + file.string() + "; " + unsaved + '.');
        return outcome;
    }
    if (bad > 0) {
        fs::path aside = file;
        aside += ".corrupt";
        fs::rename(file, aside, error);
        if (error) {
            outcome.warnings.push_back("warning: " + file.string() +
                                       " holds lines that are no game, and cannot be kept aside (" +
                                       error.message() + "); " + unsaved + '.');
            return outcome;
        }
        outcome.warnings.push_back(
            "warning: " + std::to_string(bad) + " line" + (bad == 1 ? "" : "s") + " of " +
            file.string() + " could not be read; the file is kept as " + aside.string() + '.');
    }
    std::string text;
    for (const SoloResult& earlier : outcome.earlier) {
        text += nlohmann::json(earlier).dump() + '\n';
    }
    text += nlohmann::json(game).dump() + '\n';
    std::string failure;
    if (!replaceFile(file, text, failure)) {
        outcome.warnings.push_back("warning: cannot write " + file.string() + " (" + failure +
                                   "); " + unsaved + '.');
    }
    return outcome;
}

WinTally tallyOf(const std::vector<SoloResult>& games, const std::string& strength,
                 std::int32_t players) {
    WinTally tally;
    for (const SoloResult& game : games) {
        if (game.strength != strength || game.players != players) {
            continue;
        }
        ++tally.games;
        const bool personWon =
            std::any_of(game.winners.begin(), game.winners.end(),
                        [&game](std::int32_t seat) { return seat <= game.people; });
        tally.wins += personWon ? 1 : 0;
    }
    return tally;
}

std::string recordDate(std::int64_t secondsSinceEpoch) {
    const auto seconds = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    std::array<char, 32> text{};
    std::strftime(text.data(), text.size(), "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text.data();
}

} // namespace pellaro
