#pragma once

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

// printf-style formatting into a string, for the report's fixed columns.
template <typename... Values>
std::string printed(const char* format, Values... values) {
    std::array<char, 256> text{};
    const int length = std::snprintf(text.data(), text.size(), format, values...);
    return {text.data(), length < 0 ? 0 : std::min<std::size_t>(length, text.size() - 1)};
}
