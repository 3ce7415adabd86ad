#include "secrets.h"

#include <sodium.h>

namespace pellaro {

namespace {

constexpr std::string_view codeLetters = "ABCDEFGHJKMNPQRSTUVWXYZ23456789";
constexpr std::size_t codeLength = 6;
constexpr std::size_t tokenBytes = 16;

} // namespace

bool startSecrets() {
    return sodium_init() >= 0;
}

std::string newSeatToken() {
    std::array<unsigned char, tokenBytes> bits{};
    randombytes_buf(bits.data(), bits.size());
    std::array<char, 2 * tokenBytes + 1> hex{};
    sodium_bin2hex(hex.data(), hex.size(), bits.data(), bits.size());
    return hex.data();
}

std::string newTableCode() {
    std::string code;
    for (std::size_t index = 0; index < codeLength; ++index) {
        code += codeLetters[randombytes_uniform(static_cast<std::uint32_t>(codeLetters.size()))];
    }
    return code;
}

std::uint64_t newDealSeed() {
    std::uint64_t seed = 0;
    randombytes_buf(&seed, sizeof seed);
    return seed;
}

TokenHash tokenHash(const std::array<std::uint8_t, 32>& key, std::string_view token) {
    TokenHash hash{};
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): libsodium reads bytes.
    const auto* bytes = reinterpret_cast<const unsigned char*>(token.data());
    crypto_generichash(hash.data(), hash.size(), bytes, token.size(), key.data(), key.size());
    return hash;
}

bool sameHash(const TokenHash& left, const TokenHash& right) {
    return sodium_memcmp(left.data(), right.data(), left.size()) == 0;
}

} // namespace pellaro
