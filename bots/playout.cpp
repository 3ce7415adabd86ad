#include "playout.h"

#include "view_rules.h"

#include <algorithm>
#include <utility>

namespace {

// No game ever draws past position 73: shuffling further would be wasted.
constexpr std::int32_t lastDrawable = 73;

// The chance, in eighths, that the patient policy takes a row rather than
// draws, by the number of cards on the fullest row it may take. Measured
// against {0, 2, 4, 8} and others, in games between searches of two and of
// five players and against the greedy bot.
constexpr std::array<std::uint64_t, rowLength + 1> takeChance = {0, 0, 1, 8};

// A random row of the set, from the high half of a random number.
std::int32_t rowFrom(RowSet rows, std::uint64_t bits) {
    const auto index = static_cast<std::int32_t>(
        ((bits >> 32U) * static_cast<std::uint64_t>(rowCount(rows))) >> 32U);
    return nthRow(rows, index);
}

// One draw from the generator serves both choices: the low bits pick the
// action, the high half the row.
PlayoutMove randomMove(const PlayoutState& state, SeededRandom& random) {
    const RowSet draws = drawRows(state);
    const RowSet takes = takeRows(state);
    const std::uint64_t bits = nextBits(random);
    const bool take = takes != 0 && (draws == 0 || (bits & 1U) != 0);
    const RowSet rows = take ? takes : draws;
    return {take ? TurnAction::Take : TurnAction::Draw, rowFrom(rows, bits)};
}

PlayoutMove patientMove(const PlayoutState& state, SeededRandom& random) {
    const RowSet draws = drawRows(state);
    const RowSet takes = takeRows(state);
    std::uint32_t fullest = 0;
    for (std::int32_t row = 0; row < state.numberOfPlayers; ++row) {
        const std::uint32_t cards = contains(takes, row) ? state.rowCards[row] : 0U;
        fullest = std::max(fullest, cards);
    }
    const std::uint64_t bits = nextBits(random);
    const bool take = takes != 0 && (draws == 0 || (bits & 7U) < takeChance[fullest]);
    const RowSet rows = take ? takes : draws;
    return {take ? TurnAction::Take : TurnAction::Draw, rowFrom(rows, bits)};
}

} // namespace

UnseenCards unseenCards(const std::array<std::int32_t, cardKindCount>& unseen) {
    UnseenCards list;
    for (int kind = 0; kind < cardKindCount; ++kind) {
        for (std::int32_t copy = 0; copy < unseen[kind]; ++copy) {
            list.cards[list.count++] = static_cast<std::uint8_t>(kind);
        }
    }
    return list;
}

void setAside(UnseenCards& unseen, CardKind card) {
    auto* const end = unseen.cards.begin() + unseen.count;
    auto* const found = std::find(unseen.cards.begin(), end, static_cast<std::uint8_t>(card));
    if (found != end) {
        *found = *(end - 1);
        --unseen.count;
    }
}

void deal(PlayoutState& state, const UnseenCards& unseen, std::int32_t from, SeededRandom& random) {
    const std::int32_t count = std::min(unseen.count, deckSize - from);
    std::copy_n(unseen.cards.begin(), count, state.deck.begin() + from);
    const std::int32_t end = from + count;
    // Fisher-Yates, stopped once every position that can be drawn is dealt.
    for (std::int32_t position = from; position < std::min(end - 1, lastDrawable + 1); ++position) {
        const std::int32_t other = position + nextBelow(random, end - position);
        std::swap(state.deck[position], state.deck[other]);
    }
}

PlayoutMove policyMove(const PlayoutState& state, PlayoutPolicy policy, SeededRandom& random) {
    switch (policy) {
    case PlayoutPolicy::Patient:
        return patientMove(state, random);
    case PlayoutPolicy::Random:
        break;
    }
    return randomMove(state, random);
}

std::int32_t placement(const PlayoutState& state, SeededRandom& random) {
    return rowFrom(drawRows(state), nextBits(random));
}

void playOut(PlayoutState& state, PlayoutPolicy policy, SeededRandom& random) {
    bool over = false;
    while (!over) {
        const PlayoutMove move = policyMove(state, policy, random);
        over = playMove(state, move.action, move.row);
    }
}

Objective objectiveAt(Objective objective, std::int32_t players) {
    if (objective != Objective::ByTableSize) {
        return objective;
    }
    return players < maxPlayers ? Objective::Margin : Objective::WinShare;
}

std::array<double, maxPlayers> outcomes(const PlayoutState& finished, Objective objective) {
    objective = objectiveAt(objective, finished.numberOfPlayers);
    std::array<std::int32_t, maxPlayers> scores{};
    std::int32_t top = -1000;
    std::int32_t second = -1000;
    std::int32_t winners = 0;
    for (std::int32_t seat = 0; seat < finished.numberOfPlayers; ++seat) {
        scores[seat] = scoreOf(finished, seat);
        if (scores[seat] > top) {
            second = top;
            top = scores[seat];
            winners = 1;
        } else {
            second = std::max(second, scores[seat]);
            winners += scores[seat] == top ? 1 : 0;
        }
    }
    std::array<double, maxPlayers> results{};
    for (std::int32_t seat = 0; seat < finished.numberOfPlayers; ++seat) {
        if (objective == Objective::Margin) {
            // The best of the others is the top score unless this seat alone holds it.
            const std::int32_t bestOther = scores[seat] == top && winners == 1 ? second : top;
            results[seat] = scores[seat] - bestOther;
        } else {
            results[seat] = scores[seat] == top ? 1.0 / winners : 0.0;
        }
    }
    return results;
}
