#include "table.h"

#include "../engine/turn_rules.h"
#include "../solo/advice.h"
#include "../solo/computer_turns.h"
#include "../solo/person_moves.h"
#include "../solo/solo_display.h"
#include "../solo/strengths.h"

#include <algorithm>
#include <cassert>
#include <cctype>
#include <charconv>

namespace pellaro {

namespace {

Strength strengthOf(SeatKind kind) {
    assert(kind != SeatKind::Person);
    return static_cast<Strength>(static_cast<std::uint8_t>(kind) - 1);
}

bool isPersonSeat(const ServerTable& table, std::int32_t seat) {
    return table.stored.seats[static_cast<std::size_t>(seat)].kind == SeatKind::Person;
}

// The seats as `viewer` sees them: their own as "you", the other people by
// name, computer players by strength.
Seating seatingFor(const ServerTable& table, std::int32_t viewer) {
    Seating seating;
    seating.players = static_cast<std::int32_t>(table.stored.seats.size());
    // The review speaks to its one reader.
    seating.people = 1;
    for (std::size_t seat = 0; seat < table.stored.seats.size(); ++seat) {
        const StoredSeat& stored = table.stored.seats[seat];
        SeatLabel label{stored.kind == SeatKind::Person, {}};
        if (!label.person) {
            label.label = strengthName(strengthOf(stored.kind));
        } else if (static_cast<std::int32_t>(seat) == viewer) {
            label.label = "you";
        } else if (!stored.joined) {
            label.label = "free";
        } else {
            label.label = stored.name.empty() ? "person" : stored.name;
        }
        seating.seats.push_back(std::move(label));
    }
    return seating;
}

void sayLines(Outbox& out, ClientId client, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        out.say(client, line.empty() ? "|" : "| " + line);
    }
}

// The news since the connection was last told, read with its own marks.
std::vector<std::string> newsFor(ServerTable& table, Told& told, std::int32_t viewer) {
    History& history = table.history;
    history.shown = told.shown;
    history.headed = told.headed;
    std::vector<std::string> lines =
        newsLines(history, seatingFor(table, viewer), viewer, table.game.currentPlayer);
    told = {history.shown, history.headed};
    return lines;
}

std::string moveLine(const ServerTable& table, std::size_t index) {
    const PlayedTurn& turn = table.history.turns[index];
    std::string line = "MOVE " + table.stored.code + ' ' + std::to_string(index + 1) + ' ' +
                       std::to_string(turn.seat + 1) + ' ' +
                       (turn.move.action == TurnAction::Draw ? "D " : "T ") +
                       rowNumber(turn.move.row);
    if (turn.move.action == TurnAction::Draw) {
        line += ' ';
        line += cardLabels[static_cast<std::size_t>(turn.drawn)];
    }
    return line;
}

// Each connection at the table, with the seat it sees from (-1 for a
// watcher) and its marks.
template <typename Visit>
void forEachViewer(ServerTable& table, Visit visit) {
    for (std::size_t seat = 0; seat < table.seats.size(); ++seat) {
        TableSeat& held = table.seats[seat];
        if (held.holder != 0) {
            visit(held.holder, static_cast<std::int32_t>(seat), held.told);
        }
    }
    for (auto& [client, told] : table.watchers) {
        visit(client, -1, told);
    }
}

std::string turnName(const ServerTable& table) {
    const std::int32_t seat = table.game.currentPlayer;
    return seatName(seatingFor(table, seat), seat) + ", turn " +
           std::to_string(ownTurn(table.history, table.history.turns.size(), seat));
}

std::string rowsText(const ServerTable& table) {
    return "(1-" + std::to_string(table.game.numberOfPlayers) + ")";
}

bool mayGoBack(const ServerTable& table) {
    return isActionPossible(table.game, TurnAction::Draw);
}

std::string questionText(const ServerTable& table) {
    if (table.stored.drawn) {
        return "Row to place it on " + rowsText(table) + " or ? for a hint: ";
    }
    if (table.takeAsked) {
        return "Row to take " + rowsText(table) + (mayGoBack(table) ? ", B to go back" : "") +
               " or ? for a hint: ";
    }
    return turnName(table) + ": (D)raw a card, (T)ake a row or ? for a hint: ";
}

ClientId moverHolder(const ServerTable& table) {
    return table.seats[static_cast<std::size_t>(table.game.currentPlayer)].holder;
}

void ask(ServerTable& table, Outbox& out) {
    ++table.question;
    const ClientId holder = moverHolder(table);
    if (holder != 0) {
        out.say(holder, "? " + questionText(table));
    }
}

void tellMover(const ServerTable& table, const std::string& line, Outbox& out) {
    const ClientId holder = moverHolder(table);
    if (holder != 0) {
        out.say(holder, "| " + line);
    }
}

void tellAll(const ServerTable& table, const std::string& line, Outbox& out) {
    for (const ClientId client : audience(table)) {
        out.say(client, "| " + line);
    }
}

std::string drawnText(const ServerTable& table) {
    return "You drew " + std::string(cardLabels[static_cast<std::size_t>(topCard(table.game))]) +
           '.';
}

void offerReview(ServerTable& table, std::int32_t seat, Outbox& out) {
    const ClientId holder = table.seats[static_cast<std::size_t>(seat)].holder;
    if (holder != 0) {
        out.say(holder, "? Review your decisions against Hard's? (Y/N) ");
    }
}

void sayClosing(ClientId client, Outbox& out) {
    out.say(client, "| The game is over: CREATE, JOIN or WATCH another, or QUIT.");
}

void finish(ServerTable& table, Outbox& out) {
    forEachViewer(table, [&](ClientId client, std::int32_t seat, Told& told) {
        sayLines(out, client, newsFor(table, told, seat));
        sayLines(out, client, resultLines(table.game, seatingFor(table, seat)));
        out.say(client, "| This deal was seed " + std::to_string(table.stored.seed) + '.');
    });
    for (std::size_t seat = 0; seat < table.seats.size(); ++seat) {
        TableSeat& held = table.seats[seat];
        held.reviewOffered = !held.decisions.empty();
        if (held.reviewOffered) {
            offerReview(table, static_cast<std::int32_t>(seat), out);
        } else if (held.holder != 0) {
            sayClosing(held.holder, out);
        }
    }
    for (const auto& [client, told] : table.watchers) {
        sayClosing(client, out);
    }
}

// Stores the move, then plays it and tells everyone; false, with nothing
// changed, when the store refused it.
bool play(ServerTable& table, Store& store, const ChosenMove& move, Outbox& out, std::string& why) {
    assert(isRowValid(table.game, move.action, move.row));
    const std::size_t index = table.stored.moves.size();
    if (!store.addMove(table.stored.code, index, move, why)) {
        return false;
    }
    table.stored.moves.push_back(move);
    table.stored.drawn = false;
    table.takeAsked = false;
    const GameState before = table.game;
    const TurnPlayed played = playTurn(table.game, table.known, move);
    recordTurn(table.history, before, move, table.game, played.over);
    if (isPersonSeat(table, before.currentPlayer)) {
        TableSeat& mover = table.seats[static_cast<std::size_t>(before.currentPlayer)];
        addDecisions(mover.decisions, before, move, table.stored.seed, index);
    }
    ++out.moves;
    const std::string line = moveLine(table, index);
    forEachViewer(table, [&](ClientId client, std::int32_t seat, Told& told) {
        out.say(client, line);
        if (!played.over) {
            sayLines(out, client, newsFor(table, told, seat));
        }
    });
    if (played.over) {
        finish(table, out);
    }
    return true;
}

// What an answer, or a step that needed none, came to: the seat is asked
// (or waited for), or a move was played and the game moves on.
enum class Step : std::uint8_t { Asked, Played };

Step playOrTell(ServerTable& table, Store& store, const ChosenMove& move, Outbox& out) {
    std::string why;
    if (play(table, store, move, out, why)) {
        return Step::Played;
    }
    tellMover(table, "The server could not store that move (" + why + "); answer again.", out);
    ask(table, out);
    return Step::Asked;
}

// After D: the card is marked seen before it is shown, so that no answer
// after a lost connection can take the Draw back.
Step draw(ServerTable& table, Store& store, Outbox& out) {
    std::string why;
    if (!store.setDrawn(table.stored.code, true, why)) {
        tellMover(table, "The server could not store that (" + why + "); answer again.", out);
        ask(table, out);
        return Step::Asked;
    }
    table.stored.drawn = true;
    const RowSet rows = allowedRows(table.game, TurnAction::Draw);
    if (rowCount(rows) == 1) {
        tellMover(table,
                  drawnText(table) + " Row " + rowNumber(lowestRow(rows)) +
                      " is the only one with room, so it goes there.",
                  out);
        return playOrTell(table, store, {TurnAction::Draw, lowestRow(rows)}, out);
    }
    tellMover(table, drawnText(table), out);
    ask(table, out);
    return Step::Asked;
}

Step take(ServerTable& table, Store& store, Outbox& out) {
    const RowSet rows = allowedRows(table.game, TurnAction::Take);
    if (!isTakeRowAsked(table.game)) {
        tellMover(table, "Row " + rowNumber(lowestRow(rows)) + " is the only one left to take.",
                  out);
        return playOrTell(table, store, {TurnAction::Take, lowestRow(rows)}, out);
    }
    table.takeAsked = true;
    ask(table, out);
    return Step::Asked;
}

Step startPersonTurn(ServerTable& table, Store& store, Outbox& out) {
    const ClientId holder = moverHolder(table);
    if (holder != 0) {
        const std::int32_t seat = table.game.currentPlayer;
        sayLines(out, holder, tableLines(table.game, seatingFor(table, seat), table.history.round));
    }
    if (table.stored.drawn || table.takeAsked) {
        if (table.stored.drawn) {
            tellMover(table, turnName(table) + ": " + drawnText(table), out);
        }
        ask(table, out);
        return Step::Asked;
    }
    const bool canDraw = isActionPossible(table.game, TurnAction::Draw);
    const bool canTake = isActionPossible(table.game, TurnAction::Take);
    if (canDraw && canTake) {
        ask(table, out);
        return Step::Asked;
    }
    tellMover(table,
              turnName(table) + (canDraw ? ": no row holds a card, so a card must be drawn."
                                         : ": every row in play is full, so a row must be taken."),
              out);
    return canDraw ? draw(table, store, out) : take(table, store, out);
}

// A job for the seat, marked with the table and how far its game had come.
Job jobFor(const ServerTable& table, JobKind kind, std::int32_t seat, ClientId client) {
    Job job;
    job.kind = kind;
    job.table = table.stored.code;
    job.moves = table.stored.moves.size();
    job.question = table.question;
    job.client = client;
    job.seat = seat;
    return job;
}

void hint(const ServerTable& table, std::int32_t seat, ClientId client, Outbox& out) {
    Job job = jobFor(table, JobKind::Hint, seat, client);
    job.game = table.game;
    const DecisionStage stage =
        table.stored.drawn || table.takeAsked ? DecisionStage::Row : DecisionStage::Action;
    const TurnAction action = table.takeAsked ? TurnAction::Take : TurnAction::Draw;
    // While a Draw is still open, the Take question weighs it too.
    job.backToDraw = table.takeAsked && mayGoBack(table);
    job.stage = job.backToDraw ? DecisionStage::Action : stage;
    job.action = action;
    job.seed = decisionSeed(table.stored.seed, job.moves, job.stage);
    out.jobs.push_back(std::move(job));
}

// A row as typed, from 1; nothing when the text is no number.
std::optional<std::int32_t> typedRow(std::string_view text) {
    std::int32_t typed = 0;
    const char* start = text.data();
    if (!text.empty() && text.front() == '+') {
        ++start;
    }
    const auto [end, error] = std::from_chars(start, text.data() + text.size(), typed);
    if (error == std::errc::result_out_of_range) {
        return 0;
    }
    if (error != std::errc() || end == start) {
        return std::nullopt;
    }
    return typed;
}

Step answerRow(ServerTable& table, Store& store, std::string_view text, Outbox& out) {
    const TurnAction action = table.stored.drawn ? TurnAction::Draw : TurnAction::Take;
    const bool back = action == TurnAction::Take && mayGoBack(table);
    const char first = static_cast<char>(std::tolower(static_cast<unsigned char>(text.front())));
    if (back && first == 'b') {
        table.takeAsked = false;
        ask(table, out);
        return Step::Asked;
    }
    const std::optional<std::int32_t> typed = typedRow(text);
    if (!typed) {
        tellMover(table,
                  "Please type a row number " + rowsText(table) + (back ? ", B to go back" : "") +
                      " or ? for a hint.",
                  out);
        ask(table, out);
        return Step::Asked;
    }
    const std::int32_t row = *typed > 0 ? *typed - 1 : -1;
    if (!isRowValid(table.game, action, row)) {
        tellMover(table, refusalText(table.game, action, *typed), out);
        ask(table, out);
        return Step::Asked;
    }
    return playOrTell(table, store, {action, row}, out);
}

// A person's answer to the turn's questions.
Step answerTurn(ServerTable& table, Store& store, std::string_view text, Outbox& out) {
    const char first = static_cast<char>(std::tolower(static_cast<unsigned char>(text.front())));
    if (table.stored.drawn || table.takeAsked) {
        return answerRow(table, store, text, out);
    }
    // Draw-or-Take is asked only when both are possible.
    if (!isActionPossible(table.game, TurnAction::Draw) ||
        !isActionPossible(table.game, TurnAction::Take)) {
        return startPersonTurn(table, store, out);
    }
    if (first == 'd') {
        return draw(table, store, out);
    }
    if (first == 't') {
        return take(table, store, out);
    }
    tellMover(table, "Please answer D to draw, T to take a row or ? for a hint.", out);
    ask(table, out);
    return Step::Asked;
}

void answerReview(ServerTable& table, std::int32_t seat, char first, Outbox& out) {
    TableSeat& held = table.seats[static_cast<std::size_t>(seat)];
    if (first != 'y' && first != 'n') {
        offerReview(table, seat, out);
        return;
    }
    held.reviewOffered = false;
    if (first == 'n') {
        sayClosing(held.holder, out);
        return;
    }
    out.say(held.holder, "| Reviewing your decisions...");
    Job job = jobFor(table, JobKind::Review, seat, held.holder);
    job.decisions = held.decisions;
    job.history = table.history;
    job.seating = seatingFor(table, seat);
    out.jobs.push_back(std::move(job));
}

} // namespace

std::optional<ServerTable> tableOf(StoredTable stored, std::string& why) {
    ServerTable table{std::move(stored)};
    const auto players = static_cast<std::int32_t>(table.stored.seats.size());
    table.game = seededDeal(players, table.stored.seed);
    table.known = publicStateOf(table.game);
    table.seats.resize(table.stored.seats.size());
    for (std::int32_t seat = 0; seat < players; ++seat) {
        if (!isPersonSeat(table, seat)) {
            seatComputer(table, seat);
        }
    }
    for (std::size_t index = 0; index < table.stored.moves.size(); ++index) {
        const ChosenMove& move = table.stored.moves[index];
        if (table.history.over || !isRowValid(table.game, move.action, move.row)) {
            why = "move " + std::to_string(index + 1) + " is one the rules refuse";
            return std::nullopt;
        }
        const GameState before = table.game;
        const TurnPlayed played = playTurn(table.game, table.known, move);
        recordTurn(table.history, before, move, table.game, played.over);
        if (isPersonSeat(table, before.currentPlayer)) {
            addDecisions(table.seats[static_cast<std::size_t>(before.currentPlayer)].decisions,
                         before, move, table.stored.seed, index);
        }
    }
    // A drawn mark may stand only where a Draw could be made.
    if (table.stored.drawn &&
        (table.history.over || !isActionPossible(table.game, TurnAction::Draw))) {
        why = "a card is marked drawn where none can be";
        return std::nullopt;
    }
    // A game that ended just before the server stopped is shown to its
    // people when they come back, with the review they may not have seen.
    for (TableSeat& seat : table.seats) {
        seat.reviewOffered = table.history.over && !seat.decisions.empty();
    }
    return table;
}

void seatComputer(ServerTable& table, std::int32_t seat) {
    const SeatKind kind = table.stored.seats[static_cast<std::size_t>(seat)].kind;
    table.seats[static_cast<std::size_t>(seat)].bot =
        newBot(settingsOf(strengthOf(kind)), table.stored.seed, seat);
}

bool isStarted(const ServerTable& table) {
    return std::all_of(
        table.stored.seats.begin(), table.stored.seats.end(),
        [](const StoredSeat& seat) { return seat.kind != SeatKind::Person || seat.joined; });
}

bool isOver(const ServerTable& table) {
    return table.history.over;
}

bool isFree(const ServerTable& table, std::int32_t seat) {
    const StoredSeat& stored = table.stored.seats[static_cast<std::size_t>(seat)];
    return stored.kind == SeatKind::Person && !stored.joined;
}

std::string tableSummary(const ServerTable& table) {
    const Seating seating = seatingFor(table, -1);
    std::string line = table.stored.code + "  " + std::to_string(seating.players) + " players:";
    for (std::int32_t seat = 0; seat < seating.players; ++seat) {
        line += (seat == 0 ? " " : ", ") + shortSeatName(seating, seat);
    }
    return line;
}

void tellStart(ServerTable& table, Outbox& out) {
    forEachViewer(table, [&](ClientId client, std::int32_t seat, Told&) {
        const Seating seating = seatingFor(table, seat);
        std::string line = "Every seat is taken: the game begins. At the table:";
        for (std::int32_t other = 0; other < seating.players; ++other) {
            line += (other == 0 ? " " : ", ") + shortSeatName(seating, other);
        }
        for (const std::string& part : wrapped(line + '.', ", ", 80)) {
            out.say(client, "| " + part);
        }
        // The person to move sees the board with the first question.
        if (seat != table.game.currentPlayer || !isPersonSeat(table, seat)) {
            showBoard(table, client, seat, out);
        }
    });
}

void nextStep(ServerTable& table, Store& store, Outbox& out) {
    // Turns that need no answer (a Draw when no row can be taken, the only
    // row left) are played one after another until someone must decide.
    for (;;) {
        if (!isStarted(table) || isOver(table)) {
            return;
        }
        if (!isPersonSeat(table, table.game.currentPlayer)) {
            break;
        }
        if (startPersonTurn(table, store, out) == Step::Asked) {
            return;
        }
    }
    const std::int32_t seat = table.game.currentPlayer;
    if (table.thinking) {
        return;
    }
    table.thinking = true;
    Job job = jobFor(table, JobKind::Move, seat, 0);
    job.game = table.game;
    job.bot = table.seats[static_cast<std::size_t>(seat)].bot;
    // Each decision's stream comes from the deal and the moves alone, so a
    // table the server takes up again after a crash plays on as it would have.
    job.bot.random =
        seededRandom(deriveSeed(deriveSeed(table.stored.seed, 1000 + seat), job.moves));
    job.drawn = table.stored.drawn;
    out.jobs.push_back(std::move(job));
}

std::optional<std::string> answerRefusal(const ServerTable& table, std::int32_t seat) {
    if (table.seats[static_cast<std::size_t>(seat)].reviewOffered) {
        return std::nullopt;
    }
    if (!isStarted(table)) {
        return "the game has not begun: it waits for people to join";
    }
    if (isOver(table)) {
        return "the game is over";
    }
    if (table.game.currentPlayer != seat) {
        return "it is not your turn";
    }
    return std::nullopt;
}

void answer(ServerTable& table, Store& store, std::int32_t seat, std::string_view text,
            Outbox& out) {
    assert(!answerRefusal(table, seat));
    const char first = static_cast<char>(std::tolower(static_cast<unsigned char>(text.front())));
    if (table.seats[static_cast<std::size_t>(seat)].reviewOffered) {
        answerReview(table, seat, first, out);
        return;
    }
    if (first == '?') {
        hint(table, seat, table.seats[static_cast<std::size_t>(seat)].holder, out);
        return;
    }
    if (answerTurn(table, store, text, out) == Step::Played) {
        nextStep(table, store, out);
    }
}

void jobDone(ServerTable& table, Store& store, const JobResult& result, Outbox& out) {
    if (result.moves != table.stored.moves.size()) {
        return;
    }
    if (result.kind == JobKind::Review) {
        const ClientId holder = table.seats[static_cast<std::size_t>(result.seat)].holder;
        if (holder != 0) {
            sayLines(out, holder, result.lines);
            sayClosing(holder, out);
        }
        return;
    }
    if (result.kind == JobKind::Hint) {
        const ClientId holder = table.seats[static_cast<std::size_t>(result.seat)].holder;
        if (result.question == table.question && holder == result.client) {
            sayLines(out, holder, result.lines);
            ask(table, out);
        }
        return;
    }
    table.thinking = false;
    // The seat may have been given back to a person meanwhile: never so
    // today, but a move is only played by the seat's own player.
    if (isPersonSeat(table, result.seat) || table.game.currentPlayer != result.seat) {
        nextStep(table, store, out);
        return;
    }
    std::string why;
    if (!play(table, store, result.move, out, why)) {
        tellAll(table, "The server could not store a move (" + why + "); the table waits.", out);
        return;
    }
    nextStep(table, store, out);
}

void showBoard(const ServerTable& table, ClientId client, std::int32_t seat, Outbox& out) {
    sayLines(out, client, tableLines(table.game, seatingFor(table, seat), table.history.round));
}

void showTable(ServerTable& table, Store& store, ClientId client, std::int32_t seat, Outbox& out) {
    for (std::size_t index = 0; index < table.history.turns.size(); ++index) {
        out.say(client, moveLine(table, index));
    }
    Told fresh;
    Told& told =
        seat < 0 ? table.watchers[client] : table.seats[static_cast<std::size_t>(seat)].told;
    told = fresh;
    if (!isStarted(table)) {
        out.say(client, "| " + tableSummary(table));
        out.say(client, "| The game begins when every person's seat is taken.");
        return;
    }
    // The round being played, not the whole game, as a person's turn shows it.
    told.shown = table.history.turns.size();
    while (told.shown > 0 && table.history.turns[told.shown - 1].round == table.history.round) {
        --told.shown;
    }
    told.headed = table.history.round - 1;
    sayLines(out, client, newsFor(table, told, seat));
    if (isOver(table)) {
        sayLines(out, client, resultLines(table.game, seatingFor(table, seat)));
        if (seat >= 0 && table.seats[static_cast<std::size_t>(seat)].reviewOffered) {
            offerReview(table, seat, out);
        } else {
            sayClosing(client, out);
        }
        return;
    }
    const bool myTurn = seat == table.game.currentPlayer && isPersonSeat(table, seat);
    if (!myTurn) {
        showBoard(table, client, seat, out);
        return;
    }
    // The seat to move starts its turn again, as it was shown: what the
    // server knows of it is the drawn card alone.
    table.takeAsked = false;
    if (startPersonTurn(table, store, out) == Step::Played) {
        nextStep(table, store, out);
    }
}

void askAgain(ServerTable& table, std::int32_t seat, Outbox& out) {
    if (seat < 0) {
        return;
    }
    if (table.seats[static_cast<std::size_t>(seat)].reviewOffered) {
        offerReview(table, seat, out);
    } else if (!answerRefusal(table, seat) && isPersonSeat(table, seat)) {
        ask(table, out);
    }
}

std::vector<ClientId> audience(const ServerTable& table) {
    std::vector<ClientId> clients;
    for (const TableSeat& seat : table.seats) {
        if (seat.holder != 0) {
            clients.push_back(seat.holder);
        }
    }
    for (const auto& [client, told] : table.watchers) {
        clients.push_back(client);
    }
    return clients;
}

} // namespace pellaro
