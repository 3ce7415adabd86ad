#include "lobby_room.h"

#include <algorithm>

namespace pellaro {

LobbyRoom::LobbyRoom(Lobby::Limits limits) : limits(limits) {
    restart();
}

void LobbyRoom::connect(ClientId client) {
    Outbox out;
    lobby->connect(client, out);
    deliver(out);
}

void LobbyRoom::send(ClientId client, std::string_view line) {
    Outbox out;
    lobby->receive(client, line, out);
    deliver(out);
}

void LobbyRoom::disconnect(ClientId client) {
    Outbox out;
    lobby->disconnect(client, out);
    deliver(out);
}

void LobbyRoom::restart() {
    lobby = std::make_unique<Lobby>(store, limits);
    Outbox out;
    lobby->load(out);
    deliver(out);
}

std::vector<std::string> LobbyRoom::take(ClientId client) {
    const std::vector<std::string>& lines = seen[client];
    std::size_t& from = taken_[client];
    std::vector<std::string> fresh(lines.begin() + static_cast<std::ptrdiff_t>(from), lines.end());
    from = lines.size();
    return fresh;
}

void LobbyRoom::deliver(Outbox& first) {
    // What one step causes is delivered before the next: the lines of a
    // connection's goodbye, then the jobs in the order they came.
    std::deque<Outbox> steps;
    steps.push_back(std::move(first));
    std::deque<Job> jobs;
    while (!steps.empty() || !jobs.empty()) {
        if (steps.empty()) {
            Job job = std::move(jobs.front());
            jobs.pop_front();
            if (job.kind != JobKind::Move && !heavyJobs) {
                continue;
            }
            if (budget > 0) {
                job.bot.settings.budget = budget;
            }
            Outbox next;
            lobby->finished(runJob(std::move(job)), next);
            steps.push_back(std::move(next));
            continue;
        }
        Outbox out = std::move(steps.front());
        steps.pop_front();
        for (auto& [client, line] : out.lines) {
            if (std::find(closed.begin(), closed.end(), client) == closed.end()) {
                seen[client].push_back(std::move(line));
            }
        }
        for (const ClientId client : out.closing) {
            closed.push_back(client);
            Outbox gone;
            lobby->disconnect(client, gone);
            steps.push_back(std::move(gone));
        }
        std::move(out.jobs.begin(), out.jobs.end(), std::back_inserter(jobs));
    }
}

} // namespace pellaro
