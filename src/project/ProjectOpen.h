#pragma once

#include <cstdint>

namespace korvana {

// What the start-up is to do with a project object once a dialog or the command
// line has filled it. The numbers are those the open dialog has always used.
enum class ProjectOpen : std::int32_t {
    Nothing = 0,
    CreateFromTemplate = 1,
    OpenProject = 2,
    OpenGroup = 3,
};

} // namespace korvana
