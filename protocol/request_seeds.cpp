#include "request_seeds.h"

#include <sodium.h>

namespace pellaro {

namespace {

constexpr std::string_view hexDigits = "0123456789abcdef";

int hexValue(char digit) {
    if (digit >= '0' && digit <= '9') {
        return digit - '0';
    }
    if (digit >= 'a' && digit <= 'f') {
        return digit - 'a' + 10;
    }
    if (digit >= 'A' && digit <= 'F') {
        return digit - 'A' + 10;
    }
    return -1;
}

// libsodium picks its fastest code once, before any other call.
void readySodium() {
    static const bool ready = sodium_init() >= 0;
    (void)ready;
}

void putWord(std::array<std::uint8_t, 24>& bytes, std::size_t at, std::uint64_t word) {
    for (std::size_t i = 0; i < 8; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(word >> (8 * i));
    }
}

} // namespace

RequestKey freshRequestKey() {
    readySodium();
    RequestKey key{};
    randombytes_buf(key.data(), key.size());
    return key;
}

std::string keyText(const RequestKey& key) {
    std::string text;
    text.reserve(2 * key.size());
    for (const std::uint8_t byte : key) {
        text += hexDigits[byte >> 4U];
        text += hexDigits[byte & 0xFU];
    }
    return text;
}

std::optional<RequestKey> keyFromText(std::string_view text) {
    RequestKey key{};
    if (text.size() != 2 * key.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < key.size(); ++i) {
        const int high = hexValue(text[2 * i]);
        const int low = hexValue(text[2 * i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        key[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return key;
}

std::uint64_t requestSeed(const RequestKey& key, std::uint64_t game, std::int32_t seat,
                          std::uint64_t request) {
    readySodium();
    // Fixed-width little-endian words, so that no two places read alike.
    std::array<std::uint8_t, 24> place{};
    putWord(place, 0, game);
    putWord(place, 8, static_cast<std::uint64_t>(seat));
    putWord(place, 16, request);
    std::array<std::uint8_t, sizeof(std::uint64_t)> hash{};
    crypto_generichash(hash.data(), hash.size(), place.data(), place.size(), key.data(),
                       key.size());
    std::uint64_t seed = 0;
    for (std::size_t i = 0; i < hash.size(); ++i) {
        seed |= std::uint64_t{hash[i]} << (8 * i);
    }
    return seed;
}

} // namespace pellaro
