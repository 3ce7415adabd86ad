#include "program_bot.h"

#include <cassert>
#include <vector>

namespace pellaro {

namespace {

void checkMove(const SeatView& view, TurnAction action, std::int32_t row) {
    if (view.rowsFor(action) == 0) {
        throw BotFailure(std::string("chose to ") + (action == TurnAction::Draw ? "draw" : "take") +
                         ", which no row allows");
    }
    if (row >= 0 && !contains(view.rowsFor(action), row)) {
        throw BotFailure("chose row " + std::to_string(row + 1) + ", which does not allow " +
                         (action == TurnAction::Draw ? "the drawn card" : "a Take"));
    }
}

// The reply read and checked; the program is stopped at any fault.
BotReply checkedReply(const Bot& bot, const SeatView& view, std::string_view line,
                      RequestKind kind) {
    const std::string& command = bot.settings.command;
    const auto reply = parseReply(line, kind);
    if (!reply) {
        dropBotProcess(command);
        throw BotFailure("wrote " + quoted(line) + ", which is not " +
                         (kind == RequestKind::Move ? "D, or T and a row" : "a row"));
    }
    try {
        checkMove(view, kind == RequestKind::Move ? reply->action : TurnAction::Draw, reply->row);
    } catch (const BotFailure&) {
        dropBotProcess(command);
        throw;
    }
    return *reply;
}

std::string askOne(const Bot& bot, const std::string& request) {
    std::vector<std::string> replies;
    try {
        botProcessFor(bot.settings.command).exchange(request, 1, replies);
    } catch (const BotFailure&) {
        dropBotProcess(bot.settings.command);
        throw;
    }
    return replies.front();
}

} // namespace

void appendMoveRequest(std::string& out, std::uint64_t seed, const SeatView& view) {
    appendRequest(out, RequestKind::Move, seed, view, noCard);
}

void appendPlaceRequest(std::string& out, std::uint64_t seed, const SeatView& view,
                        CardKind drawn) {
    appendRequest(out, RequestKind::Place, seed, view, drawn);
}

ChosenMove readMoveReply(const Bot& bot, const SeatView& view, std::string_view reply) {
    const BotReply move = checkedReply(bot, view, reply, RequestKind::Move);
    return ChosenMove{move.action, move.row};
}

std::int32_t readPlaceReply(const Bot& bot, const SeatView& view, std::string_view reply) {
    return checkedReply(bot, view, reply, RequestKind::Place).row;
}

ChosenMove askProgram(const Bot& bot, const GameState& game, const RequestKey& key,
                      std::uint64_t gameNumber, std::uint64_t turn) {
    assert(isProgram(bot.settings));
    const SeatView view(game);
    const std::int32_t seat = game.currentPlayer;
    std::string request;
    appendMoveRequest(request, requestSeed(key, gameNumber, seat, 2 * turn), view);
    ChosenMove move = readMoveReply(bot, view, askOne(bot, request));
    if (move.action == TurnAction::Draw) {
        request.clear();
        appendPlaceRequest(request, requestSeed(key, gameNumber, seat, 2 * turn + 1), view,
                           topCard(game));
        move.row = readPlaceReply(bot, view, askOne(bot, request));
    }
    return move;
}

} // namespace pellaro
