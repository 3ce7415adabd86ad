#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace pellaro {

// The fields of the JSON objects pellaro-solo reads back from the player's
// files, each checked for its type and range before it is converted, so that
// no number is cut or wrapped round.

// The object's field, or none.
const nlohmann::json* fieldOf(const nlohmann::json& object, const char* name);

// A whole number from low to high: never a fraction, a text or a number that
// would wrap round.
bool integerIn(const nlohmann::json* value, std::int64_t low, std::int64_t high);

// The object's field as such a number, or none.
std::optional<std::int64_t> integerField(const nlohmann::json& object, const char* name,
                                         std::int64_t low, std::int64_t high);

// The object's field as a text, or none.
std::optional<std::string> textField(const nlohmann::json& object, const char* name);

} // namespace pellaro
