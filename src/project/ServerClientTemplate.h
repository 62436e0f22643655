#pragma once

#include "project/ProjectType.h"

#include <optional>
#include <string>
#include <string_view>

namespace korvana {

// A group template that makes one server and one client project: type
// "Group" and a folder name starting with "Server-Client" (any case). Its
// member templates lie in "Server" and "Client" followed by the suffix, the
// rest of the folder name (possibly empty).
struct ServerClientTemplate {
    std::string suffix;
    std::string serverFolder;
    std::string clientFolder;

    // Nothing for any other template.
    static std::optional<ServerClientTemplate> of(std::string_view templateFolder,
                                                  ProjectType type);
};

} // namespace korvana
