#include "table_check.h"

#include "turn.h"
#include "turn_rules.h"

#include <algorithm>
#include <numeric>

namespace pellaro {

namespace {

bool inOrder(const Row& row) {
    // Slots fill from the first, so no card follows an empty slot.
    bool gap = false;
    for (const CardKind card : row.slots) {
        if (card != noCard && (gap || card < 0 || card >= cardKindCount)) {
            return false;
        }
        gap = gap || card == noCard;
    }
    return row.full == (cardsOn(row) == rowLength);
}

TableFault rowsFault(const GameState& game) {
    for (const Row& row : game.rows) {
        if (!inOrder(row)) {
            return TableFault::RowOutOfOrder;
        }
        if (row.taken && cardsOn(row) == 0) {
            return TableFault::EmptyRowTaken;
        }
    }
    return TableFault::None;
}

TableFault countsFault(const GameState& game) {
    for (const PlayerState& player : game.players) {
        if (std::ranges::any_of(player.counts, [](std::int32_t count) { return count < 0; })) {
            return TableFault::NegativePile;
        }
    }
    const auto unseen = unseenOnTable(game);
    if (std::ranges::any_of(unseen, [](std::int32_t count) { return count < 0; })) {
        return TableFault::CountedTwice;
    }
    if (std::accumulate(unseen.begin(), unseen.end(), 0) != deckSize - game.nextCard) {
        return TableFault::DrawnDisagrees;
    }
    return TableFault::None;
}

TableFault roundFault(const GameState& game) {
    const auto taken = std::ranges::count_if(game.rows, [](const Row& row) { return row.taken; });
    const auto out =
        std::ranges::count_if(game.players, [](const PlayerState& p) { return p.outOfRound; });
    if (taken != out) {
        return TableFault::TakenRowsDisagree;
    }
    // A seat still in has a row open to it: fewer rows are taken than there
    // are rows, and a row not taken allows a Draw or a Take.
    if (game.currentPlayer < 0 || game.currentPlayer >= game.numberOfPlayers ||
        game.players[game.currentPlayer].outOfRound) {
        return TableFault::SeatOutOfRound;
    }
    // Every card on the rows, taken or not, was drawn this round; the round
    // before ended the game if it left the last round's cards.
    GameState roundStart = game;
    for (const Row& row : game.rows) {
        roundStart.nextCard -= cardsOn(row);
    }
    return isLastRound(roundStart) ? TableFault::AfterTheEnd : TableFault::None;
}

} // namespace

TableFault tableFault(const GameState& game) {
    const auto players = static_cast<std::size_t>(game.numberOfPlayers);
    if (game.numberOfPlayers < minPlayers || game.numberOfPlayers > maxPlayers ||
        game.players.size() != players || game.rows.size() != players) {
        return TableFault::PlayerCount;
    }
    if (const TableFault fault = rowsFault(game); fault != TableFault::None) {
        return fault;
    }
    if (const TableFault fault = countsFault(game); fault != TableFault::None) {
        return fault;
    }
    return roundFault(game);
}

TableFault placementFault(const GameState& game, CardKind drawn) {
    if (const TableFault fault = tableFault(game); fault != TableFault::None) {
        return fault;
    }
    if (drawn < 0 || drawn >= cardKindCount || unseenOnTable(game)[drawn] == 0) {
        return TableFault::DrawnNotUnseen;
    }
    return allowedRows(game, TurnAction::Draw) == 0 ? TableFault::NoRowForDraw : TableFault::None;
}

std::string_view faultText(TableFault fault) {
    switch (fault) {
    case TableFault::None:
        return "a table a game reaches";
    case TableFault::PlayerCount:
        return "not a row and a pile for each of 2 to 5 players";
    case TableFault::RowOutOfOrder:
        return "a row whose cards do not fill its slots in order";
    case TableFault::EmptyRowTaken:
        return "an empty row taken";
    case TableFault::NegativePile:
        return "a pile of fewer than no cards";
    case TableFault::CountedTwice:
        return "more cards of a kind on the table than the deck holds";
    case TableFault::DrawnDisagrees:
        return "the cards drawn disagree with the piles and rows";
    case TableFault::TakenRowsDisagree:
        return "the rows taken disagree with the players out of the round";
    case TableFault::SeatOutOfRound:
        return "the seat to move is out of the round";
    case TableFault::AfterTheEnd:
        return "a round after the game's end";
    case TableFault::DrawnNotUnseen:
        return "the drawn card is not among the unseen";
    case TableFault::NoRowForDraw:
        return "no row takes the drawn card";
    }
    return "an unknown fault";
}

} // namespace pellaro
