#pragma once

#include "commands.h"
#include "jobs.h"
#include "store.h"
#include "table.h"

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace pellaro {

// Every table of the server and every connection's place among them: the
// commands of the protocol, without a socket. The connections' layer hands
// it each whole line and sends what it puts in the outbox; the worker
// threads do its jobs and hand back their results. One thread calls it.
class Lobby {
public:
    struct Limits {
        // Tables whose game is not over, at most.
        std::size_t tables = 1000;
    };

    Lobby(Store& store, Limits limits);

    // Takes up the stored tables where they were; a warning line for each
    // one the rules refuse, which is left in the store untouched.
    std::vector<std::string> load(Outbox& out);

    void connect(ClientId client, Outbox& out);
    void receive(ClientId client, std::string_view line, Outbox& out);
    // The connection is gone: its seat waits for RESUME.
    void disconnect(ClientId client, Outbox& out);
    void finished(const JobResult& result, Outbox& out);
    // Says goodbye to every connection: the server stops.
    void stop(Outbox& out);
    // Called at a steady pace (once a minute by the server): closes the
    // tables still waiting for people, or finished, that nobody has been
    // at for `sweeps` calls, so that tables nobody comes back to do not
    // fill the server. Returns how many it closed.
    std::size_t sweep(std::uint64_t sweeps);

    std::size_t tableCount() const { return tables_.size(); }
    std::size_t clientCount() const { return clients_.size(); }

private:
    struct Client {
        std::string name{};
        // The table it sits at or watches, and its seat there (-1 watching).
        std::string table{};
        std::int32_t seat = -1;
    };

    void help(ClientId client, Outbox& out);
    void create(ClientId client, const Command& command, Outbox& out);
    void list(ClientId client, Outbox& out);
    void join(ClientId client, const Command& command, Outbox& out);
    void watch(ClientId client, const Command& command, Outbox& out);
    void resume(ClientId client, const Command& command, Outbox& out);
    void answerOf(ClientId client, const Command& command, Outbox& out);
    void board(ClientId client, Outbox& out);
    void hand(ClientId client, const Command& command, Outbox& out);
    void leave(ClientId client, Outbox& out);

    // Takes a seat at the table for the connection, with a new token.
    void seat(ClientId client, ServerTable& table, std::int32_t seat, const std::string& token,
              Outbox& out);
    // The connection leaves whatever table it is at.
    void detach(ClientId client, Outbox& out);
    ServerTable* tableOfClient(ClientId client);
    std::size_t tablesInPlay() const;

    Store& store_;
    Limits limits_;
    std::map<std::string, ServerTable> tables_;
    std::map<ClientId, Client> clients_;
    std::uint64_t sweeps_ = 1;
};

} // namespace pellaro
