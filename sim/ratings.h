#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace pellaro {

// Ratings from whole finishing orders: the Plackett–Luce model, in which a
// player of strength g takes each place still open with the chance g over
// the strengths of the players yet to be placed. At two players it is the
// Bradley–Terry model. Ties are split evenly among the orders they stand
// for, as a tie among k counts 1/k of a win.

// A place of an order, best first: the rated player's index, and whether it
// tied the place before.
struct RatedPlace {
    std::int32_t player = 0;
    bool tied = false;
};

// Games that all finished in one order.
struct OrderSeen {
    std::vector<RatedPlace> places;
    std::int64_t games = 0;
};

// How many pairs of games of one deal finished in orders `first` and
// `second` (indices of RatingData::orders): the games of a deal share their
// cards, so their evidence is not independent, and the intervals take the
// deal as the sample.
struct OrdersTogether {
    std::size_t first = 0;
    std::size_t second = 0;
    std::int64_t pairs = 0;
};

struct RatingData {
    std::int32_t players = 0;
    std::vector<OrderSeen> orders;
    std::vector<OrdersTogether> together;
    // Pairs that met: each gets one virtual game won by either side, which
    // keeps a player who never lost, or never won, at a finite rating.
    std::vector<std::pair<std::int32_t, std::int32_t>> met;
};

struct Ratings {
    // Natural logarithms of the strengths: 0 for the reference when there
    // is one, else averaging 0.
    std::vector<double> strength;
    // Their standard errors, by the sandwich estimator with the deal as the
    // sample; 0 for a reference.
    std::vector<double> deviation;
    std::int32_t iterations = 0;
};

// The strengths that make the games most likely, found by Hunter's
// minorise-maximise steps. Every player must have met another.
Ratings fitRatings(const RatingData& data, std::optional<std::int32_t> reference);

// A strength difference on the chess scale: 400 points for ten to one.
double eloPoints(double logStrength);

} // namespace pellaro
