#include "json_fields.h"

#include <limits>

namespace pellaro {

using nlohmann::json;

const json* fieldOf(const json& object, const char* name) {
    const auto found = object.find(name);
    return found == object.end() ? nullptr : &*found;
}

bool integerIn(const json* value, std::int64_t low, std::int64_t high) {
    if (value == nullptr || !value->is_number_integer()) {
        return false;
    }
    if (value->is_number_unsigned() &&
        value->get<std::uint64_t>() > std::numeric_limits<std::int64_t>::max()) {
        return false;
    }
    const auto number = value->get<std::int64_t>();
    return number >= low && number <= high;
}

std::optional<std::int64_t> integerField(const json& object, const char* name, std::int64_t low,
                                         std::int64_t high) {
    const json* value = fieldOf(object, name);
    if (!integerIn(value, low, high)) {
        return std::nullopt;
    }
    return value->get<std::int64_t>();
}

std::optional<std::string> textField(const json& object, const char* name) {
    const json* value = fieldOf(object, name);
    if (value == nullptr || !value->is_string()) {
        return std::nullopt;
    }
    return value->get<std::string>();
}

} // namespace pellaro
