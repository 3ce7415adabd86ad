#include "ismcts.h"

#include "playout.h"
#include "view_rules.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <vector>

namespace {

enum class NodeKind : std::uint8_t {
    // The player to move chooses Draw or the row to take.
    Turn,
    // A Draw has been chosen; the deal decides the card.
    Card,
    // The drawn card is known; the player chooses its row.
    Placement,
};

struct Node {
    // The children are created all at once, the first time a search goes on
    // through the node rather than stopping at it.
    std::int32_t firstChild = -1;
    std::uint8_t childCount = 0;
    NodeKind kind = NodeKind::Turn;
    // The move that leads here and the seat that made it, whose result the
    // totals keep. A child of a Card node stands for its card instead.
    TurnAction action = TurnAction::Draw;
    std::int8_t row = -1;
    std::uint8_t mover = 0;
    std::int32_t visits = 0;
    double total = 0.0;
};

// Results in margins are spread far wider than shares of a win. Against
// flat Monte Carlo at 1000 playouts a decision, exploration constants from
// 0.2 to 0.8 played alike; 0.4 did best with less patient playouts.
constexpr double marginScale = 1.0 / 40.0;
constexpr double exploration = 0.4;

// The tree's nodes, kept from one decision to the next so that a search
// allocates only while it outgrows every earlier one.
thread_local std::vector<Node> nodes;

std::int32_t newChildren(std::int32_t count) {
    const auto first = static_cast<std::int32_t>(nodes.size());
    nodes.resize(nodes.size() + static_cast<std::size_t>(count));
    return first;
}

void expand(std::int32_t at, const PlayoutState& state, bool takesOnly) {
    const NodeKind kind = nodes[at].kind;
    const auto mover = static_cast<std::uint8_t>(state.currentPlayer);
    if (kind == NodeKind::Card) {
        const std::int32_t first = newChildren(cardKindCount);
        for (std::int32_t card = 0; card < cardKindCount; ++card) {
            Node& child = nodes[first + card];
            child.kind = NodeKind::Placement;
            child.mover = mover;
        }
        nodes[at].firstChild = first;
        nodes[at].childCount = cardKindCount;
        return;
    }
    const RowSet draws = drawRows(state);
    const RowSet takes = kind == NodeKind::Placement ? 0 : takeRows(state);
    const bool drawChild = kind == NodeKind::Turn && draws != 0 && !takesOnly;
    // Rows that hold the same cards offer the same move: one child for them.
    const RowSet rows = distinctRows(state, kind == NodeKind::Placement ? draws : takes);
    const std::int32_t count = rowCount(rows) + (drawChild ? 1 : 0);
    const std::int32_t first = newChildren(count);
    std::int32_t next = first;
    if (drawChild) {
        nodes[next].kind = NodeKind::Card;
        nodes[next].mover = mover;
        ++next;
    }
    for (RowSet left = rows; left != 0; left &= left - 1) {
        Node& child = nodes[next++];
        child.action = kind == NodeKind::Placement ? TurnAction::Draw : TurnAction::Take;
        child.row = static_cast<std::int8_t>(std::countr_zero(left));
        child.mover = mover;
    }
    nodes[at].firstChild = first;
    nodes[at].childCount = static_cast<std::uint8_t>(count);
}

// The first child never tried, or else the one with the best upper bound
// on its mover's mean result.
std::int32_t select(const Node& parent) {
    const double logVisits = std::log(static_cast<double>(std::max(parent.visits, 1)));
    std::int32_t best = parent.firstChild;
    double bestBound = -1e300;
    for (std::int32_t child = parent.firstChild; child < parent.firstChild + parent.childCount;
         ++child) {
        const Node& node = nodes[child];
        if (node.visits == 0) {
            return child;
        }
        const double bound =
            node.total / node.visits + exploration * std::sqrt(logVisits / node.visits);
        if (bound > bestBound) {
            bestBound = bound;
            best = child;
        }
    }
    return best;
}

// One iteration: down the tree on a fresh deal, one new node, a playout,
// and the results back up the path.
void iterate(PlayoutState state, const UnseenCards& unseen, std::int32_t from, bool takesOnly,
             const BotSettings& settings, SeededRandom& random, std::vector<std::int32_t>& path) {
    deal(state, unseen, from, random);
    path.clear();
    path.push_back(0);
    std::int32_t at = 0;
    bool over = false;
    bool drawPending = nodes[0].kind == NodeKind::Placement;
    while (!over) {
        if (nodes[at].firstChild < 0) {
            expand(at, state, takesOnly && at == 0);
        }
        const Node& node = nodes[at];
        std::int32_t next = 0;
        if (node.kind == NodeKind::Card) {
            next = node.firstChild + state.deck[state.nextCard];
        } else {
            next = select(node);
            const Node& child = nodes[next];
            if (child.kind == NodeKind::Card) {
                drawPending = true;
            } else {
                over = playMove(state, child.action, child.row);
                drawPending = false;
            }
        }
        path.push_back(next);
        at = next;
        if (nodes[at].visits == 0) {
            break;
        }
    }
    if (!over) {
        if (drawPending) {
            over = playMove(state, TurnAction::Draw, placement(state, random));
        }
        if (!over) {
            playOut(state, settings.policy, random);
        }
    }
    std::array<double, maxPlayers> results = outcomes(state, settings.objective);
    if (objectiveAt(settings.objective, state.numberOfPlayers) == Objective::Margin) {
        std::transform(results.begin(), results.end(), results.begin(),
                       [](double margin) { return margin * marginScale; });
    }
    for (const std::int32_t visited : path) {
        Node& node = nodes[visited];
        ++node.visits;
        node.total += results[node.mover];
    }
}

// The root's most visited child after the budget's iterations.
Node search(Bot& bot, const SeatView& view, NodeKind rootKind, CardKind drawn, bool takesOnly) {
    PlayoutState root = playoutState(view);
    UnseenCards unseen = unseenCards(view.unseen);
    std::int32_t from = root.nextCard;
    if (drawn != noCard) {
        setAside(unseen, drawn);
        root.deck[from++] = static_cast<std::uint8_t>(drawn);
    }
    nodes.clear();
    nodes.push_back(Node{});
    nodes[0].kind = rootKind;
    thread_local std::vector<std::int32_t> path;
    for (std::int32_t iteration = 0; iteration < std::max(1, bot.settings.budget); ++iteration) {
        iterate(root, unseen, from, takesOnly, bot.settings, bot.random, path);
    }
    const Node& top = nodes[0];
    std::int32_t best = top.firstChild;
    for (std::int32_t child = top.firstChild; child < top.firstChild + top.childCount; ++child) {
        if (nodes[child].visits > nodes[best].visits) {
            best = child;
        }
    }
    return nodes[best];
}

} // namespace

TurnAction ismctsAction(Bot& bot, const SeatView& view) {
    const bool canDraw = allowedRows(view, TurnAction::Draw) != 0;
    const bool canTake = allowedRows(view, TurnAction::Take) != 0;
    if (canDraw != canTake) {
        return canDraw ? TurnAction::Draw : TurnAction::Take;
    }
    const Node best = search(bot, view, NodeKind::Turn, noCard, false);
    return best.kind == NodeKind::Card ? TurnAction::Draw : TurnAction::Take;
}

std::int32_t ismctsRow(Bot& bot, const SeatView& view, TurnAction action, CardKind drawn) {
    // Rows that hold the same cards are one choice: with only one there is
    // nothing to search.
    const RowSet rows = distinctRows(playoutState(view), allowedRows(view, action));
    if (rowCount(rows) == 1) {
        return std::countr_zero(rows);
    }
    if (action == TurnAction::Take) {
        return search(bot, view, NodeKind::Turn, noCard, true).row;
    }
    return search(bot, view, NodeKind::Placement, drawn, false).row;
}
