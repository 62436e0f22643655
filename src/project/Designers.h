#pragma once

#include "platform/Registry.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace korvana {

// The installed Visual Basic versions a new project can be made for, oldest
// first, with the newest selected (nothing selected when none is installed).
struct DesignerList {
    std::vector<std::string> names;
    std::optional<std::size_t> selected;
};

DesignerList ListDesigners(const Registry& registry);

} // namespace korvana
