#pragma once

#include "platform/Registry.h"
#include "services/ConfigurationComponent.h"

#include <functional>
#include <string_view>

namespace korvana {

// What loading a project needs from the rest of the program, handed in rather
// than reached through globals. `checkReadOnly` is the registration's read-only
// check: true when the file exists and may be written (it may ask the user to
// lift a write protection). `passedOverMember` tells the user that a group's
// member was passed over because its Visual Basic project file is missing.
struct ProjectServices {
    const Registry& registry;
    ConfigurationComponent& configuration;
    std::function<bool(std::string_view file)> checkReadOnly;
    std::function<void(std::string_view group, std::string_view entry)> passedOverMember;
};

} // namespace korvana
