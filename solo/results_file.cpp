#include "results_file.h"

#include "../engine/results.h"
#include "json_fields.h"
#include "seating.h"
#include "whole_files.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <limits>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellaro {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

const char* const lockName = "results.lock";

std::string reason() {
    return std::strerror(errno);
}

// A lock on the folder's lock file, held while it lives: exclusive for a
// game being added, which makes the lock file when missing; shared for a
// reader, and only when the lock file is there, since a reader writes nothing.
class FolderLock {
public:
    FolderLock(const fs::path& file, bool exclusive)
        : descriptor_(open(file.c_str(), O_RDONLY | O_CLOEXEC | (exclusive ? O_CREAT : 0), 0644)) {
        if (descriptor_ < 0) {
            failure_ = reason();
        } else if (flock(descriptor_, exclusive ? LOCK_EX : LOCK_SH) != 0) {
            failure_ = reason();
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
    const std::string& failure() const { return failure_; }

private:
    int descriptor_ = -1;
    std::string failure_;
};

// Calls back with each line of the text, numbered from 1, without its line
// end; a last line without one is a line too.
template <typename Visit>
void forEachLine(std::string_view text, const Visit& visit) {
    std::int32_t number = 0;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        visit(++number, text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
}

bool isStrength(const json* value) {
    return value != nullptr && value->is_string() &&
           strengthOfRecord(value->get<std::string>()).has_value();
}

// The scores, one for each player.
bool areScores(const json* value, std::size_t players) {
    return value != nullptr && value->is_array() && value->size() == players &&
           std::all_of(value->begin(), value->end(), [](const json& score) {
               return integerIn(&score, std::numeric_limits<std::int32_t>::min(),
                                std::numeric_limits<std::int32_t>::max());
           });
}

// Exactly the seats with the top score, ascending, as the game names them.
bool areWinners(const json* value, const std::vector<std::int32_t>& scores) {
    const Standings results = standingsOf(scores);
    std::vector<std::int64_t> seats;
    for (std::int32_t seat = 0; seat < results.players; ++seat) {
        if (isWinner(results, seat)) {
            seats.push_back(seat + 1);
        }
    }
    return value != nullptr && value->is_array() && value->size() == seats.size() &&
           std::equal(seats.begin(), seats.end(), value->begin(),
                      [](std::int64_t seat, const json& winner) {
                          return integerIn(&winner, seat, seat);
                      });
}

// Why the line holds no game that this program could have played; empty
// when it holds one, which is then in `game`. Nothing is converted before it
// is known to fit, so that no number is cut or wrapped round.
std::string problemOf(std::string_view line, SoloResult& game) {
    const json record = json::parse(line, nullptr, false);
    if (record.is_discarded()) {
        return "not JSON";
    }
    if (!record.is_object()) {
        return "not a game's record";
    }
    const json* date = fieldOf(record, "date");
    if (date == nullptr || !date->is_string()) {
        return "no date";
    }
    const json* players = fieldOf(record, "players");
    if (!integerIn(players, minPlayers, maxPlayers)) {
        return "no number of players from 2 to 5";
    }
    const auto count = players->get<std::int32_t>();
    if (!integerIn(fieldOf(record, "people"), 1, count - 1)) {
        return "no number of people from 1 to " + std::to_string(count - 1);
    }
    if (!isStrength(fieldOf(record, "strength"))) {
        return "no strength easy, medium or hard";
    }
    if (!integerIn(fieldOf(record, "seed"), 0, std::numeric_limits<std::uint32_t>::max())) {
        return "no seed from 0 to 4294967295";
    }
    const json* scores = fieldOf(record, "scores");
    if (!areScores(scores, static_cast<std::size_t>(count))) {
        return "not one score for each of the " + std::to_string(count) + " players";
    }
    if (!areWinners(fieldOf(record, "winners"), scores->get<std::vector<std::int32_t>>())) {
        return "winners other than those of the top score";
    }
    game = record.get<SoloResult>();
    return {};
}

// Keeps every byte of the file under the first free name of
// results.jsonl.corrupt, .corrupt.2, ..., as a second link, so that nothing
// is copied and no earlier copy is ever overwritten; then replaces the file
// by its lines that were read, as they were, and the game's line. On
// failure the file is as it was and no new name is left.
bool setAside(const fs::path& file, const ResultsRead& read, const std::string& line,
              fs::path& aside, std::string& failure) {
    std::string kept;
    std::size_t unread = 0;
    forEachLine(read.text, [&](std::int32_t number, std::string_view text) {
        if (unread < read.unread.size() && read.unread[unread].number == number) {
            ++unread;
            return;
        }
        kept.append(text);
        kept += '\n';
    });
    kept += line;
    // Replacing a link would cut the file it leads to off from the games.
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(file, error))) {
        failure = "it is a symbolic link";
        return false;
    }
    for (std::int32_t copy = 1;; ++copy) {
        aside = file;
        aside += ".corrupt";
        if (copy > 1) {
            aside += '.' + std::to_string(copy);
        }
        if (link(file.c_str(), aside.c_str()) == 0) {
            break;
        }
        if (errno != EEXIST) {
            failure = reason();
            return false;
        }
    }
    if (replaceFile(file, kept, failure)) {
        return true;
    }
    // The new name is still the file itself, which is as it was.
    unlink(aside.c_str());
    return false;
}

// Appends the line in one write, after a line end when the file lacks its
// last one, so that the line is never joined to another. A write cut short
// is taken back, so that no half line stays.
bool appendLine(const fs::path& file, const std::string& before, const std::string& line,
                std::string& failure) {
    const int descriptor = open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        failure = reason();
        return false;
    }
    const std::string bytes = (before.empty() || before.back() == '\n' ? "" : "\n") + line;
    const ssize_t written = write(descriptor, bytes.data(), bytes.size());
    const bool whole = written == static_cast<ssize_t>(bytes.size());
    if (!whole) {
        failure = "only part of the line could be written";
        if (written < 0) {
            failure = reason();
        }
        if (ftruncate(descriptor, static_cast<off_t>(before.size())) != 0) {
            failure += ", and that part could not be taken back: " + reason();
        }
    }
    close(descriptor);
    return whole;
}

// No write permission for anyone: the player keeps the file as it is.
bool isReadOnly(const fs::path& file) {
    std::error_code error;
    const fs::perms writable =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return (fs::status(file, error).permissions() & writable) == fs::perms::none;
}

} // namespace

std::string recordedStrength(Strength strength) {
    std::string word = strengthName(strength);
    for (char& c : word) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return word;
}

std::optional<Strength> strengthOfRecord(const std::string& word) {
    for (std::size_t s = 0; s < strengthCount; ++s) {
        if (recordedStrength(static_cast<Strength>(s)) == word) {
            return static_cast<Strength>(s);
        }
    }
    return std::nullopt;
}

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

fs::path resultsFile(const fs::path& folder) {
    return folder / "results.jsonl";
}

ResultsRead readResults(const fs::path& file) {
    ResultsRead read;
    const FileRead outcome = readRegularFile(file, read.text, read.failure);
    read.exists = outcome != FileRead::Missing;
    if (outcome != FileRead::Read) {
        return read;
    }
    readResultLines(read);
    return read;
}

void readResultLines(ResultsRead& read) {
    forEachLine(read.text, [&read](std::int32_t number, std::string_view line) {
        if (line.find_first_not_of(" \t\r") == std::string_view::npos) {
            return;
        }
        SoloResult game;
        std::string why = problemOf(line, game);
        if (why.empty()) {
            read.games.push_back(std::move(game));
        } else {
            read.unread.push_back(UnreadLine{number, std::move(why)});
        }
    });
}

ResultsRead readResultsIn(const fs::path& folder) {
    assert(!folder.empty());
    const FolderLock lock(folder / lockName, false);
    return readResults(resultsFile(folder));
}

std::string unreadLinesWarning(const fs::path& file, const std::vector<UnreadLine>& unread) {
    assert(!unread.empty());
    if (unread.size() == 1) {
        return "warning: line " + std::to_string(unread[0].number) + " of " + file.string() +
               " is no game (" + unread[0].why + ')';
    }
    // A file of nothing but garbage still gets one line.
    constexpr std::size_t named = 3;
    std::string text = "warning: " + std::to_string(unread.size()) + " lines of " + file.string() +
                       " are no game (";
    for (std::size_t i = 0; i < std::min(named, unread.size()); ++i) {
        text += (i == 0 ? "line " : "; line ") + std::to_string(unread[i].number) + ": " +
                unread[i].why;
    }
    if (unread.size() > named) {
        text += "; and " + std::to_string(unread.size() - named) + " more";
    }
    return text + ')';
}

RecordOutcome recordGame(const fs::path& folder, const SoloResult& game) {
    RecordOutcome outcome;
    const std::string unsaved = "this game's result was not saved.";
    if (folder.empty()) {
        outcome.readEarlier = false;
        outcome.warnings.push_back("warning: neither XDG_DATA_HOME nor HOME is set; " + unsaved);
        return outcome;
    }
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
        outcome.readEarlier = false;
        outcome.warnings.push_back("warning: cannot use " + folder.string() + " (" +
                                   error.message() + "); " + unsaved);
        return outcome;
    }
    const fs::path lockFile = folder / lockName;
    const FolderLock lock(lockFile, true);
    const fs::path file = resultsFile(folder);
    const ResultsRead read = readResults(file);
    if (!read.failure.empty()) {
        outcome.readEarlier = false;
        outcome.warnings.push_back("warning: cannot read " + file.string() + " (" + read.failure +
                                   "); " + unsaved);
        return outcome;
    }
    // The earlier games are shown whatever becomes of this one.
    outcome.earlier = read.games;
    std::string unread;
    if (!read.unread.empty()) {
        unread = unreadLinesWarning(file, read.unread);
    }
    if (!lock.held() || (read.exists && isReadOnly(file))) {
        if (!unread.empty()) {
            outcome.warnings.push_back(unread + "; not counted.");
        }
        std::string why = "cannot lock " + lockFile.string() + " (" + lock.failure() + ')';
        if (lock.held()) {
            why = file.string() + " is read-only";
        }
        outcome.warnings.push_back("warning: " + why + "; " + unsaved);
        return outcome;
    }
    const std::string line = json(game).dump() + '\n';
    std::string failure;
    if (!unread.empty()) {
        fs::path aside;
        if (setAside(file, read, line, aside, failure)) {
            outcome.warnings.push_back(unread + "; the file as it was is kept as " +
                                       aside.string() + ", and " + file.filename().string() +
                                       " keeps the other lines.");
            return outcome;
        }
        outcome.warnings.push_back(unread +
                                   "; not counted, and left in place: cannot set the file aside (" +
                                   failure + ").");
    }
    if (!appendLine(file, read.text, line, failure)) {
        outcome.warnings.push_back("warning: cannot write " + file.string() + " (" + failure +
                                   "); " + unsaved);
    }
    return outcome;
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
