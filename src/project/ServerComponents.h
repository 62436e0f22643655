#pragma once

#include "platform/Registry.h"
#include "project/ProjectMainType.h"
#include "services/ConfigurationComponent.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvana {

// One server component as the new-project dialog lists it.
struct ServerComponentRow {
    std::string name; // key and text of the item
    std::string description;
    // The components this one needs; the dialog's deselection rule reads it.
    std::string dependencies;
    bool checked = false;
    bool operator==(const ServerComponentRow&) const = default;
};

struct ServerComponentList {
    std::vector<ServerComponentRow> rows;
    // Why no or not every item could be checked from the project (a missing
    // project file, say); empty otherwise. The rows are listed either way.
    std::string problem;
};

// The installed server components a project may use, checked as the project's
// "ServerComponents" section says. The kernel ("KVEKernel") and the process
// database ("KVPdb") are part of every project and never offered; the formula
// server ("KVFormula") only to the standard family. `project` is a registered
// name or a project file path. A failing registry raises korvana::Error.
ServerComponentList ListServerComponents(const Registry& registry, ConfigurationComponent& settings,
                                         std::string_view project, ProjectMainType family);

} // namespace korvana
