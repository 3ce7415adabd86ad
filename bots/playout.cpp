#include "playout.h"

#include "view_rules.h"

#include <algorithm>
#include <utility>

namespace {

// No game ever draws past position 73: shuffling further would be wasted.
constexpr std::int32_t lastDrawable = 73;

// A row worth this much to the eager policy's pile is taken at once.
constexpr std::int32_t eagerTakeAt = 3;

PlayoutMove randomMove(const PlayoutState& state, SeededRandom& random) {
    const RowSet draws = drawRows(state);
    const RowSet takes = takeRows(state);
    // One draw from the generator serves both choices: the low bit picks the
    // action, the high half the row.
    const std::uint64_t bits = nextBits(random);
    const bool take = takes != 0 && (draws == 0 || (bits & 1U) != 0);
    const RowSet rows = take ? takes : draws;
    const auto index = static_cast<std::int32_t>(
        ((bits >> 32U) * static_cast<std::uint64_t>(rowCount(rows))) >> 32U);
    return {take ? TurnAction::Take : TurnAction::Draw, nthRow(rows, index)};
}

PileCounts withRow(PileCounts pile, const PlayoutState& state, std::int32_t row) {
    for (std::int32_t slot = 0; slot < state.rowCards[row]; ++slot) {
        ++pile[state.slots[row][slot]];
    }
    return pile;
}

std::int32_t eagerPlacement(const PlayoutState& state) {
    const PileCounts& pile = state.piles[state.currentPlayer];
    const std::uint8_t card = state.deck[state.nextCard];
    std::int32_t best = 0;
    std::int32_t bestGain = -1000;
    for (RowSet rows = drawRows(state); rows != 0; rows &= rows - 1) {
        const std::int32_t row = std::countr_zero(rows);
        PileCounts before = withRow(pile, state, row);
        const std::int32_t withoutCard = pileScore(before);
        ++before[card];
        const std::int32_t gain = pileScore(before) - withoutCard;
        if (gain > bestGain) {
            bestGain = gain;
            best = row;
        }
    }
    return best;
}

PlayoutMove eagerMove(const PlayoutState& state, SeededRandom& random) {
    const RowSet draws = drawRows(state);
    const PileCounts& pile = state.piles[state.currentPlayer];
    const std::int32_t base = pileScore(pile);
    std::int32_t best = -1;
    std::int32_t bestGain = -1000;
    for (RowSet rows = takeRows(state); rows != 0; rows &= rows - 1) {
        const std::int32_t row = std::countr_zero(rows);
        const std::int32_t gain = pileScore(withRow(pile, state, row)) - base;
        if (gain > bestGain) {
            bestGain = gain;
            best = row;
        }
    }
    if (best >= 0 && (draws == 0 || bestGain >= eagerTakeAt)) {
        return {TurnAction::Take, best};
    }
    (void)random;
    return {TurnAction::Draw, eagerPlacement(state)};
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
    case PlayoutPolicy::Eager:
        return eagerMove(state, random);
    case PlayoutPolicy::Random:
        break;
    }
    return randomMove(state, random);
}

std::int32_t policyPlacement(const PlayoutState& state, PlayoutPolicy policy,
                             SeededRandom& random) {
    if (policy == PlayoutPolicy::Eager) {
        return eagerPlacement(state);
    }
    const RowSet rows = drawRows(state);
    return nthRow(rows, nextBelow(random, rowCount(rows)));
}

void playOut(PlayoutState& state, PlayoutPolicy policy, SeededRandom& random) {
    bool over = false;
    while (!over) {
        const PlayoutMove move = policyMove(state, policy, random);
        over = playMove(state, move.action, move.row);
    }
}

std::array<double, maxPlayers> outcomes(const PlayoutState& finished, Objective objective) {
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
