#include "sim/ratings.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <map>
#include <numeric>
#include <random>
#include <vector>

namespace pellaro {

namespace {

// Two players: Bradley–Terry, each side's wins one more for the virtual
// games, and the sandwich worked out by hand over deals of two games.
TEST(Ratings, TwoPlayersAreBradleyTerryByHand) {
    RatingData data;
    data.players = 2;
    data.orders = {OrderSeen{{{0, false}, {1, false}}, 30},
                   OrderSeen{{{1, false}, {0, false}}, 10}};
    // Twenty deals of two games: 12 won twice by 0, 6 split, 2 won twice by 1.
    data.together = {{0, 0, 12}, {0, 1, 6}, {1, 1, 2}};
    data.met = {{0, 1}};
    const Ratings ratings = fitRatings(data, std::nullopt);
    const double p = 31.0 / 42;
    const double information = 42 * p * (1 - p);
    const double spread = 30 * (1 - p) * (1 - p) + 10 * p * p +
                          2 * (12 * (1 - p) * (1 - p) - 6 * (1 - p) * p + 2 * p * p);
    EXPECT_NEAR(ratings.strength[0], std::log(31.0 / 11) / 2, 1e-9);
    EXPECT_NEAR(ratings.strength[1], -std::log(31.0 / 11) / 2, 1e-9);
    EXPECT_NEAR(ratings.deviation[0], std::sqrt(spread) / information / 2, 1e-9);
    // A tie is half a win to each: one tied game moves nothing between equals.
    data.orders.push_back(OrderSeen{{{0, false}, {1, true}}, 20});
    data.together.clear();
    const Ratings tied = fitRatings(data, 1);
    EXPECT_NEAR(tied.strength[0], std::log(41.0 / 21), 1e-9);
    EXPECT_EQ(tied.strength[1], 0.0);
    EXPECT_EQ(tied.deviation[1], 0.0);
}

// Draws a finishing order of the seats' players from their strengths.
std::vector<RatedPlace> drawOrder(std::vector<std::int32_t> seats,
                                  const std::vector<double>& strength, std::mt19937_64& random) {
    std::vector<RatedPlace> places;
    while (!seats.empty()) {
        const double total = std::accumulate(
            seats.begin(), seats.end(), 0.0, [&strength](double sum, std::int32_t player) {
                return sum + std::exp(strength[static_cast<std::size_t>(player)]);
            });
        double pick = std::uniform_real_distribution<double>(0, total)(random);
        std::size_t chosen = 0;
        while (chosen + 1 < seats.size() &&
               (pick -= std::exp(strength[static_cast<std::size_t>(seats[chosen])])) > 0) {
            ++chosen;
        }
        places.push_back(RatedPlace{seats[chosen], false});
        seats.erase(seats.begin() + static_cast<std::ptrdiff_t>(chosen));
    }
    return places;
}

// A tournament at three players, each player alone against two of each
// other, 30 deals a table, whose deals' three games all finish alike, as a
// deal's rotated games may when the cards decide; `together` tells the fit
// so, or not.
RatingData alikeDeals(const std::vector<double>& truth, std::mt19937_64& random, bool together) {
    RatingData data;
    data.players = 3;
    std::map<std::vector<std::int32_t>, std::size_t> seen;
    std::vector<std::int64_t> deals;
    for (std::int32_t alone = 0; alone < 3; ++alone) {
        for (std::int32_t other = 0; other < 3; ++other) {
            if (alone != other) {
                data.met.emplace_back(std::min(alone, other), std::max(alone, other));
            }
            for (std::int32_t deal = 0; deal < 30 && alone != other; ++deal) {
                const std::vector<RatedPlace> places =
                    drawOrder({alone, other, other}, truth, random);
                std::vector<std::int32_t> key(places.size());
                std::transform(places.begin(), places.end(), key.begin(),
                               [](const RatedPlace& place) { return place.player; });
                const auto [at, added] = seen.emplace(key, data.orders.size());
                if (added) {
                    data.orders.push_back(OrderSeen{places, 0});
                    deals.push_back(0);
                }
                data.orders[at->second].games += 3;
                ++deals[at->second];
            }
        }
    }
    for (std::size_t order = 0; order < deals.size() && together; ++order) {
        data.together.push_back(OrdersTogether{order, order, 3 * deals[order]});
    }
    return data;
}

// The intervals must hold the true strengths about 95 times in 100 all the
// same. Counted game by game, as independent, they would hold them far less
// often.
TEST(Ratings, IntervalsHoldTheTrueStrengthsWhenADealsGamesAgree) {
    const std::vector<double> truth = {0.6, 0.0, -0.6};
    for (const bool together : {true, false}) {
        std::mt19937_64 random(2026);
        std::int32_t held = 0;
        std::int32_t intervals = 0;
        for (std::int32_t tournament = 0; tournament < 300; ++tournament) {
            const Ratings ratings = fitRatings(alikeDeals(truth, random, together), std::nullopt);
            for (std::size_t player = 0; player < truth.size(); ++player) {
                const double miss = std::abs(ratings.strength[player] - truth[player]);
                held += miss <= 1.96 * ratings.deviation[player] ? 1 : 0;
                ++intervals;
            }
        }
        const double share = static_cast<double>(held) / intervals;
        if (together) {
            EXPECT_GT(share, 0.92);
            EXPECT_LT(share, 0.98);
        } else {
            EXPECT_LT(share, 0.8);
        }
    }
}

} // namespace

} // namespace pellaro
