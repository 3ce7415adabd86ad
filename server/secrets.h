#pragma once

#include "store.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pellaro {

// Everything at a table that must not be guessed comes from the operating
// system's random source, never from a seed: the seat tokens, the table
// codes and the deals.

// Call once before the others; false when the random source cannot be used.
bool startSecrets();

// 128 random bits as 32 lowercase hexadecimal digits.
std::string newSeatToken();

// Six characters of a 31-letter alphabet without look-alikes (no 0, O, 1,
// I, L), easy to read out to a friend.
std::string newTableCode();

// The seed of a new table's deal.
std::uint64_t newDealSeed();

// The keyed hash that the store keeps in place of a token.
TokenHash tokenHash(const std::array<std::uint8_t, 32>& key, std::string_view token);

// Compared in constant time, so that timing tells nothing of a token.
bool sameHash(const TokenHash& left, const TokenHash& right);

} // namespace pellaro
