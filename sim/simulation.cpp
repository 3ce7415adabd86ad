#include "simulation.h"

#include "records.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace pellaro {

namespace {

// Lock-free, so that the signal handler may read and set them.
std::atomic<int> stoppedBy{0};
static_assert(std::atomic<int>::is_always_lock_free);

constexpr std::size_t slotCount = 4;
constexpr std::size_t pathLength = 4096;
std::array<std::array<char, pathLength>, slotCount> paths{};
std::array<std::atomic<bool>, slotCount> pathSet{};

constexpr std::array<int, 3> stops = {SIGINT, SIGTERM, SIGHUP};

// When and by whom the run was first told to stop: `timeout` and the like
// signal the program and then its process group, one stop told twice.
std::atomic<std::int64_t> firstStopAt{0};
std::atomic<pid_t> firstSender{0};
static_assert(std::atomic<std::int64_t>::is_always_lock_free);
static_assert(std::atomic<pid_t>::is_always_lock_free);
constexpr std::int64_t sameStopNanoseconds = 1'000'000'000;

// Run control, not a result: never read by a game.
std::int64_t monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

extern "C" void onStop(int signal, siginfo_t* info, void* /*context*/) {
    const std::int64_t now = monotonicNanoseconds();
    // Sent by a process (kill, timeout), not by the terminal's Ctrl-C.
    const pid_t sender = info != nullptr && info->si_code <= 0 ? info->si_pid : 0;
    if (stoppedBy.load() == 0) {
        firstStopAt.store(now);
        firstSender.store(sender);
    }
    int none = 0;
    if (stoppedBy.compare_exchange_strong(none, signal)) {
        return;
    }
    if ((sender != 0 && sender == firstSender.load()) ||
        now - firstStopAt.load() < sameStopNanoseconds) {
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

bool stopRequested() {
    return stoppedBy.load(std::memory_order_relaxed) != 0;
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

std::string reasonOf(const std::string& path, int number) {
    return "cannot write " + path + ": " + std::strerror(number);
}

std::filesystem::path folderOf(const std::string& path) {
    const std::filesystem::path name(path);
    return name.has_parent_path() ? name.parent_path() : ".";
}

// A hidden name beside the target, for the instant between linking the
// finished file and renaming it over the target, or for the whole run where
// nameless files are not to be had.
int hiddenFile(const std::string& path, std::string& name) {
    const std::string pattern =
        (folderOf(path) / ("." + std::filesystem::path(path).filename().string() + ".XXXXXX"))
            .string();
    std::vector<char> text(pattern.begin(), pattern.end());
    text.push_back('\0');
    const int descriptor = mkstemp(text.data());
    name = text.data();
    return descriptor;
}

// Gives the nameless file of `descriptor` the name `path`, replacing what
// had it: linked under a hidden name first, since a link never replaces.
bool nameFile(int descriptor, const std::string& path) {
    std::string hidden;
    const int placeholder = hiddenFile(path, hidden);
    if (placeholder < 0) {
        return false;
    }
    close(placeholder);
    std::remove(hidden.c_str());
    const std::string self = "/proc/self/fd/" + std::to_string(descriptor);
    if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, hidden.c_str(), AT_SYMLINK_FOLLOW) != 0 &&
        linkat(descriptor, "", AT_FDCWD, hidden.c_str(), AT_EMPTY_PATH) != 0) {
        return false;
    }
    if (std::rename(hidden.c_str(), path.c_str()) != 0) {
        const int number = errno;
        std::remove(hidden.c_str());
        errno = number;
        return false;
    }
    return true;
}

} // namespace

void catchStops() {
    struct sigaction action {};
    action.sa_sigaction = onStop;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signal : stops) {
        sigaction(signal, &action, nullptr);
    }
}

int stopSignal() {
    return stoppedBy.load();
}

OutputFile::~OutputFile() {
    discard();
}

bool OutputFile::open(const std::string& path, std::string& error) {
    discard();
    path_ = path;
    if (path == "-") {
        file_ = stdout;
        return true;
    }
    std::error_code failure;
    const auto status = std::filesystem::status(path, failure);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        error = "cannot write " + path + ": not a regular file";
        return false;
    }
    int descriptor = ::open(folderOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (descriptor < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        descriptor = hiddenFile(path, temporary_);
        if (descriptor >= 0) {
            removeOnSecondStop(temporary_);
            // mkstemp makes the file private; the finished file gets the usual mode.
            const mode_t mask = umask(0);
            umask(mask);
            fchmod(descriptor, 0666 & ~mask);
        }
    }
    if (descriptor < 0) {
        error = reasonOf(path, errno);
        temporary_.clear();
        return false;
    }
    file_ = fdopen(descriptor, "w");
    if (file_ == nullptr) {
        error = reasonOf(path, errno);
        close(descriptor);
        discard();
        return false;
    }
    return true;
}

bool OutputFile::write(std::string_view text) const {
    return std::fwrite(text.data(), 1, text.size(), file_) == text.size();
}

bool OutputFile::commit(std::string& error) {
    if (file_ == stdout) {
        const bool written = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
        file_ = nullptr;
        if (!written) {
            error = "cannot write to standard output: " + std::string(std::strerror(errno));
        }
        return written;
    }
    bool done = std::fflush(file_) == 0 && std::ferror(file_) == 0;
    int number = done ? 0 : (errno != 0 ? errno : EIO);
    if (done && temporary_.empty() && !nameFile(fileno(file_), path_)) {
        done = false;
        number = errno;
    }
    if (done && !temporary_.empty() && std::rename(temporary_.c_str(), path_.c_str()) != 0) {
        done = false;
        number = errno;
    }
    if (done) {
        keepOnSecondStop(temporary_);
        temporary_.clear();
    }
    if (std::fclose(file_) != 0 && done) {
        done = false;
        number = errno;
    }
    file_ = nullptr;
    if (!done) {
        error = reasonOf(path_, number);
        discard();
    }
    return done;
}

void OutputFile::discard() {
    if (file_ != nullptr && file_ != stdout) {
        std::fclose(file_);
    }
    file_ = nullptr;
    if (!temporary_.empty()) {
        keepOnSecondStop(temporary_);
        std::remove(temporary_.c_str());
        temporary_.clear();
    }
}

bool sameOutput(const std::string& a, const std::string& b) {
    if (a == "-" || b == "-") {
        return a == b;
    }
    // Files that exist are the same when they are one file (device and
    // inode), whatever their names; names of files to come are compared
    // made absolute and normal.
    std::error_code failure;
    if (std::filesystem::equivalent(a, b, failure)) {
        return true;
    }
    std::error_code failureA;
    std::error_code failureB;
    const auto canonicalA =
        std::filesystem::weakly_canonical(std::filesystem::absolute(a, failureA), failureA);
    const auto canonicalB =
        std::filesystem::weakly_canonical(std::filesystem::absolute(b, failureB), failureB);
    return !failureA && !failureB && canonicalA == canonicalB;
}

void endProgress(ProgressBar& bar) {
    if (bar.shown) {
        std::fprintf(stderr, "\r%*s\r", 100, "");
        std::fflush(stderr);
        bar.shown = false;
    }
}

ProgressBar progressBar(bool wanted, std::int64_t totalGames) {
    ProgressBar bar;
    bar.enabled = wanted && isatty(STDERR_FILENO) == 1;
    bar.totalGames = totalGames;
    bar.start = std::chrono::steady_clock::now();
    return bar;
}

namespace {

constexpr int barWidth = 30;

std::string clockText(double seconds) {
    const long long whole = std::llround(seconds);
    return whole >= 3600 ? printed("%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60)
                         : printed("%lld:%02lld", whole / 60, whole % 60);
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

// The games of one batch of consecutive deals, as one thread played them.
struct BatchResult {
    std::int64_t batch = 0;
    Summary summary;
    // False when Ctrl-C stopped the batch: its summary counts a prefix of it.
    bool complete = true;
    std::string records;
};

// What the threads share. The games' loop touches none of it: a thread takes
// the next batch from the counter, and counts the batch's games and adds its
// results under the lock once the batch is played.
struct Shared {
    const SimConfig* config = nullptr;
    DealRange range;
    std::int64_t batchDeals = 1;
    std::int64_t batchCount = 0;
    RecordsOut* records = nullptr;
    std::atomic<std::int64_t> nextBatch{0};
    std::atomic<std::int64_t> gamesDone{0};

    std::mutex lock;
    std::condition_variable finishedOne;
    std::int32_t finishedThreads = 0;
    // Batches are added in batch order; those that arrive early wait here.
    std::map<std::int64_t, BatchResult> waiting;
    std::int64_t nextToAdd = 0;
    // Set once a stopped batch has been added: nothing after it counts.
    bool prefixEnded = false;
    Summary total;
    // A bot's failure stops every thread: the first deal's failure is told.
    std::atomic<bool> botFailed{false};
    std::int64_t failedDeal = 0;
    std::string failure;
};

bool stopping(const Shared& shared) {
    return stopRequested() || shared.botFailed.load(std::memory_order_relaxed);
}

void noteFailure(Shared& shared, std::int64_t deal, const std::string& failure) {
    const std::lock_guard<std::mutex> guard(shared.lock);
    if (shared.failure.empty() || deal < shared.failedDeal) {
        shared.failedDeal = deal;
        shared.failure = failure;
    }
    shared.botFailed.store(true);
}

// Batches long enough that taking one costs nothing beside its games, and
// short enough that the threads finish together; searching bots take a deal
// at a time, as one of their games lasts long.
std::int64_t batchDealsFor(const SimConfig& config, DealRange range, std::int32_t threads) {
    if (std::any_of(config.seats.begin(), config.seats.end(),
                    [](const BotSettings& bot) { return bot.entry->searches; })) {
        return 1;
    }
    // With a program at the table, a batch's games are played together:
    // the more, the fewer round trips to the program.
    if (std::any_of(config.seats.begin(), config.seats.end(), isProgram)) {
        return std::clamp<std::int64_t>((range.end - range.first) / (std::int64_t{threads} * 4), 1,
                                        256);
    }
    return std::clamp<std::int64_t>((range.end - range.first) / (std::int64_t{threads} * 32), 1,
                                    256);
}

void addInOrder(Shared& shared, BatchResult&& result) {
    const std::lock_guard<std::mutex> guard(shared.lock);
    if (shared.prefixEnded) {
        return;
    }
    shared.waiting.emplace(result.batch, std::move(result));
    for (auto next = shared.waiting.find(shared.nextToAdd);
         next != shared.waiting.end() && !shared.prefixEnded;
         next = shared.waiting.find(shared.nextToAdd)) {
        const BatchResult& batch = next->second;
        addSummary(shared.total, batch.summary);
        RecordsOut* records = shared.records;
        if (records != nullptr && !records->failed && !batch.records.empty()) {
            records->failed = std::fwrite(batch.records.data(), 1, batch.records.size(),
                                          records->file) != batch.records.size();
            records->reason = records->failed ? errno : 0;
        }
        shared.prefixEnded = !batch.complete;
        shared.waiting.erase(next);
        ++shared.nextToAdd;
    }
}

// A batch with a program at the table: its games are played together, so
// that the programs get their requests in batches. A deal counts only when
// all its games, and all before it, were over when a bot failed.
void playTogether(Shared& shared, std::int64_t first, std::int64_t end, BatchResult& result) {
    const SimConfig& config = *shared.config;
    const std::int32_t rotations = gamesPerDeal(config);
    std::vector<GameOutcome> gameOutcomes;
    std::vector<GameRecord> records;
    const bool recording = shared.records != nullptr;
    std::size_t finished = 0;
    try {
        finished =
            playGamesTogether(config, first, end, gameOutcomes, recording ? &records : nullptr,
                              [&shared] { return stopping(shared); });
        result.complete = finished == gameOutcomes.size();
    } catch (const FailureAmongGames& failure) {
        finished = failure.gamesFinished;
        noteFailure(shared, first + static_cast<std::int64_t>(finished) / rotations,
                    failure.what());
        result.complete = false;
    }
    const std::size_t deals = finished / static_cast<std::size_t>(rotations);
    std::size_t game = 0;
    for (std::size_t counted = 0; counted < deals; ++counted) {
        DealTotals totals;
        for (std::int32_t rotation = 0; rotation < rotations; ++rotation, ++game) {
            addGame(result.summary, gameOutcomes[game], totals);
            if (recording) {
                appendRecordLine(result.records, records[game]);
            }
        }
        closeDeal(result.summary, totals);
    }
}

void playBatches(Shared& shared) {
    const SimConfig& config = *shared.config;
    const std::int32_t rotations = gamesPerDeal(config);
    const bool recording = shared.records != nullptr;
    const bool external = std::any_of(config.seats.begin(), config.seats.end(), isProgram);
    std::vector<Lineup> lineups;
    for (std::int32_t rotation = 0; rotation < rotations && !external; ++rotation) {
        lineups.push_back(lineupOf(config, rotation));
    }
    GameRecord record;
    while (!stopping(shared)) {
        const std::int64_t batch = shared.nextBatch.fetch_add(1, std::memory_order_relaxed);
        if (batch >= shared.batchCount) {
            break;
        }
        BatchResult result;
        result.batch = batch;
        result.summary = emptySummary(config);
        const std::int64_t first = shared.range.first + batch * shared.batchDeals;
        const std::int64_t end = std::min(first + shared.batchDeals, shared.range.end);
        if (external) {
            playTogether(shared, first, end, result);
        }
        for (std::int64_t dealIndex = first; !external && dealIndex < end; ++dealIndex) {
            if (stopping(shared)) {
                result.complete = false;
                break;
            }
            DealTotals totals;
            for (std::int32_t rotation = 0; rotation < rotations; ++rotation) {
                addGame(result.summary,
                        playDeal(config, lineups[static_cast<std::size_t>(rotation)], dealIndex,
                                 recording ? &record : nullptr),
                        totals);
                if (recording) {
                    appendRecordLine(result.records, record);
                }
            }
            closeDeal(result.summary, totals);
        }
        shared.gamesDone.fetch_add(result.summary.games, std::memory_order_relaxed);
        addInOrder(shared, std::move(result));
    }
    const std::lock_guard<std::mutex> guard(shared.lock);
    ++shared.finishedThreads;
    shared.finishedOne.notify_all();
}

} // namespace

SimResults runSimulation(const SimConfig& config, DealRange range, std::int32_t threads,
                         RecordsOut* records, ProgressBar* progress) {
    const auto start = std::chrono::steady_clock::now();
    Shared shared;
    shared.config = &config;
    shared.range = range;
    shared.batchDeals = batchDealsFor(config, range, threads);
    shared.batchCount = (range.end - range.first + shared.batchDeals - 1) / shared.batchDeals;
    shared.records = records;

    // The coverage build's counters are plain increments, which two threads
    // racing on one would corrupt: it plays the same batches on one thread.
#ifdef PELLARO_COVERAGE
    const std::int32_t workerCount = 1;
#else
    const std::int32_t workerCount = threads;
#endif
    std::vector<std::thread> workers;
    workers.reserve(static_cast<std::size_t>(workerCount));
    for (std::int32_t i = 0; i < workerCount; ++i) {
        workers.emplace_back(playBatches, std::ref(shared));
    }
    {
        std::unique_lock<std::mutex> guard(shared.lock);
        while (shared.finishedThreads < workerCount) {
            shared.finishedOne.wait_for(guard, std::chrono::milliseconds(200));
            if (progress != nullptr) {
                updateProgress(*progress, shared.gamesDone.load(std::memory_order_relaxed));
            }
        }
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    if (progress != nullptr) {
        endProgress(*progress);
    }

    SimResults results;
    results.config = config;
    results.summary = shared.total;
    if (!results.summary.orders) {
        results.summary.orders = emptySummary(config).orders;
    }
    results.interrupted = shared.prefixEnded || shared.total.deals < range.end - range.first;
    results.botFailure = shared.failure;
    if (shared.total.deals > 0) {
        results.coverage.push_back(DealRange{range.first, range.first + shared.total.deals});
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    results.timing.seconds = elapsed.count();
    results.timing.threads = threads;
    return results;
}

} // namespace pellaro
