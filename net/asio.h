#pragma once

// clang-format off
// Asio 1.74 uses std::exchange without including <utility>, which g++ 12's
// C++20 headers no longer bring in on their own.
#include <utility>
#include <boost/asio.hpp>
// clang-format on
