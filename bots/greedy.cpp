#include "../engine/scoring.h"
#include "bot.h"

#include <algorithm>
#include <any>
#include <array>
#include <numeric>

namespace pellaro {

// A one-move heuristic: weighs what each row is worth to the seat's pile now
// against what drawing may bring, and places a drawn card where it helps the
// seat most and the next player least.
namespace {

// How the heuristic weighs its terms. The rival is the next player still in
// the round: the first who may take a row after the seat, and the first to
// see what the seat left on the board.
struct GreedyWeights {
    // Share of what a row is worth to the rival that counts for taking it
    // from him, spread over all the other players of the game.
    double denial = 0.5;
    // Share of what a drawn card adds to a row for the rival that counts
    // against placing it there.
    double spite = 0.5;
    // How likely the row the seat wants is to survive the rival's turn.
    double patience = 0.9;
};

constexpr std::int32_t noSeat = -1;
// Worth less than any row: stands for a row that is not there.
constexpr std::int32_t noRow = -1000;

// The two piles that matter to a move, ready for scoring with a row added:
// the seat's own and the rival's, if anybody else is still in the round.
struct Table {
    const SeatView* view = nullptr;
    RowChoices choices;
    std::array<std::int32_t, cardKindCount> unseen{};
    std::int32_t me = 0;
    std::int32_t rival = noSeat;
    std::array<PileTally, 2> tallies{};
    // The piles' scores now, for gains that are weighed against each other
    // across piles; choosing a row alone compares gains of the same piles,
    // for which the scores now are left at zero.
    std::array<std::int32_t, 2> base{};
};

enum class Gains : std::uint8_t { Compared, Absolute };

constexpr std::size_t mine = 0;
constexpr std::size_t rivals = 1;

PileTally tallyOf(const PlayerState& player) {
    return pileTally(player.counts);
}

Table tableOf(const SeatView& view, const RowChoices& choices, Gains gains) {
    Table table;
    table.view = &view;
    table.choices = choices;
    table.me = view.seat();
    table.tallies[mine] = tallyOf(view.players()[table.me]);
    const std::int32_t next = view.nextSeat();
    if (next != table.me) {
        table.rival = next;
        table.tallies[rivals] = tallyOf(view.players()[table.rival]);
    }
    if (gains == Gains::Absolute) {
        table.unseen = view.unseen();
        table.base[mine] = tallyScore(table.tallies[mine]);
        table.base[rivals] = table.rival == noSeat ? 0 : tallyScore(table.tallies[rivals]);
    }
    return table;
}

// The pile with the row's cards added, ready for one more card.
PileTally withRow(const Table& table, std::size_t pile, std::int32_t row) {
    PileTally tally = table.tallies[pile];
    for (const CardKind card : table.view->rows()[row].slots) {
        if (card == noCard) {
            break;
        }
        addCard(tally, card);
    }
    return tally;
}

RowSet firstRow(RowSet rows) {
    return rows & (~rows + 1);
}

// What the card would add to the row's worth for the pile.
std::int32_t cardWorth(const Table& table, std::size_t pile, std::int32_t row, CardKind card) {
    PileTally tally = withRow(table, pile, row);
    const std::int32_t before = tallyScore(tally);
    addCard(tally, card);
    return tallyScore(tally) - before;
}

// The rows that differ: every row with cards, and one empty row for all of
// them, since empty rows are alike.
RowSet distinctRows(RowSet rows, const RowChoices& choices) {
    return (rows & choices.takes) | firstRow(rows & ~choices.takes);
}

// The scores of the two piles with each row taken, by row.
using RowScores = std::array<std::array<std::int32_t, maxPlayers>, 2>;

// What taking the row is worth to the seat: its own gain, and a share of
// what it denies the rival.
double takeValue(const Table& table, double denial, const RowScores& scores, std::int32_t row) {
    double value = scores[mine][row] - table.base[mine];
    if (table.rival != noSeat) {
        value += denial * (scores[rivals][row] - table.base[rivals]);
    }
    return value;
}

// The row worth most to take, the lowest of equals, from the piles' scores
// with each row taken: as takeOutlook finds it.
std::int32_t bestTake(const Table& table, const GreedyWeights& weights, const RowScores& scores) {
    const double denial = weights.denial / (table.view->numberOfPlayers() - 1);
    std::int32_t best = -1;
    double bestValue = 0.0;
    for (RowSet rows = table.choices.takes; rows != 0; rows &= rows - 1) {
        const std::int32_t row = std::countr_zero(rows);
        const double value = takeValue(table, denial, scores, row);
        if (best < 0 || value > bestValue) {
            best = row;
            bestValue = value;
        }
    }
    return best;
}

struct TakeOutlook {
    RowScores scores{};
    std::int32_t bestRow = -1;
    double bestValue = 0.0;
    // The rows' worth to the seat's own pile: the best, which row it is, and
    // the second best.
    std::int32_t standingRow = -1;
    std::int32_t standing = noRow;
    std::int32_t runnerUp = noRow;
    // Of the rows that still take a card, the one worth most to the seat.
    std::int32_t bestOpenRow = -1;
};

TakeOutlook takeOutlook(const Table& table, const GreedyWeights& weights) {
    TakeOutlook outlook;
    const double denial = weights.denial / (table.view->numberOfPlayers() - 1);
    std::int32_t ownOfBestOpen = noRow;
    for (RowSet rows = table.choices.takes; rows != 0; rows &= rows - 1) {
        const std::int32_t row = std::countr_zero(rows);
        outlook.scores[mine][row] = tallyScore(withRow(table, mine, row));
        if (table.rival != noSeat) {
            outlook.scores[rivals][row] = tallyScore(withRow(table, rivals, row));
        }
        const double value = takeValue(table, denial, outlook.scores, row);
        if (outlook.bestRow < 0 || value > outlook.bestValue) {
            outlook.bestValue = value;
            outlook.bestRow = row;
        }
        const std::int32_t own = outlook.scores[mine][row] - table.base[mine];
        if (((table.choices.draws >> static_cast<unsigned>(row)) & 1U) != 0 &&
            (outlook.bestOpenRow < 0 || own > ownOfBestOpen)) {
            outlook.bestOpenRow = row;
            ownOfBestOpen = own;
        }
        if (outlook.standingRow < 0 || own > outlook.standing) {
            outlook.runnerUp = outlook.standing;
            outlook.standing = own;
            outlook.standingRow = row;
        } else {
            outlook.runnerUp = std::max(outlook.runnerUp, own);
        }
    }
    return outlook;
}

// The seat's total gain, over all the unseen cards, from the best of taking
// the row with one more card on it or taking the best other row. Colours of
// equal size in the pile change its score alike, so each size is scored once
// for all its colours.
double totalGainWithCard(const Table& table, std::int32_t row, std::int32_t otherRows) {
    const auto& unseen = table.unseen;
    const PileTally tally = withRow(table, mine, row);
    std::array<std::int32_t, 10> cardsOfSize{};
    std::array<std::uint8_t, 10> colourOfSize{};
    std::uint32_t sizes = 0;
    for (std::int32_t colour = 0; colour < colourCount; ++colour) {
        const std::int32_t size = tally.counts[colour];
        cardsOfSize[size] += unseen[colour];
        colourOfSize[size] = static_cast<std::uint8_t>(colour);
        sizes |= 1U << static_cast<unsigned>(size);
    }
    const std::int32_t base = table.base[mine];
    double total = 0.0;
    for (; sizes != 0; sizes &= sizes - 1) {
        const int size = std::countr_zero(sizes);
        PileTally more = tally;
        addCard(more, colourOfSize[size]);
        total +=
            static_cast<double>(cardsOfSize[size]) * std::max(otherRows, tallyScore(more) - base);
    }
    if (unseen[Wild] > 0) {
        PileTally more = tally;
        addCard(more, Wild);
        total += static_cast<double>(unseen[Wild]) * std::max(otherRows, tallyScore(more) - base);
    }
    const std::int32_t withPlusTwo = tallyScore(tally) - base + 2;
    return total + static_cast<double>(unseen[PlusTwo]) * std::max(otherRows, withPlusTwo);
}

// What staying in is worth: the best row for the seat once the next card
// lies where it suits the seat best, judged on average over the unseen
// cards, if the rival leaves that row for the seat to take.
double drawValue(const Table& table, const TakeOutlook& outlook, const GreedyWeights& weights) {
    const std::int32_t cards = std::accumulate(table.unseen.begin(), table.unseen.end(), 0);
    if (cards == 0) {
        return outlook.standing;
    }
    // The card would go either onto an empty row or onto the row with cards
    // that is worth most to the seat already; other rows are not weighed.
    RowSet looked = firstRow(table.choices.draws & ~table.choices.takes);
    if (outlook.bestOpenRow >= 0) {
        looked |= RowSet{1} << static_cast<unsigned>(outlook.bestOpenRow);
    }
    double best = noRow;
    for (RowSet rows = looked; rows != 0; rows &= rows - 1) {
        const std::int32_t row = std::countr_zero(rows);
        const std::int32_t otherRows =
            row == outlook.standingRow ? outlook.runnerUp : outlook.standing;
        best = std::max(best, totalGainWithCard(table, row, otherRows));
    }
    const double survival = table.rival != noSeat ? weights.patience : 1.0;
    return survival * best / cards;
}

std::int32_t bestPlacement(const Table& table, CardKind drawn, const GreedyWeights& weights) {
    std::int32_t best = -1;
    double bestValue = 0.0;
    for (RowSet rows = distinctRows(table.choices.draws, table.choices); rows != 0;
         rows &= rows - 1) {
        const std::int32_t row = std::countr_zero(rows);
        double value = cardWorth(table, mine, row, drawn);
        if (table.rival != noSeat) {
            value -= weights.spite * cardWorth(table, rivals, row, drawn);
        }
        if (best < 0 || value > bestValue) {
            bestValue = value;
            best = row;
        }
    }
    return best;
}

// What weighing the action leaves for the row question of the same turn, so
// that the rows are not weighed twice: the table, with its scores now set
// to zero as the row question leaves them, and the piles' scores with each
// row taken.
struct LastTurn {
    // The turn it was weighed for: the view, on the same game, before any
    // move. Every move draws a card or passes the turn to another seat.
    const SeatView* view = nullptr;
    const PlayerList* players = nullptr;
    std::int32_t cardsDrawn = -1;
    std::int32_t seat = -1;
    Table table;
    RowScores scores{};
};

LastTurn& lastTurnOf(Bot& bot) {
    if (!bot.memory.has_value()) {
        bot.memory.emplace<LastTurn>();
    }
    return std::any_cast<LastTurn&>(bot.memory);
}

// The table the action weighed for this very turn, taken once; nothing when
// there is none.
const LastTurn* takeLastTurn(Bot& bot, const SeatView& view) {
    auto* last = std::any_cast<LastTurn>(&bot.memory);
    if (last == nullptr || last->view != &view || last->players != &view.players() ||
        last->cardsDrawn != view.cardsDrawn() || last->seat != view.seat()) {
        return nullptr;
    }
    last->view = nullptr;
    return last;
}

[[gnu::flatten]] TurnAction greedyAction(Bot& bot, const SeatView& view, DeckOrder /*order*/) {
    const GreedyWeights weights;
    const RowChoices choices = view.choices();
    if (choices.takes == 0) {
        return TurnAction::Draw;
    }
    if (choices.draws == 0) {
        return TurnAction::Take;
    }
    Table table = tableOf(view, choices, Gains::Absolute);
    const TakeOutlook outlook = takeOutlook(table, weights);
    const bool take = outlook.bestValue >= drawValue(table, outlook, weights);
    // Weighed on a table of its own rather than the kept one, which the
    // compiler could not keep in registers.
    LastTurn& last = lastTurnOf(bot);
    last.table = table;
    last.view = &view;
    last.players = &view.players();
    last.cardsDrawn = view.cardsDrawn();
    last.seat = view.seat();
    last.table.base = {};
    last.scores = outlook.scores;
    return take ? TurnAction::Take : TurnAction::Draw;
}

[[gnu::flatten]] std::int32_t greedyRow(Bot& bot, const SeatView& view, TurnAction action,
                                        CardKind drawn, DeckOrder /*order*/) {
    const GreedyWeights weights;
    const RowChoices choices = view.choices();
    const LastTurn* last = takeLastTurn(bot, view);
    // With one row to choose from, or rows all alike, there is nothing to weigh.
    const RowSet rows =
        action == TurnAction::Take ? choices.takes : distinctRows(choices.draws, choices);
    if (rowCount(rows) == 1) {
        return lowestRow(rows);
    }
    if (last != nullptr) {
        return action == TurnAction::Take ? bestTake(last->table, weights, last->scores)
                                          : bestPlacement(last->table, drawn, weights);
    }
    const Table table = tableOf(view, choices, Gains::Compared);
    if (action == TurnAction::Take) {
        return takeOutlook(table, weights).bestRow;
    }
    return bestPlacement(table, drawn, weights);
}

} // namespace

extern const BotEntry greedyBot{
    "greedy", "a one-move heuristic on the real scoring", true, false, greedyAction, greedyRow};

} // namespace pellaro
