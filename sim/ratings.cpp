#include "ratings.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <iterator>
#include <numbers>
#include <numeric>

namespace pellaro {

namespace {

using Matrix = std::vector<std::vector<double>>;

// One strict order and its weight in games: a tie's orders share its games.
struct StrictOrder {
    std::vector<std::int32_t> players;
    double weight = 0;
    // The order seen that it stands for.
    std::size_t seen = 0;
};

// Every distinct order the tied places may stand for, in the order
// next_permutation gives them, each with an equal share of the games.
void expand(const OrderSeen& order, std::size_t seen, std::vector<StrictOrder>& out) {
    std::vector<std::vector<std::int32_t>> groups;
    for (const RatedPlace& place : order.places) {
        if (!place.tied || groups.empty()) {
            groups.emplace_back();
        }
        groups.back().push_back(place.player);
    }
    std::vector<std::vector<std::int32_t>> orders = {{}};
    for (std::vector<std::int32_t>& group : groups) {
        std::sort(group.begin(), group.end());
        std::vector<std::vector<std::int32_t>> longer;
        do {
            for (const std::vector<std::int32_t>& start : orders) {
                longer.push_back(start);
                longer.back().insert(longer.back().end(), group.begin(), group.end());
            }
        } while (std::next_permutation(group.begin(), group.end()));
        orders = std::move(longer);
    }
    const double weight = static_cast<double>(order.games) / static_cast<double>(orders.size());
    std::transform(orders.begin(), orders.end(), std::back_inserter(out),
                   [weight, seen](std::vector<std::int32_t>& players) {
                       return StrictOrder{std::move(players), weight, seen};
                   });
}

std::vector<StrictOrder> strictOrders(const RatingData& data) {
    std::vector<StrictOrder> orders;
    for (std::size_t seen = 0; seen < data.orders.size(); ++seen) {
        expand(data.orders[seen], seen, orders);
    }
    // The virtual games, one won by each side of every pair that met.
    for (const auto& [a, b] : data.met) {
        orders.push_back(StrictOrder{{a, b}, 1.0, data.orders.size()});
        orders.push_back(StrictOrder{{b, a}, 1.0, data.orders.size()});
    }
    return orders;
}

// Minorise-maximise: each strength becomes its places won over the sum, over
// the places it competed for, of one over the strengths then competing.
std::vector<double> mostLikely(const std::vector<StrictOrder>& orders, std::int32_t players,
                               std::int32_t& iterations) {
    const auto count = static_cast<std::size_t>(players);
    std::vector<double> won(count, 0.0);
    for (const StrictOrder& order : orders) {
        for (std::size_t place = 0; place + 1 < order.players.size(); ++place) {
            won[static_cast<std::size_t>(order.players[place])] += order.weight;
        }
    }
    std::vector<double> strength(count, 1.0);
    constexpr std::int32_t mostIterations = 100000;
    for (iterations = 1; iterations <= mostIterations; ++iterations) {
        std::vector<double> competed(count, 0.0);
        for (const StrictOrder& order : orders) {
            double remaining =
                std::accumulate(order.players.begin(), order.players.end(), 0.0,
                                [&strength](double sum, std::int32_t player) {
                                    return sum + strength[static_cast<std::size_t>(player)];
                                });
            double share = 0;
            for (std::size_t place = 0; place + 1 < order.players.size(); ++place) {
                share += order.weight / remaining;
                competed[static_cast<std::size_t>(order.players[place])] += share;
                remaining -= strength[static_cast<std::size_t>(order.players[place])];
            }
            // The last place competed for the place before it too.
            competed[static_cast<std::size_t>(order.players.back())] += share;
        }
        double logSum = 0;
        std::vector<double> next(count);
        for (std::size_t i = 0; i < count; ++i) {
            next[i] = won[i] / competed[i];
            logSum += std::log(next[i]);
        }
        const double scale = std::exp(-logSum / static_cast<double>(count));
        double change = 0;
        for (std::size_t i = 0; i < count; ++i) {
            next[i] *= scale;
            change = std::max(change, std::abs(std::log(next[i] / strength[i])));
        }
        strength = std::move(next);
        if (change < 1e-12) {
            break;
        }
    }
    return strength;
}

// The order's gradient of its log-likelihood in the log-strengths (added to
// `score`, times `weight`) and its information (added to `information`).
void addDerivatives(const StrictOrder& order, const std::vector<double>& strength, double weight,
                    std::vector<double>* score, Matrix* information) {
    const std::vector<std::int32_t>& players = order.players;
    for (std::size_t place = 0; place + 1 < players.size(); ++place) {
        double remaining = 0;
        for (std::size_t later = place; later < players.size(); ++later) {
            remaining += strength[static_cast<std::size_t>(players[later])];
        }
        if (score != nullptr) {
            (*score)[static_cast<std::size_t>(players[place])] += weight;
        }
        for (std::size_t i = place; i < players.size(); ++i) {
            const auto a = static_cast<std::size_t>(players[i]);
            const double pa = strength[a] / remaining;
            if (score != nullptr) {
                (*score)[a] -= weight * pa;
            }
            for (std::size_t j = place; information != nullptr && j < players.size(); ++j) {
                const auto b = static_cast<std::size_t>(players[j]);
                const double pb = strength[b] / remaining;
                (*information)[a][b] += weight * ((i == j ? pa : 0.0) - pa * pb);
            }
        }
    }
}

// The inverse of a positive definite matrix, by Gauss-Jordan elimination.
Matrix inverse(Matrix matrix) {
    const std::size_t n = matrix.size();
    Matrix result(n, std::vector<double>(n, 0.0));
    for (std::size_t i = 0; i < n; ++i) {
        result[i][i] = 1;
    }
    for (std::size_t column = 0; column < n; ++column) {
        std::size_t pivot = column;
        for (std::size_t row = column + 1; row < n; ++row) {
            if (std::abs(matrix[row][column]) > std::abs(matrix[pivot][column])) {
                pivot = row;
            }
        }
        std::swap(matrix[column], matrix[pivot]);
        std::swap(result[column], result[pivot]);
        const double divisor = matrix[column][column];
        for (std::size_t k = 0; k < n; ++k) {
            matrix[column][k] /= divisor;
            result[column][k] /= divisor;
        }
        for (std::size_t row = 0; row < n; ++row) {
            const double factor = matrix[row][column];
            if (row == column || factor == 0) {
                continue;
            }
            for (std::size_t k = 0; k < n; ++k) {
                matrix[row][k] -= factor * matrix[column][k];
                result[row][k] -= factor * result[column][k];
            }
        }
    }
    return result;
}

Matrix product(const Matrix& a, const Matrix& b) {
    const std::size_t n = a.size();
    Matrix result(n, std::vector<double>(n, 0.0));
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t k = 0; k < n; ++k) {
            for (std::size_t j = 0; j < n; ++j) {
                result[i][j] += a[i][k] * b[k][j];
            }
        }
    }
    return result;
}

// The matrix without the reference's row and column.
Matrix without(const Matrix& matrix, std::size_t reference) {
    Matrix result;
    for (std::size_t i = 0; i < matrix.size(); ++i) {
        if (i == reference) {
            continue;
        }
        result.emplace_back();
        for (std::size_t j = 0; j < matrix.size(); ++j) {
            if (j != reference) {
                result.back().push_back(matrix[i][j]);
            }
        }
    }
    return result;
}

} // namespace

namespace {

// The information of the orders, and the spread of the deals' scores: a
// deal's score is the sum of its games' scores, and the squares and products
// of those sums come from the orders' counts and their pairs within deals.
struct Derivatives {
    Matrix information;
    Matrix spread;
};

Derivatives derivativesAt(const RatingData& data, const std::vector<StrictOrder>& orders,
                          const std::vector<double>& strength) {
    const auto count = static_cast<std::size_t>(data.players);
    Derivatives derivatives{Matrix(count, std::vector<double>(count, 0.0)),
                            Matrix(count, std::vector<double>(count, 0.0))};
    std::vector<std::vector<double>> perGame(data.orders.size(), std::vector<double>(count, 0.0));
    for (const StrictOrder& order : orders) {
        addDerivatives(order, strength, order.weight, nullptr, &derivatives.information);
        // The virtual games have no deal.
        if (order.seen < data.orders.size()) {
            const auto games = static_cast<double>(data.orders[order.seen].games);
            addDerivatives(order, strength, order.weight / games, &perGame[order.seen], nullptr);
        }
    }
    Matrix& spread = derivatives.spread;
    const auto addOuter = [&spread, count](const std::vector<double>& a,
                                           const std::vector<double>& b, double times) {
        for (std::size_t i = 0; i < count; ++i) {
            for (std::size_t j = 0; j < count; ++j) {
                spread[i][j] += times * (a[i] * b[j] + b[i] * a[j]) / 2;
            }
        }
    };
    for (std::size_t seen = 0; seen < data.orders.size(); ++seen) {
        addOuter(perGame[seen], perGame[seen], static_cast<double>(data.orders[seen].games));
    }
    for (const OrdersTogether& pair : data.together) {
        addOuter(perGame[pair.first], perGame[pair.second], 2.0 * static_cast<double>(pair.pairs));
    }
    return derivatives;
}

// The sandwich, the information inverted on either side of the spread, with
// the pinned player's strength held at 0: its row and column stay 0.
Matrix covarianceOf(const Derivatives& derivatives, std::size_t pinned) {
    const Matrix bread = inverse(without(derivatives.information, pinned));
    const Matrix inner = product(product(bread, without(derivatives.spread, pinned)), bread);
    const std::size_t count = derivatives.information.size();
    Matrix covariance(count, std::vector<double>(count, 0.0));
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t j = 0; j < count; ++j) {
            if (i != pinned && j != pinned) {
                covariance[i][j] = inner[i - (i > pinned ? 1 : 0)][j - (j > pinned ? 1 : 0)];
            }
        }
    }
    return covariance;
}

// Each strength less their mean, and its variance with it.
void centre(std::vector<double>& logs, Matrix& covariance) {
    const std::size_t count = logs.size();
    const double mean = std::accumulate(logs.begin(), logs.end(), 0.0) / static_cast<double>(count);
    std::vector<double> rowMeans(count, 0.0);
    double allMean = 0;
    for (std::size_t i = 0; i < count; ++i) {
        rowMeans[i] = std::accumulate(covariance[i].begin(), covariance[i].end(), 0.0) /
                      static_cast<double>(count);
        allMean += rowMeans[i] / static_cast<double>(count);
    }
    for (std::size_t i = 0; i < count; ++i) {
        logs[i] -= mean;
        covariance[i][i] += allMean - 2 * rowMeans[i];
    }
}

} // namespace

Ratings fitRatings(const RatingData& data, std::optional<std::int32_t> reference) {
    assert(data.players >= 2);
    const auto count = static_cast<std::size_t>(data.players);
    const std::vector<StrictOrder> orders = strictOrders(data);
    Ratings ratings;
    const std::vector<double> strength = mostLikely(orders, data.players, ratings.iterations);
    const std::size_t pinned = reference ? static_cast<std::size_t>(*reference) : 0;
    Matrix covariance = covarianceOf(derivativesAt(data, orders, strength), pinned);
    std::vector<double> logs(count);
    std::transform(strength.begin(), strength.end(), logs.begin(),
                   [&](double s) { return std::log(s / strength[pinned]); });
    if (!reference) {
        centre(logs, covariance);
    }
    ratings.strength = logs;
    for (std::size_t i = 0; i < count; ++i) {
        ratings.deviation.push_back(std::sqrt(std::max(0.0, covariance[i][i])));
    }
    return ratings;
}

double eloPoints(double logStrength) {
    return 400.0 * logStrength / std::numbers::ln10;
}

} // namespace pellaro
