#include "bot.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <vector>

namespace pellaro {

// Information-set Monte Carlo tree search with a single observer, the
// deciding seat. Every move of the game is seen by every player, so the tree
// is one of public histories: each iteration deals the unseen cards at
// random, and the card a Draw turns up leads to the branch for that card.
// Every player in the tree picks the move best for his own result. The
// budget is the number of iterations, each ending in one playout.
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

// The tree of one search, and the path of one iteration through it. Kept in
// the bot from one decision to the next, so that a search allocates only
// while it outgrows every earlier one.
// It also remembers the position of its last search, so that the row
// question of a turn goes on from the tree that the Draw-or-Take question
// grew rather than from nothing.
struct Tree {
    std::vector<Node> nodes;
    std::vector<std::int32_t> path;
    std::vector<Node> spare;
    // The log of each visit count seen at a parent, filled as counts grow.
    std::vector<double> logs;
    GameState root;
    bool reusable = false;
};

std::int32_t newChildren(std::vector<Node>& nodes, std::int32_t count) {
    const auto first = static_cast<std::int32_t>(nodes.size());
    nodes.resize(nodes.size() + static_cast<std::size_t>(count));
    return first;
}

void expand(std::vector<Node>& nodes, std::int32_t at, const GameState& state, bool takesOnly) {
    const NodeKind kind = nodes[at].kind;
    const auto mover = static_cast<std::uint8_t>(state.currentPlayer);
    if (kind == NodeKind::Card) {
        const std::int32_t first = newChildren(nodes, cardKindCount);
        for (std::int32_t card = 0; card < cardKindCount; ++card) {
            Node& child = nodes[first + card];
            child.kind = NodeKind::Placement;
            child.mover = mover;
        }
        nodes[at].firstChild = first;
        nodes[at].childCount = cardKindCount;
        return;
    }
    const RowSet draws = allowedRows(state, TurnAction::Draw);
    const RowSet takes = kind == NodeKind::Placement ? 0 : allowedRows(state, TurnAction::Take);
    const bool drawChild = kind == NodeKind::Turn && draws != 0 && !takesOnly;
    // Rows that hold the same cards offer the same move: one child for them.
    const RowSet rows = distinctRows(state, kind == NodeKind::Placement ? draws : takes);
    const std::int32_t count = rowCount(rows) + (drawChild ? 1 : 0);
    const std::int32_t first = newChildren(nodes, count);
    std::int32_t next = first;
    if (drawChild) {
        nodes[next].kind = NodeKind::Card;
        nodes[next].mover = mover;
        ++next;
    }
    for (RowSet left = rows; left != 0; left &= left - 1) {
        Node& child = nodes[next++];
        child.action = kind == NodeKind::Placement ? TurnAction::Draw : TurnAction::Take;
        child.row = static_cast<std::int8_t>(lowestRow(left));
        child.mover = mover;
    }
    nodes[at].firstChild = first;
    nodes[at].childCount = static_cast<std::uint8_t>(count);
}

// The natural log of a parent's visits, at least one, looked up: every
// step down the tree asks, and a search's counts are few.
double logOfVisits(std::vector<double>& logs, std::int32_t visits) {
    const auto count = static_cast<std::size_t>(std::max(visits, 1));
    while (logs.size() <= count) {
        logs.push_back(std::log(static_cast<double>(std::max<std::size_t>(logs.size(), 1))));
    }
    return logs[count];
}

// The first child never tried, or else the one with the best upper bound
// on its mover's mean result.
std::int32_t select(const std::vector<Node>& nodes, const Node& parent, double exploration,
                    double logVisits) {
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
void iterate(Tree& tree, GameState state, const UnseenCards& unseen, std::int32_t from,
             bool takesOnly, const BotSettings& settings, SeededRandom& random) {
    std::vector<Node>& nodes = tree.nodes;
    std::vector<std::int32_t>& path = tree.path;
    deal(state, unseen, from, random);
    path.clear();
    path.push_back(0);
    std::int32_t at = 0;
    bool over = false;
    bool drawPending = nodes[0].kind == NodeKind::Placement;
    while (!over) {
        if (nodes[at].firstChild < 0) {
            expand(nodes, at, state, takesOnly && at == 0);
        }
        const Node& node = nodes[at];
        std::int32_t next = 0;
        if (node.kind == NodeKind::Card) {
            next = node.firstChild + state.deck[state.nextCard];
        } else {
            next = select(nodes, node, settings.exploration, logOfVisits(tree.logs, node.visits));
            const Node& child = nodes[next];
            if (child.kind == NodeKind::Card) {
                drawPending = true;
            } else {
                over = applyMove(state, child.action, child.row);
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
            over = applyMove(state, TurnAction::Draw, placement(state, random));
        }
        if (!over) {
            playOut(state, settings.policy, random);
        }
    }
    std::array<double, maxPlayers> results = outcomes(state, settings.objective);
    if (objectiveAt(settings.objective, state.numberOfPlayers) == Objective::Margin) {
        std::transform(results.begin(), results.end(), results.begin(),
                       [&settings](double margin) { return margin * settings.marginScale; });
    }
    for (const std::int32_t visited : path) {
        Node& node = nodes[visited];
        ++node.visits;
        node.total += results[node.mover];
    }
}

// The table as the seat sees it, with the card just drawn on top of the deck
// when there is one, and the unseen cards to deal below it.
struct Start {
    GameState state;
    UnseenCards unseen;
    std::int32_t from = 0;
};

Start startOf(const SeatView& view, CardKind drawn) {
    Start start{view.table(), unseenCards(view.unseen()), view.cardsDrawn()};
    if (drawn != noCard) {
        setAside(start.unseen, drawn);
        start.state.deck[start.from++] = drawn;
    }
    return start;
}

Tree& treeOf(Bot& bot) {
    if (!bot.memory.has_value()) {
        bot.memory.emplace<Tree>();
    }
    return std::any_cast<Tree&>(bot.memory);
}

// Everything a search may know of a position is on the table: the same
// table is the same position.
bool sameTable(const GameState& a, const GameState& b) {
    if (a.numberOfPlayers != b.numberOfPlayers || a.currentPlayer != b.currentPlayer ||
        a.nextCard != b.nextCard) {
        return false;
    }
    for (std::int32_t seat = 0; seat < a.numberOfPlayers; ++seat) {
        const Row& rowA = a.rows[seat];
        const Row& rowB = b.rows[seat];
        if (a.players[seat].outOfRound != b.players[seat].outOfRound ||
            a.players[seat].counts != b.players[seat].counts || rowA.full != rowB.full ||
            rowA.taken != rowB.taken || rowA.slots != rowB.slots) {
            return false;
        }
    }
    return true;
}

void grow(Bot& bot, Tree& tree, const Start& start, bool takesOnly, std::int32_t iterations) {
    for (std::int32_t iteration = 0; iteration < iterations; ++iteration) {
        iterate(tree, start.state, start.unseen, start.from, takesOnly, bot.settings, bot.random);
    }
}

// A fresh tree of one node of that kind, grown by the budget's iterations.
void search(Bot& bot, Tree& tree, const Start& start, NodeKind rootKind, bool takesOnly) {
    assert(bot.settings.budget > 0);
    tree.nodes.clear();
    tree.nodes.push_back(Node{});
    tree.nodes[0].kind = rootKind;
    grow(bot, tree, start, takesOnly, bot.settings.budget);
}

// The root's most visited child of those that pass the test; ties go to a
// random one of them, or the first. Nothing when none of them was visited.
template <typename Test>
std::int32_t mostVisited(Bot& bot, const std::vector<Node>& nodes, Test test) {
    const Node& top = nodes[0];
    std::int32_t best = -1;
    std::int32_t tied = 0;
    for (std::int32_t child = top.firstChild; child < top.firstChild + top.childCount; ++child) {
        const Node& node = nodes[child];
        if (!test(node) || node.visits == 0) {
            continue;
        }
        if (best < 0 || node.visits > nodes[best].visits) {
            best = child;
            tied = 1;
        } else if (node.visits == nodes[best].visits && bot.settings.ties == Ties::Random &&
                   nextBelow(bot.random, ++tied) == 0) {
            best = child;
        }
    }
    return best;
}

// Makes the node the root, keeping the subtree below it and dropping the rest.
void reroot(Tree& tree, std::int32_t at) {
    std::vector<Node>& kept = tree.spare;
    kept.clear();
    kept.push_back(tree.nodes[at]);
    for (std::size_t index = 0; index < kept.size(); ++index) {
        const Node node = kept[index];
        if (node.firstChild < 0) {
            continue;
        }
        kept[index].firstChild = static_cast<std::int32_t>(kept.size());
        kept.insert(kept.end(), tree.nodes.begin() + node.firstChild,
                    tree.nodes.begin() + node.firstChild + node.childCount);
    }
    tree.nodes.swap(kept);
}

// The share of the budget that a Draw's placement searches on top of what the
// Draw-or-Take search already grew below the drawn card.
constexpr std::int32_t placementShare = 1;

TurnAction ismctsAction(Bot& bot, const SeatView& view, DeckOrder /*order*/) {
    Tree& tree = treeOf(bot);
    tree.reusable = false;
    const bool canDraw = view.rowsFor(TurnAction::Draw) != 0;
    const bool canTake = view.rowsFor(TurnAction::Take) != 0;
    if (canDraw != canTake) {
        return canDraw ? TurnAction::Draw : TurnAction::Take;
    }
    const Start start = startOf(view, noCard);
    search(bot, tree, start, NodeKind::Turn, false);
    tree.root = start.state;
    tree.reusable = true;
    const std::int32_t best = mostVisited(bot, tree.nodes, [](const Node&) { return true; });
    return tree.nodes[best].kind == NodeKind::Card ? TurnAction::Draw : TurnAction::Take;
}

std::int32_t ismctsRow(Bot& bot, const SeatView& view, TurnAction action, CardKind drawn,
                       DeckOrder /*order*/) {
    Tree& tree = treeOf(bot);
    const bool reuse = bot.settings.reuse && tree.reusable && sameTable(tree.root, view.table());
    tree.reusable = false;
    // Rows that hold the same cards are one choice: with only one there is
    // nothing to search.
    const RowSet rows = distinctRows(view.table(), view.rowsFor(action));
    if (rowCount(rows) == 1) {
        return lowestRow(rows);
    }
    const Start start = startOf(view, action == TurnAction::Draw ? drawn : noCard);
    const auto isTake = [](const Node& node) { return node.kind == NodeKind::Turn; };
    if (action == TurnAction::Take) {
        // The Draw-or-Take search weighed every row to take already.
        std::int32_t best = reuse ? mostVisited(bot, tree.nodes, isTake) : -1;
        if (best < 0) {
            search(bot, tree, start, NodeKind::Turn, true);
            best = mostVisited(bot, tree.nodes, isTake);
        }
        return tree.nodes[best].row;
    }
    // Below the Draw lies a branch for each card; the drawn card's becomes
    // the root, and the search goes on from it.
    std::int32_t drawNode = reuse ? tree.nodes[0].firstChild : -1;
    if (drawNode >= 0 && tree.nodes[drawNode].kind == NodeKind::Card &&
        tree.nodes[drawNode].firstChild >= 0) {
        reroot(tree, tree.nodes[drawNode].firstChild + drawn);
        grow(bot, tree, start, false, std::max(1, bot.settings.budget / placementShare));
    } else {
        search(bot, tree, start, NodeKind::Placement, false);
    }
    if (tree.nodes[0].firstChild < 0) {
        grow(bot, tree, start, false, 1);
    }
    const std::int32_t best = mostVisited(bot, tree.nodes, [](const Node&) { return true; });
    return tree.nodes[best].row;
}

// Every setting but flat Monte Carlo's allocation.
constexpr SettingSet treeReads = settingBit(Setting::Budget) | settingBit(Setting::Exploration) |
                                 settingBit(Setting::Scale) | settingBit(Setting::Objective) |
                                 settingBit(Setting::Playouts) | settingBit(Setting::Reuse) |
                                 settingBit(Setting::Ties) | settingBit(Setting::Stream);

} // namespace

extern const BotEntry ismctsBot{
    "ismcts", "information-set Monte Carlo tree search", true, true, ismctsAction, ismctsRow,
    treeReads};

} // namespace pellaro
