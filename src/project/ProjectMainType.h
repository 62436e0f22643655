#pragma once

#include <cstdint>

namespace korvana {

// The template family a project comes from. A loaded project counts as the
// standard family when its process database component ("KVPdb") is part of it.
enum class ProjectMainType : std::int32_t {
    KV32 = 0,
    Standard = 1,
};

} // namespace korvana
