#include "lobby.h"

#include "../solo/seating.h"
#include "../solo/solo_display.h"
#include "secrets.h"

#include <algorithm>
#include <array>
#include <ctime>

namespace pellaro {

namespace {

constexpr std::array<const char*, 13> helpLines = {
    "NAME <name>                 how your seats are shown: 1 to 8 letters, digits, - or _",
    "CREATE <seats>              a table, one letter a seat: P a person, E, M or H an",
    "                            Easy, Medium or Hard computer player; you take the first P",
    "LIST                        the tables waiting for people",
    "JOIN <code> [<seat>]        a free seat; keep the token it gives",
    "WATCH <code>                every move of a table, and no seat's secrets",
    "RESUME <code> <seat> <token>  your seat again, on a new connection",
    "ANSWER <text>               the answer to your seat's question",
    "BOARD                       the board again",
    "HAND <seat> <E|M|H>         the table's creator gives a seat nobody holds to a",
    "                            computer player",
    "LEAVE                       leave the table; RESUME takes your seat again",
    "QUIT                        close the connection",
};

std::string utcNow() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    std::array<char, 32> text{};
    std::strftime(text.data(), text.size(), "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text.data();
}

std::string seatWord(std::int32_t seat) {
    return std::to_string(seat + 1);
}

// "Player #2 (ann)" as everyone but its holder sees it.
std::string seatNameOf(const ServerTable& table, std::int32_t seat) {
    const StoredSeat& stored = table.stored.seats[static_cast<std::size_t>(seat)];
    return "Player #" + seatWord(seat) + (stored.name.empty() ? "" : " (" + stored.name + ')');
}

void tellOthers(const ServerTable& table, ClientId except, const std::string& line, Outbox& out) {
    for (const ClientId client : audience(table)) {
        if (client != except) {
            out.say(client, "| " + line);
        }
    }
}

} // namespace

Lobby::Lobby(Store& store, Limits limits) : store_(store), limits_(limits) {}

std::vector<std::string> Lobby::load(Outbox& out) {
    std::vector<std::string> warnings;
    for (StoredTable& stored : store_.loadTables(warnings)) {
        const std::string code = stored.code;
        std::string why;
        std::optional<ServerTable> table = tableOf(std::move(stored), why);
        if (!table) {
            std::string warning = "table " + code;
            warning += " is left out: ";
            warning += why;
            warnings.push_back(std::move(warning));
            continue;
        }
        ServerTable& placed = tables_.emplace(code, std::move(*table)).first->second;
        // Computer players to move move now; people are asked when they come back.
        if (isStarted(placed) &&
            placed.stored.seats[static_cast<std::size_t>(placed.game.currentPlayer)].kind !=
                SeatKind::Person) {
            nextStep(placed, store_, out);
        }
    }
    return warnings;
}

void Lobby::connect(ClientId client, Outbox& out) {
    clients_[client] = Client{};
    out.say(client, "HELLO pellaro 1");
}

void Lobby::receive(ClientId client, std::string_view line, Outbox& out) {
    std::string why;
    const std::optional<Command> command = parseCommand(line, why);
    if (!command) {
        out.say(client, "ERR " + why);
        return;
    }
    switch (command->verb) {
    case Verb::Help:
        help(client, out);
        break;
    case Verb::Name:
        clients_[client].name = command->text;
        out.say(client, "OK you are " + command->text);
        break;
    case Verb::Create:
        create(client, *command, out);
        break;
    case Verb::List:
        list(client, out);
        break;
    case Verb::Join:
        join(client, *command, out);
        break;
    case Verb::Watch:
        watch(client, *command, out);
        break;
    case Verb::Resume:
        resume(client, *command, out);
        break;
    case Verb::Answer:
        answerOf(client, *command, out);
        break;
    case Verb::Board:
        board(client, out);
        break;
    case Verb::Hand:
        hand(client, *command, out);
        break;
    case Verb::Leave:
        leave(client, out);
        break;
    case Verb::Quit:
        detach(client, out);
        out.say(client, "BYE goodbye");
        out.closing.push_back(client);
        break;
    }
}

void Lobby::help(ClientId client, Outbox& out) {
    out.say(client, "OK the commands, one a line:");
    for (const char* line : helpLines) {
        out.say(client, std::string("| ") + line);
    }
}

void Lobby::create(ClientId client, const Command& command, Outbox& out) {
    if (tablesInPlay() >= limits_.tables) {
        out.say(client, "ERR the server holds as many tables as it may (" +
                            std::to_string(limits_.tables) + "); try again later");
        return;
    }
    StoredTable stored;
    stored.seed = newDealSeed();
    stored.created = utcNow();
    for (const SeatKind kind : command.seats) {
        stored.seats.push_back(StoredSeat{kind});
    }
    stored.creator = static_cast<std::int32_t>(
        std::find(command.seats.begin(), command.seats.end(), SeatKind::Person) -
        command.seats.begin());
    const std::string token = newSeatToken();
    StoredSeat& own = stored.seats[static_cast<std::size_t>(stored.creator)];
    own = {SeatKind::Person, true, clients_[client].name, tokenHash(store_.key(), token)};
    std::string why;
    bool created = false;
    // A code already in use is drawn again; with 31^6 codes that is rare.
    for (int attempt = 0; attempt < 8 && !created; ++attempt) {
        stored.code = newTableCode();
        created = !tables_.contains(stored.code) && store_.createTable(stored, why);
    }
    if (!created) {
        out.say(client, "ERR the server could not store the table (" + why + ')');
        return;
    }
    std::optional<ServerTable> table = tableOf(stored, why);
    detach(client, out);
    ServerTable& placed = tables_.emplace(stored.code, std::move(*table)).first->second;
    Client& record = clients_[client];
    record.table = stored.code;
    record.seat = stored.creator;
    placed.seats[static_cast<std::size_t>(stored.creator)].holder = client;
    out.say(client, "OK " + stored.code + ' ' + seatWord(stored.creator) + ' ' + token);
    if (isStarted(placed)) {
        tellStart(placed, out);
        nextStep(placed, store_, out);
    } else {
        showTable(placed, store_, client, stored.creator, out);
    }
}

void Lobby::list(ClientId client, Outbox& out) {
    std::vector<const ServerTable*> waiting;
    for (const auto& [code, table] : tables_) {
        if (!isStarted(table)) {
            waiting.push_back(&table);
        }
    }
    out.say(client, "OK " + std::to_string(waiting.size()) + " waiting");
    for (const ServerTable* table : waiting) {
        out.say(client, "| " + tableSummary(*table));
    }
}

void Lobby::join(ClientId client, const Command& command, Outbox& out) {
    const auto found = tables_.find(command.code);
    if (found == tables_.end()) {
        out.say(client, "ERR there is no table " + command.code);
        return;
    }
    ServerTable& table = found->second;
    const auto seats = static_cast<std::int32_t>(table.stored.seats.size());
    std::int32_t chosen = command.seat;
    if (chosen < 0) {
        for (std::int32_t free = 0; free < seats && chosen < 0; ++free) {
            chosen = isFree(table, free) ? free : -1;
        }
        if (chosen < 0) {
            out.say(client, "ERR table " + command.code + " has no free seat");
            return;
        }
    } else if (chosen >= seats) {
        out.say(client, "ERR table " + command.code + " has " + std::to_string(seats) + " seats");
        return;
    } else if (!isFree(table, chosen)) {
        out.say(client,
                "ERR seat " + seatWord(chosen) + " of table " + command.code + " is not free");
        return;
    }
    if (clients_[client].table == command.code) {
        out.say(client, "ERR you are at that table already");
        return;
    }
    StoredSeat joined{SeatKind::Person, true, clients_[client].name, {}};
    const std::string token = newSeatToken();
    joined.token = tokenHash(store_.key(), token);
    std::string why;
    if (!store_.setSeat(command.code, chosen, joined, why)) {
        out.say(client, "ERR the server could not store the seat (" + why + ')');
        return;
    }
    table.stored.seats[static_cast<std::size_t>(chosen)] = joined;
    seat(client, table, chosen, token, out);
}

void Lobby::seat(ClientId client, ServerTable& table, std::int32_t seat, const std::string& token,
                 Outbox& out) {
    Client& record = clients_[client];
    if (record.table != table.stored.code) {
        detach(client, out);
    } else if (record.seat < 0) {
        table.watchers.erase(client);
    } else {
        table.seats[static_cast<std::size_t>(record.seat)].holder = 0;
    }
    record.table = table.stored.code;
    record.seat = seat;
    table.seats[static_cast<std::size_t>(seat)].holder = client;
    out.say(client,
            "OK " + table.stored.code + ' ' + seatWord(seat) + (token.empty() ? "" : ' ' + token));
    tellOthers(table, client, seatNameOf(table, seat) + " sits down.", out);
    const bool startsNow = !token.empty() && isStarted(table) && table.stored.moves.empty() &&
                           !table.thinking && table.question == 0;
    if (startsNow) {
        tellStart(table, out);
        nextStep(table, store_, out);
    } else {
        showTable(table, store_, client, seat, out);
    }
}

void Lobby::watch(ClientId client, const Command& command, Outbox& out) {
    const auto found = tables_.find(command.code);
    if (found == tables_.end()) {
        out.say(client, "ERR there is no table " + command.code);
        return;
    }
    detach(client, out);
    Client& record = clients_[client];
    record.table = command.code;
    record.seat = -1;
    out.say(client, "OK " + command.code);
    showTable(found->second, store_, client, -1, out);
}

void Lobby::resume(ClientId client, const Command& command, Outbox& out) {
    const auto found = tables_.find(command.code);
    // One answer for every mismatch, so that a guess learns nothing.
    const std::string refusal = "ERR no seat of a table in play has that code, seat and token";
    if (found == tables_.end()) {
        out.say(client, refusal);
        return;
    }
    ServerTable& table = found->second;
    if (command.seat >= static_cast<std::int32_t>(table.stored.seats.size())) {
        out.say(client, refusal);
        return;
    }
    const StoredSeat& stored = table.stored.seats[static_cast<std::size_t>(command.seat)];
    if (stored.kind != SeatKind::Person || !stored.joined ||
        !sameHash(stored.token, tokenHash(store_.key(), command.text))) {
        out.say(client, refusal);
        return;
    }
    const ClientId earlier = table.seats[static_cast<std::size_t>(command.seat)].holder;
    if (earlier != 0 && earlier != client) {
        table.seats[static_cast<std::size_t>(command.seat)].holder = 0;
        clients_[earlier].table.clear();
        clients_[earlier].seat = -1;
        out.say(earlier, "| Your seat was taken up by another connection with its token.");
    }
    seat(client, table, command.seat, "", out);
}

void Lobby::answerOf(ClientId client, const Command& command, Outbox& out) {
    const Client& record = clients_[client];
    ServerTable* table = tableOfClient(client);
    if (table == nullptr || record.seat < 0) {
        out.say(client, "ERR you hold no seat: CREATE, JOIN or RESUME one first");
        return;
    }
    if (const std::optional<std::string> refusal = answerRefusal(*table, record.seat)) {
        out.say(client, "ERR " + *refusal);
        return;
    }
    out.say(client, "OK");
    answer(*table, store_, record.seat, command.text, out);
}

void Lobby::board(ClientId client, Outbox& out) {
    ServerTable* table = tableOfClient(client);
    if (table == nullptr) {
        out.say(client, "ERR you are at no table");
        return;
    }
    out.say(client, "OK");
    showBoard(*table, client, clients_[client].seat, out);
    askAgain(*table, clients_[client].seat, out);
}

void Lobby::hand(ClientId client, const Command& command, Outbox& out) {
    ServerTable* table = tableOfClient(client);
    const std::int32_t own = clients_[client].seat;
    if (table == nullptr || own < 0 || own != table->stored.creator) {
        out.say(client, "ERR only the table's creator, at its seat, may hand a seat over");
        return;
    }
    const std::int32_t target = command.seat;
    if (target >= static_cast<std::int32_t>(table->stored.seats.size()) || isOver(*table) ||
        table->stored.seats[static_cast<std::size_t>(target)].kind != SeatKind::Person ||
        table->seats[static_cast<std::size_t>(target)].holder != 0) {
        out.say(client, "ERR seat " + seatWord(target) +
                            " is no person's seat that nobody holds in a game under way");
        return;
    }
    const StoredSeat computer{command.seats.front()};
    std::string why;
    if (!store_.setSeat(table->stored.code, target, computer, why)) {
        out.say(client, "ERR the server could not store the seat (" + why + ')');
        return;
    }
    const bool wasStarted = isStarted(*table);
    table->stored.seats[static_cast<std::size_t>(target)] = computer;
    seatComputer(*table, target);
    out.say(client, "OK");
    tellOthers(*table, 0,
               "Player #" + seatWord(target) + " is played by " +
                   (computer.kind == SeatKind::Easy ? "an " : "a ") +
                   strengthName(static_cast<Strength>(static_cast<int>(computer.kind) - 1)) +
                   " computer player from now on.",
               out);
    if (!wasStarted && isStarted(*table)) {
        tellStart(*table, out);
        nextStep(*table, store_, out);
    } else if (wasStarted && table->game.currentPlayer == target) {
        table->takeAsked = false;
        nextStep(*table, store_, out);
    }
}

void Lobby::leave(ClientId client, Outbox& out) {
    if (tableOfClient(client) == nullptr) {
        out.say(client, "ERR you are at no table");
        return;
    }
    detach(client, out);
    out.say(client, "OK you left the table");
}

void Lobby::detach(ClientId client, Outbox& out) {
    Client& record = clients_[client];
    ServerTable* table = tableOfClient(client);
    if (table == nullptr) {
        record = Client{record.name};
        return;
    }
    if (record.seat < 0) {
        table->watchers.erase(client);
    } else {
        table->seats[static_cast<std::size_t>(record.seat)].holder = 0;
        if (!isOver(*table)) {
            tellOthers(*table, client,
                       seatNameOf(*table, record.seat) + " is away; the seat waits for them.", out);
        }
    }
    // A finished table is closed once nobody is left at it; should that
    // write fail, the sweep closes it later.
    std::string why;
    if (isOver(*table) && audience(*table).empty() && store_.closeTable(table->stored.code, why)) {
        tables_.erase(record.table);
    }
    record = Client{record.name};
}

void Lobby::disconnect(ClientId client, Outbox& out) {
    detach(client, out);
    clients_.erase(client);
}

void Lobby::finished(const JobResult& result, Outbox& out) {
    const auto found = tables_.find(result.table);
    if (found != tables_.end()) {
        jobDone(found->second, store_, result, out);
    }
}

void Lobby::stop(Outbox& out) {
    for (const auto& [client, record] : clients_) {
        out.say(client, "BYE the server stops");
        out.closing.push_back(client);
    }
}

std::size_t Lobby::sweep(std::uint64_t sweeps) {
    ++sweeps_;
    std::size_t closed = 0;
    for (auto entry = tables_.begin(); entry != tables_.end();) {
        ServerTable& table = entry->second;
        const bool empty = (!isStarted(table) || isOver(table)) && audience(table).empty();
        if (!empty) {
            table.emptySince = 0;
        } else if (table.emptySince == 0) {
            table.emptySince = sweeps_;
        } else if (sweeps_ - table.emptySince >= sweeps) {
            std::string why;
            if (store_.closeTable(table.stored.code, why)) {
                entry = tables_.erase(entry);
                ++closed;
                continue;
            }
        }
        ++entry;
    }
    return closed;
}

ServerTable* Lobby::tableOfClient(ClientId client) {
    const auto record = clients_.find(client);
    if (record == clients_.end() || record->second.table.empty()) {
        return nullptr;
    }
    const auto found = tables_.find(record->second.table);
    return found == tables_.end() ? nullptr : &found->second;
}

std::size_t Lobby::tablesInPlay() const {
    return static_cast<std::size_t>(std::count_if(
        tables_.begin(), tables_.end(), [](const auto& entry) { return !isOver(entry.second); }));
}

} // namespace pellaro
