#pragma once

#include <algorithm>

namespace korvana {

// The largest of two or more numbers (the proposed-name counter takes the
// largest number found among existing names).
template <typename T, typename... Rest> constexpr T maximum(T first, T second, Rest... rest) {
    return std::max({first, second, static_cast<T>(rest)...});
}

} // namespace korvana
