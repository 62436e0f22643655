#pragma once

#include <cstdint>

namespace korvana {

// A string-table number (German block; English twin at +10000).
struct TextId {
    std::int32_t value = 0;
    constexpr explicit TextId(std::int32_t v) : value(v) {}
    constexpr bool operator==(const TextId&) const = default;
};

// A Windows locale identifier (1031 German, 1033 English, ...).
struct Lcid {
    std::int32_t value = 1031;
    constexpr Lcid() = default;
    constexpr explicit Lcid(std::int32_t v) : value(v) {}
    constexpr bool operator==(const Lcid&) const = default;
};

// The two languages of the string table. German is also the language taken
// wherever the installation names none.
inline constexpr Lcid germanLanguage{1031};
inline constexpr Lcid englishLanguage{1033};

} // namespace korvana
