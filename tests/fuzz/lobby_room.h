#pragma once

#include "server/lobby.h"
#include "server/store.h"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pellaro {

// pellaro-server's lobby with no socket: the lines each connection was
// sent, and the worker threads' jobs done at once, in order. For the tests
// and the fuzz target of the server's commands.
struct LobbyRoom {
    Store store = Store::inMemory();
    std::unique_ptr<Lobby> lobby;
    Lobby::Limits limits{};
    // Every line each connection was sent, in order.
    std::map<ClientId, std::vector<std::string>> seen{};
    // Connections the lobby said goodbye to.
    std::vector<ClientId> closed{};
    // Hints and reviews are done (else dropped), and computer players
    // search on this budget when it is above 0.
    bool heavyJobs = true;
    std::int32_t budget = 0;

    explicit LobbyRoom(Lobby::Limits limits = {});

    void connect(ClientId client);
    // One line from the connection; every job it caused is done before
    // this returns.
    void send(ClientId client, std::string_view line);
    void disconnect(ClientId client);
    // The server killed and started again on the same store: every
    // connection is gone.
    void restart();

    // The lines sent to the connection since the last call.
    std::vector<std::string> take(ClientId client);

private:
    void deliver(Outbox& first);
    std::map<ClientId, std::size_t> taken_{};
};

} // namespace pellaro
