#pragma once

#include <cstdint>

namespace korvana {

// What OpenProject hands out: a 32-bit number that means nothing outside the
// configuration component that issued it. Zero is never issued.
struct ProjectHandle {
    std::uint32_t value = 0;
    constexpr bool operator==(const ProjectHandle&) const = default;
};

} // namespace korvana
