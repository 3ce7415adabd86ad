#include "bot.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <vector>

// The searches as Medium and Hard played them at commit 05c9368, before flat
// Monte Carlo spent its budget by successive halving and the tree search kept
// its tree through a turn, kept only to measure the new ones against: the
// same moves from the same seeds as that commit's montecarlo and ismcts, on
// the patient playouts and with the objective, exploration and margin scale
// of that time whatever the settings say. Only the budget is read; these
// entries are fair, so the real deck order below never reaches them.
namespace {

// What both searches sought then: the margin below five players.
Objective objectiveThen(std::int32_t players) {
    return players < maxPlayers ? Objective::Margin : Objective::WinShare;
}

namespace flatSearch {

// A move to try first; a Draw chosen before its card is known has no row
// yet and goes onto a random row, as in the playouts.
struct Choice {
    TurnAction action = TurnAction::Draw;
    std::int32_t row = -1;
};

constexpr std::size_t mostChoices = maxPlayers + 1;

struct Choices {
    std::array<Choice, mostChoices> list{};
    std::int32_t count = 0;
};

// Rows that hold the same cards offer the same move: one of them is tried.
void addRows(Choices& choices, const GameState& root, TurnAction action, RowSet rows) {
    for (rows = distinctRows(root, rows); rows != 0; rows &= rows - 1) {
        choices.list[choices.count++] = Choice{action, lowestRow(rows)};
    }
}

// The start of every playout: the table as the seat sees it, with the card
// just drawn on top of the deck when there is one, and the unseen cards to
// deal below it. The clairvoyant bot gets the real deck instead, and nothing
// to deal.
struct Root {
    GameState state;
    UnseenCards unseen;
    std::int32_t dealFrom = 0;
};

Root rootOf(const SeatView& view, CardKind drawn, DeckOrder order) {
    Root root{view.table(), unseenCards(view.unseen()), view.cardsDrawn()};
    if (!order.empty()) {
        std::copy(order.begin(), order.end(), root.state.deck.begin() + root.dealFrom);
        root.unseen.count = 0;
        root.dealFrom = deckSize;
    } else if (drawn != noCard) {
        setAside(root.unseen, drawn);
        root.state.deck[root.dealFrom++] = drawn;
    }
    return root;
}

// Every choice is played on the same deals, so that the luck of the deal
// weighs on all of them alike.
std::int32_t bestChoice(Bot& bot, const SeatView& view, const Root& root, const Choices& choices) {
    if (choices.count <= 1) {
        return 0;
    }
    const BotSettings& settings = bot.settings;
    const std::int32_t deals = std::max(1, settings.budget / choices.count);
    std::array<double, mostChoices> totals{};
    for (std::int32_t round = 0; round < deals; ++round) {
        GameState dealt = root.state;
        deal(dealt, root.unseen, root.dealFrom, bot.random);
        for (std::int32_t index = 0; index < choices.count; ++index) {
            GameState state = dealt;
            const Choice& choice = choices.list[index];
            const std::int32_t row = choice.row >= 0 ? choice.row : placement(state, bot.random);
            if (!applyMove(state, choice.action, row)) {
                playOut(state, PlayoutPolicy::Patient, bot.random);
            }
            totals[index] += outcomes(state, objectiveThen(state.numberOfPlayers))[view.seat()];
        }
    }
    return static_cast<std::int32_t>(
        std::max_element(totals.begin(), totals.begin() + choices.count) - totals.begin());
}

TurnAction monteCarloAction(Bot& bot, const SeatView& view, DeckOrder order) {
    const Root root = rootOf(view, noCard, order);
    Choices choices;
    if (allowedRows(root.state, TurnAction::Draw) != 0) {
        choices.list[choices.count++] = Choice{};
    }
    addRows(choices, root.state, TurnAction::Take, allowedRows(root.state, TurnAction::Take));
    return choices.list[bestChoice(bot, view, root, choices)].action;
}

std::int32_t monteCarloRow(Bot& bot, const SeatView& view, TurnAction action, CardKind drawn,
                           DeckOrder order) {
    const Root root = rootOf(view, action == TurnAction::Draw ? drawn : noCard, order);
    Choices choices;
    addRows(choices, root.state, action, allowedRows(root.state, action));
    return choices.list[bestChoice(bot, view, root, choices)].row;
}

} // namespace flatSearch

namespace treeSearch {

// The settings every search of that time used.
struct Settings {
    PlayoutPolicy policy = PlayoutPolicy::Patient;
    double exploration = 0.4;
    double marginScale = 1.0 / 40.0;
};

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
struct Tree {
    std::vector<Node> nodes;
    std::vector<std::int32_t> path;
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

// The first child never tried, or else the one with the best upper bound
// on its mover's mean result.
std::int32_t select(const std::vector<Node>& nodes, const Node& parent, double exploration) {
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
void iterate(Tree& tree, GameState state, const UnseenCards& unseen, std::int32_t from,
             bool takesOnly, const Settings& settings, SeededRandom& random) {
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
            next = select(nodes, node, settings.exploration);
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
    const Objective objective = objectiveThen(state.numberOfPlayers);
    std::array<double, maxPlayers> results = outcomes(state, objective);
    if (objective == Objective::Margin) {
        std::transform(results.begin(), results.end(), results.begin(),
                       [&settings](double margin) { return margin * settings.marginScale; });
    }
    for (const std::int32_t visited : path) {
        Node& node = nodes[visited];
        ++node.visits;
        node.total += results[node.mover];
    }
}

// The root's most visited child after the budget's iterations.
Node search(Bot& bot, const SeatView& view, NodeKind rootKind, CardKind drawn, bool takesOnly) {
    assert(bot.settings.budget > 0);
    GameState root = view.table();
    UnseenCards unseen = unseenCards(view.unseen());
    std::int32_t from = root.nextCard;
    if (drawn != noCard) {
        setAside(unseen, drawn);
        root.deck[from++] = drawn;
    }
    if (!bot.memory.has_value()) {
        bot.memory.emplace<Tree>();
    }
    Tree& tree = std::any_cast<Tree&>(bot.memory);
    std::vector<Node>& nodes = tree.nodes;
    nodes.clear();
    nodes.push_back(Node{});
    nodes[0].kind = rootKind;
    for (std::int32_t iteration = 0; iteration < bot.settings.budget; ++iteration) {
        iterate(tree, root, unseen, from, takesOnly, Settings{}, bot.random);
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

TurnAction ismctsAction(Bot& bot, const SeatView& view, DeckOrder /*order*/) {
    const bool canDraw = view.rowsFor(TurnAction::Draw) != 0;
    const bool canTake = view.rowsFor(TurnAction::Take) != 0;
    if (canDraw != canTake) {
        return canDraw ? TurnAction::Draw : TurnAction::Take;
    }
    const Node best = search(bot, view, NodeKind::Turn, noCard, false);
    return best.kind == NodeKind::Card ? TurnAction::Draw : TurnAction::Take;
}

std::int32_t ismctsRow(Bot& bot, const SeatView& view, TurnAction action, CardKind drawn,
                       DeckOrder /*order*/) {
    // Rows that hold the same cards are one choice: with only one there is
    // nothing to search.
    const RowSet rows = distinctRows(view.table(), view.rowsFor(action));
    if (rowCount(rows) == 1) {
        return lowestRow(rows);
    }
    if (action == TurnAction::Take) {
        return search(bot, view, NodeKind::Turn, noCard, true).row;
    }
    return search(bot, view, NodeKind::Placement, drawn, false).row;
}

} // namespace treeSearch

} // namespace

extern const BotEntry monteCarloBaseline{
    "montecarlo-05c9368",
    "montecarlo as it played at commit 05c9368, kept only to measure against",
    true,
    true,
    flatSearch::monteCarloAction,
    flatSearch::monteCarloRow};
extern const BotEntry ismctsBaseline{
    "ismcts-05c9368",
    "ismcts as it played at commit 05c9368, kept only to measure against",
    true,
    true,
    treeSearch::ismctsAction,
    treeSearch::ismctsRow};
