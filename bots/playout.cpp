#include "playout.h"

#include "../engine/results.h"

#include <algorithm>
#include <cassert>
#include <utility>

namespace pellaro {

namespace {

// No game ever draws past position 73: shuffling further would be wasted.
constexpr std::int32_t lastDrawable = 73;

// The chance, in eighths, that the patient policy takes a row rather than
// draws, by the number of cards on the fullest row it may take. Measured
// against {0, 2, 4, 8} and others, in games between searches of two and of
// five players and against the greedy bot.
constexpr std::array<std::uint64_t, rowLength + 1> takeChance = {0, 0, 1, 8};
// A fuller row never tempts less, which lets the policy skip looking at the
// rows when even the best of them could not tempt it.
static_assert(std::is_sorted(takeChance.begin(), takeChance.end()));

// The number of cards on the fullest row of the set that the patient policy
// may take: a full row is one that allows a Take and not a Draw, and only
// when there is none do the rows' second slots matter.
std::int32_t fullest(const GameState& game, RowSet takes, RowSet draws) {
    if ((takes & ~draws) != 0) {
        return rowLength;
    }
    for (RowSet rows = takes; rows != 0; rows &= rows - 1) {
        if (game.rows[lowestRow(rows)].slots[1] != noCard) {
            return 2;
        }
    }
    return takes != 0 ? 1 : 0;
}

// Whether the patient policy, with a draw of `eighth` from 0 to 7, takes
// rather than draws: as takeChance by the fullest row, but the rows' second
// slots are read only when a row of two cards could make the difference,
// which at most moves it cannot.
bool tempted(const GameState& game, RowSet takes, RowSet draws, std::uint64_t eighth) {
    if ((takes & ~draws) != 0) {
        // A full row: the chance of the fullest there is.
        return eighth < takeChance.back();
    }
    if (eighth >= takeChance[rowLength - 1]) {
        return false;
    }
    return eighth < takeChance[fullest(game, takes, draws)];
}

// A random row of the set, from the high half of a random number.
std::int32_t rowFrom(RowSet rows, std::uint64_t bits) {
    const auto index = static_cast<std::int32_t>(
        ((bits >> 32U) * static_cast<std::uint64_t>(rowCount(rows))) >> 32U);
    return nthRow(rows, index);
}

// One draw from the generator serves both choices: the low bits pick the
// action, the high half the row.
PlayoutMove randomMove(const RowChoices& choices, SeededRandom& random) {
    const auto [draws, takes] = choices;
    const std::uint64_t bits = nextBits(random);
    const bool take = takes != 0 && (draws == 0 || (bits & 1U) != 0);
    const RowSet rows = take ? takes : draws;
    return {take ? TurnAction::Take : TurnAction::Draw, rowFrom(rows, bits)};
}

PlayoutMove patientMove(const GameState& game, const RowChoices& choices, SeededRandom& random) {
    const auto [draws, takes] = choices;
    const std::uint64_t bits = nextBits(random);
    const bool take = takes != 0 && (draws == 0 || tempted(game, takes, draws, bits & 7U));
    const RowSet rows = take ? takes : draws;
    return {take ? TurnAction::Take : TurnAction::Draw, rowFrom(rows, bits)};
}

} // namespace

UnseenCards unseenCards(const std::array<std::int32_t, cardKindCount>& unseen) {
    UnseenCards list;
    for (int kind = 0; kind < cardKindCount; ++kind) {
        assert(unseen[kind] >= 0 && unseen[kind] <= deckMakeUp[kind]);
        for (std::int32_t copy = 0; copy < unseen[kind]; ++copy) {
            list.cards[list.count++] = static_cast<CardKind>(kind);
        }
    }
    return list;
}

void setAside(UnseenCards& unseen, CardKind card) {
    auto* const end = unseen.cards.begin() + unseen.count;
    auto* const found = std::find(unseen.cards.begin(), end, card);
    assert(found != end);
    *found = *(end - 1);
    --unseen.count;
}

void deal(GameState& game, const UnseenCards& unseen, std::int32_t from, SeededRandom& random) {
    assert(from >= 0 && from <= deckSize);
    const std::int32_t count = std::min(unseen.count, deckSize - from);
    std::copy_n(unseen.cards.begin(), count, game.deck.begin() + from);
    const std::int32_t end = from + count;
    // Fisher-Yates, stopped once every position that can be drawn is dealt.
    for (std::int32_t position = from; position < std::min(end - 1, lastDrawable + 1); ++position) {
        const std::int32_t other = position + nextBelow(random, end - position);
        std::swap(game.deck[position], game.deck[other]);
    }
}

RowSet distinctRows(const GameState& game, RowSet rows) {
    // Each row's cards as four bits of count per kind: equal exactly when
    // the rows hold the same cards.
    std::array<std::uint64_t, maxPlayers> holdings{};
    RowSet distinct = 0;
    for (; rows != 0; rows &= rows - 1) {
        const std::int32_t row = lowestRow(rows);
        std::uint64_t holding = 0;
        const Row& onBoard = game.rows[row];
        for (std::int32_t slot = 0; slot < cardsOn(onBoard); ++slot) {
            holding += std::uint64_t{1} << (4U * static_cast<unsigned>(onBoard.slots[slot]));
        }
        holdings[row] = holding;
        bool seen = false;
        for (RowSet earlier = distinct; earlier != 0; earlier &= earlier - 1) {
            seen = seen || holdings[lowestRow(earlier)] == holding;
        }
        if (!seen) {
            distinct |= rowBit(row);
        }
    }
    return distinct;
}

PlayoutMove policyMove(const GameState& game, const RowChoices& choices, PlayoutPolicy policy,
                       SeededRandom& random) {
    switch (policy) {
    case PlayoutPolicy::Patient:
        return patientMove(game, choices, random);
    case PlayoutPolicy::Random:
        break;
    }
    return randomMove(choices, random);
}

std::int32_t placement(const GameState& game, SeededRandom& random) {
    return rowFrom(allowedRows(game, TurnAction::Draw), nextBits(random));
}

namespace {

// One loop for each policy, so that no move asks which policy it plays.
template <PlayoutPolicy policy>
void playOutBy(GameState& game, SeededRandom& random) {
    RowChoices choices = rowChoices(game);
    bool over = false;
    while (!over) {
        const PlayoutMove move = policy == PlayoutPolicy::Patient
                                     ? patientMove(game, choices, random)
                                     : randomMove(choices, random);
        over = applyMove(game, move.action, move.row, choices);
    }
}

} // namespace

// The searches spend most of their time here: everything it calls is
// compiled into it, the engine's moves included.
[[gnu::flatten]] void playOut(GameState& game, PlayoutPolicy policy, SeededRandom& random) {
    if (policy == PlayoutPolicy::Patient) {
        playOutBy<PlayoutPolicy::Patient>(game, random);
    } else {
        playOutBy<PlayoutPolicy::Random>(game, random);
    }
}

Objective objectiveAt(Objective objective, std::int32_t players) {
    if (objective == Objective::MarginBelowFive) {
        return players < maxPlayers ? Objective::Margin : Objective::WinShare;
    }
    if (objective != Objective::ByTableSize) {
        return objective;
    }
    return players == minPlayers ? Objective::Margin : Objective::WinShare;
}

std::array<double, maxPlayers> outcomes(const GameState& finished, Objective objective) {
    objective = objectiveAt(objective, finished.numberOfPlayers);
    const Standings results = standings(finished);
    std::array<double, maxPlayers> values{};
    for (std::int32_t seat = 0; seat < finished.numberOfPlayers; ++seat) {
        values[seat] =
            objective == Objective::Margin ? margin(results, seat) : winShare(results, seat);
    }
    return values;
}

} // namespace pellaro
