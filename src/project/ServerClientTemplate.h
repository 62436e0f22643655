#pragma once

#include "project/KVProject.h"
#include "project/ProjectType.h"

#include <functional>
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

// Makes the two members of a Server/Client group described by `group` (name,
// folder, languages, Visual Basic version, the server's components): the
// client "<name> Client" in "<folder>\Client", served by the server
// "<name> Server" in "<folder>\Server", each from its member template, and
// names both in the group's Projects. False, with the group's Projects as
// they were, when a member could not be made: a group must not name a
// project that is not there.
bool CreateServerClientMembers(CKVProject& group, const ServerClientTemplate& members,
                               const std::function<void(CKVProject&)>& create);

} // namespace korvana
