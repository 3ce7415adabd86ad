#include "load_run.h"

#include "load_person.h"
#include "load_replay.h"
#include "load_server.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <queue>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace pellaro::load {

namespace {

using namespace std::chrono_literals;

// A connection that drops is tried again this often, for this long.
constexpr auto retryEvery = 100ms;
constexpr auto retryFor = 30s;
// A safety net only: no check depends on how long the run takes.
constexpr auto silenceLimit = 60s;
// Every game has 76 Draws and more, so every table reaches this move.
constexpr std::size_t midpoint = 50;

class Socket {
public:
    Socket() = default;
    explicit Socket(int fd) : fd_(fd) {}
    Socket(Socket&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Socket& operator=(Socket&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    ~Socket() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int fd() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// A connection to 127.0.0.1:port, made non-blocking; closed when refused.
Socket connected(std::uint16_t port) {
    Socket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): the sockets API
    const auto* generic = reinterpret_cast<const sockaddr*>(&address);
    if (!socket || connect(socket.fd(), generic, sizeof address) != 0) {
        return {};
    }
    const int one = 1;
    setsockopt(socket.fd(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    fcntl(socket.fd(), F_SETFL, fcntl(socket.fd(), F_GETFL) | O_NONBLOCK);
    return socket;
}

// One person's connection and what waits to be read and sent on it.
struct Link {
    Person person;
    Socket socket{};
    std::string input{};
    std::string output{};
    // While it is down: when to try again and when to give up.
    Clock::time_point retryAt{};
    Clock::time_point giveUpAt{};
    bool dead = false;
};

// A figure of /proc/PID/status, in KiB, or 0.
std::int64_t statusKiB(pid_t pid, const std::string& field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ':', 0) == 0) {
            return std::atoll(line.c_str() + field.size() + 1);
        }
    }
    return 0;
}

class Run {
public:
    explicit Run(const Options& options) : options_(options), tables_(options.tables) {
        links_.reserve(static_cast<std::size_t>(options.tables) * seatsPerTable);
        for (std::int32_t i = 0; i < options.tables * seatsPerTable; ++i) {
            links_.push_back(Link{Person(tables_[static_cast<std::size_t>(i / seatsPerTable)],
                                         i % seatsPerTable, options.seed, i, options.thinkMs)});
            links_.back().giveUpAt = Clock::now() + retryFor;
        }
        tally_.holdAt = options.serverPid > 0 ? midpoint : 0;
        tally_.released = options.serverPid == 0;
    }

    // Plays until every person is finished, or nothing is heard for a long time.
    void play(ServerProcess* server, std::uint16_t port);
    void report(ServerProcess* server);
    bool failed() const { return !tally_.errors.empty() || mismatches_ > 0; }

private:
    void connectDue(Link& link, std::uint16_t port, Clock::time_point now);
    void readFrom(Link& link, std::size_t index);
    void flush(Link& link);
    void dropped(Link& link);
    void greetTable(std::size_t index);
    void awaitAnswer(std::size_t index);
    void sendDueAnswers(Clock::time_point now);
    int pollTimeoutMs(Clock::time_point now) const;
    void releaseAtMidpoint();
    void maybeKill(ServerProcess* server);
    bool finished() const;
    void checkTable(std::size_t index, const std::map<std::string, StoredGame>* stored);

    const Options& options_;
    std::vector<TableSeen> tables_;
    std::vector<Link> links_{};
    // The answers being thought over, soonest first: when each is due and
    // whose it is. A person who lost its connection meanwhile sends nothing.
    using Due = std::pair<Clock::time_point, std::size_t>;
    std::priority_queue<Due, std::vector<Due>, std::greater<>> due_{};
    Tally tally_{};
    std::vector<std::int64_t> killAt_{};
    std::int32_t kills_ = 0;
    std::int64_t rssBefore_ = 0;
    std::int64_t rssMidpoint_ = 0;
    std::int64_t neverTold_ = 0;
    std::int32_t mismatches_ = 0;
    Clock::time_point start_ = Clock::now();
    Clock::time_point heard_ = Clock::now();
    double seconds_ = 0;
};

void Run::connectDue(Link& link, std::uint16_t port, Clock::time_point now) {
    if (link.socket || link.dead || link.person.finished() || now < link.retryAt) {
        return;
    }
    link.socket = connected(port);
    if (link.socket) {
        tally_.reconnects += link.person.seated() ? 1 : 0;
        return;
    }
    link.retryAt = now + retryEvery;
    if (now >= link.giveUpAt) {
        link.dead = true;
        tally_.error(link.person.name(), "could not connect for 30 seconds");
    }
}

void Run::readFrom(Link& link, std::size_t index) {
    std::array<char, 65536> buffer{};
    for (;;) {
        const ssize_t got = recv(link.socket.fd(), buffer.data(), buffer.size(), 0);
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) {
            dropped(link);
            return;
        }
        if (got < 0) {
            break;
        }
        link.input.append(buffer.data(), static_cast<std::size_t>(got));
        heard_ = Clock::now();
    }
    const std::optional<Clock::time_point> dueBefore = link.person.answerDue();
    std::vector<std::string> send;
    std::size_t start = 0;
    for (std::size_t end = link.input.find('\n'); end != std::string::npos;
         end = link.input.find('\n', start)) {
        link.person.hear(std::string_view(link.input).substr(start, end - start), send, tally_);
        start = end + 1;
    }
    link.input.erase(0, start);
    for (const std::string& line : send) {
        link.output += line + '\n';
    }
    flush(link);
    if (link.person.answerDue() != dueBefore) {
        awaitAnswer(index);
    }
    // A table's code, once known, lets the others join.
    greetTable(index);
}

void Run::greetTable(std::size_t index) {
    const std::size_t first = index - index % seatsPerTable;
    for (std::size_t i = first; i < first + seatsPerTable; ++i) {
        if (std::optional<std::string> command = links_[i].person.greeting()) {
            links_[i].output += *command + '\n';
            flush(links_[i]);
        }
    }
}

void Run::awaitAnswer(std::size_t index) {
    if (const std::optional<Clock::time_point> due = links_[index].person.answerDue()) {
        due_.emplace(*due, index);
    }
}

void Run::sendDueAnswers(Clock::time_point now) {
    while (!due_.empty() && due_.top().first <= now) {
        Link& link = links_[due_.top().second];
        due_.pop();
        std::vector<std::string> send;
        link.person.answerIfDue(now, send);
        for (const std::string& line : send) {
            link.output += line + '\n';
        }
        flush(link);
    }
}

// No longer than the retry of dropped connections or the next answer due,
// rounded up so as not to wake just before that answer.
int Run::pollTimeoutMs(Clock::time_point now) const {
    auto wait = std::chrono::ceil<std::chrono::milliseconds>(retryEvery);
    if (!due_.empty()) {
        wait = std::min(wait, std::chrono::ceil<std::chrono::milliseconds>(due_.top().first - now));
    }
    return static_cast<int>(std::max<std::int64_t>(wait.count(), 0));
}

void Run::flush(Link& link) {
    while (link.socket && !link.output.empty()) {
        const ssize_t sent =
            send(link.socket.fd(), link.output.data(), link.output.size(), MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno != EAGAIN && errno != EINTR) {
                dropped(link);
            }
            return;
        }
        link.output.erase(0, static_cast<std::size_t>(sent));
    }
}

void Run::dropped(Link& link) {
    link.socket = Socket();
    link.input.clear();
    link.output.clear();
    if (link.person.finished()) {
        return;
    }
    if (options_.faultKills == 0) {
        link.dead = true;
        tally_.error(link.person.name(), "the server closed the connection");
        return;
    }
    link.person.lost();
    link.retryAt = Clock::now();
    link.giveUpAt = link.retryAt + retryFor;
}

// Every table is at the midpoint: the server's memory is read, then play goes on.
void Run::releaseAtMidpoint() {
    if (tally_.released || tally_.tablesHeld < options_.tables) {
        return;
    }
    rssMidpoint_ = statusKiB(options_.serverPid, "VmRSS");
    tally_.released = true;
    for (std::size_t i = 0; i < links_.size(); ++i) {
        std::vector<std::string> send;
        links_[i].person.release(send);
        for (const std::string& line : send) {
            links_[i].output += line + '\n';
        }
        flush(links_[i]);
        awaitAnswer(i);
    }
}

// The kills come at moves drawn at random over the first games' worth of
// moves, once every seat is held: a seat whose JOIN was stored but whose
// answer was lost could never be taken again.
void Run::maybeKill(ServerProcess* server) {
    if (server == nullptr || std::size_t(kills_) >= killAt_.size() ||
        tally_.movesTold < killAt_[static_cast<std::size_t>(kills_)] ||
        !std::all_of(links_.begin(), links_.end(),
                     [](const Link& link) { return link.person.seated(); })) {
        return;
    }
    server->kill();
    ++kills_;
    std::string why;
    if (!server->start(why)) {
        tally_.error("the server", "could not start again: " + why);
    }
}

bool Run::finished() const {
    return std::all_of(links_.begin(), links_.end(),
                       [](const Link& link) { return link.dead || link.person.finished(); });
}

void Run::play(ServerProcess* server, std::uint16_t port) {
    SeededRandom random = seededRandom(deriveSeed(options_.seed, 1U << 31U));
    const std::int64_t leastMoves = std::int64_t{options_.tables} * 76;
    for (std::int32_t kill = 0; kill < options_.faultKills; ++kill) {
        killAt_.push_back(leastMoves / 50 +
                          nextBelow(random, static_cast<std::int32_t>(leastMoves * 4 / 5)));
    }
    std::sort(killAt_.begin(), killAt_.end());
    if (options_.serverPid > 0) {
        rssBefore_ = statusKiB(options_.serverPid, "VmRSS");
    }
    start_ = Clock::now();
    heard_ = start_;
    std::vector<pollfd> polled;
    std::vector<std::size_t> polledLinks;
    while (!finished()) {
        const Clock::time_point now = Clock::now();
        if (now - heard_ > silenceLimit) {
            tally_.error("the run", "heard nothing for " + std::to_string(silenceLimit.count()) +
                                        " s: some games wait for ever");
            break;
        }
        polled.clear();
        polledLinks.clear();
        for (std::size_t i = 0; i < links_.size(); ++i) {
            connectDue(links_[i], port, now);
            if (links_[i].socket) {
                const short out = links_[i].output.empty() ? 0 : POLLOUT;
                polled.push_back({links_[i].socket.fd(), static_cast<short>(POLLIN | out), 0});
                polledLinks.push_back(i);
            }
        }
        poll(polled.data(), polled.size(), pollTimeoutMs(Clock::now()));
        for (std::size_t p = 0; p < polled.size(); ++p) {
            Link& link = links_[polledLinks[p]];
            if ((polled[p].revents & POLLOUT) != 0) {
                flush(link);
            }
            if ((polled[p].revents & (POLLIN | POLLHUP | POLLERR)) != 0 && link.socket) {
                readFrom(link, polledLinks[p]);
            }
        }
        sendDueAnswers(Clock::now());
        releaseAtMidpoint();
        maybeKill(server);
    }
    seconds_ = std::chrono::duration<double>(Clock::now() - start_).count();
}

void Run::checkTable(std::size_t index, const std::map<std::string, StoredGame>* stored) {
    const TableSeen& table = tables_[index];
    const std::string who = "table " + table.code;
    std::vector<ChosenMove> moves = chosenMoves(table.moves);
    std::optional<std::uint64_t> seed = table.seed;
    if (stored != nullptr) {
        const auto found = stored->find(table.code);
        // Finished tables stay stored until nobody is at them; the replay
        // below checks that the stored moves end the game.
        if (found == stored->end()) {
            tally_.error(who, "is not stored");
            ++mismatches_;
            return;
        }
        if (seed && *seed != found->second.seed) {
            tally_.error(who, "was told another seed than the stored one");
        }
        seed = found->second.seed;
        moves = found->second.moves;
        // Stored, and then the server was killed before it told anyone,
        // and the game had ended.
        neverTold_ += static_cast<std::int64_t>(moves.size()) -
                      static_cast<std::int64_t>(std::min(moves.size(), table.moves.size()));
    } else if (!seed || table.scores.size() != seatsPerTable ||
               !std::all_of(table.scores.begin(), table.scores.end(),
                            [](const auto& score) { return score.has_value(); })) {
        tally_.error(who, "never showed its seed and every score");
        return;
    }
    for (std::size_t i = index * seatsPerTable; i < (index + 1) * seatsPerTable; ++i) {
        const Person& person = links_[i].person;
        // Ended while away: its record, a prefix, was checked move by move.
        const bool away =
            stored != nullptr && person.moves().size() < moves.size() && person.finished();
        if (!away && person.moves().size() != moves.size()) {
            tally_.error(person.name(), "was told " + std::to_string(person.moves().size()) +
                                            " of the game's " + std::to_string(moves.size()) +
                                            " moves");
            ++mismatches_;
        }
    }
    if (const std::optional<std::string> difference = replayDifference(table, *seed, moves)) {
        tally_.error(who, *difference);
        ++mismatches_;
    }
}

// The share of the sorted figures below which `share` of them lie.
double percentile(const std::vector<double>& sorted, double share) {
    if (sorted.empty()) {
        return 0;
    }
    return sorted[static_cast<std::size_t>(share * static_cast<double>(sorted.size() - 1))];
}

void printHistogram(const std::vector<double>& sorted) {
    constexpr std::array<double, 10> bounds = {0.5, 1, 2, 5, 10, 20, 50, 100, 200, 500};
    std::size_t below = 0;
    for (const double bound : bounds) {
        const auto upTo = static_cast<std::size_t>(
            std::lower_bound(sorted.begin(), sorted.end(), bound) - sorted.begin());
        std::printf("  under %5g ms: %7zu\n", bound, upTo - below);
        below = upTo;
    }
    std::printf("  longer:        %7zu\n", sorted.size() - below);
}

void Run::report(ServerProcess* server) {
    std::optional<std::map<std::string, StoredGame>> stored;
    if (server != nullptr) {
        const int status = server->stop();
        std::string why;
        stored = readStore(options_.data + "/server.db", why);
        if (status != 0 || !stored) {
            tally_.error("the server", "exited with status " + std::to_string(status) +
                                           (stored ? "" : "; its database: " + why));
        }
    }
    for (std::size_t table = 0; table < tables_.size(); ++table) {
        checkTable(table, stored ? &*stored : nullptr);
    }
    std::sort(tally_.latencies.begin(), tally_.latencies.end());
    std::printf("%d tables of four people, %zu connections, seed %llu\n", options_.tables,
                links_.size(), static_cast<unsigned long long>(options_.seed));
    std::printf("games: %d in %.1f s, %.1f games per second; %lld moves told\n", options_.tables,
                seconds_, options_.tables / seconds_, static_cast<long long>(tally_.movesTold));
    std::printf("rows refused and asked again: %lld\n", static_cast<long long>(tally_.refusedRows));
    if (server == nullptr) {
        const std::vector<double>& sorted = tally_.latencies;
        std::printf("from an ANSWER sent to its MOVE at every seat of the table, %zu moves: "
                    "median %.2f ms, 99th percentile %.2f ms, most %.2f ms\n",
                    sorted.size(), percentile(sorted, 0.5), percentile(sorted, 0.99),
                    percentile(sorted, 1));
        printHistogram(sorted);
    }
    if (options_.serverPid > 0) {
        std::printf("server memory: %lld KiB before, %lld KiB with every table at move %zu: "
                    "%.1f KiB a table; peak %lld KiB\n",
                    static_cast<long long>(rssBefore_), static_cast<long long>(rssMidpoint_),
                    midpoint, static_cast<double>(rssMidpoint_ - rssBefore_) / options_.tables,
                    static_cast<long long>(statusKiB(options_.serverPid, "VmHWM")));
    }
    if (server != nullptr) {
        std::printf("fault run: %d kills, %lld reconnects, %lld seats whose game ended while "
                    "away, %lld moves stored but never told, %d tables mismatched\n",
                    kills_, static_cast<long long>(tally_.reconnects),
                    static_cast<long long>(tally_.endedAway), static_cast<long long>(neverTold_),
                    mismatches_);
    }
    std::printf("errors: %zu\n", tally_.errors.size());
    for (std::size_t i = 0; i < std::min<std::size_t>(tally_.errors.size(), 20); ++i) {
        std::printf("  %s\n", tally_.errors[i].c_str());
    }
}

// Every connection is a descriptor.
void raiseDescriptorLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

} // namespace

int runLoad(const Options& options) {
    raiseDescriptorLimit();
    std::unique_ptr<ServerProcess> server;
    std::uint16_t port = options.port;
    if (options.faultKills > 0) {
        port = freePort();
        server = std::make_unique<ServerProcess>(options.server, options.data, port);
        std::string why;
        if (port == 0 || !server->start(why)) {
            std::cerr << "pellaro_server_load: cannot start the server: " << why << '\n';
            return 1;
        }
    }
    Run run(options);
    run.play(server.get(), port);
    run.report(server.get());
    return run.failed() ? 1 : 0;
}

} // namespace pellaro::load
