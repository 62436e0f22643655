#pragma once

#include "platform/Files.h"
#include "platform/Registry.h"
#include "project/RegisteredProject.h"
#include "text/MessageService.h"
#include "text/TextService.h"

#include <optional>
#include <string>
#include <string_view>

namespace korvana {

// How the start-up finds a project named on its command line.
class ProjectLookup {
  public:
    ProjectLookup(const Registry& registry, MessageService& messages, const TextService& texts);

    // The registered folder of the name, or empty when the name is not
    // registered or could not be a registration.
    std::string RegisteredPath(std::string_view name) const;

    // A project or group opened by name: its registration when its project
    // file (a group's group file) exists in the registered folder. Otherwise
    // text 907 (not registered, empty "Path", or a name that could reach
    // another key or folder), 906 (project file missing) or 913 (group file
    // missing) has been shown and the result is nothing.
    std::optional<RegisteredProject> FindByName(std::string_view name);

    // A project file given by path whose name is registered with another
    // folder (folders compared without regard to case): text 908 asks whether
    // to move the registration. True when the caller may go on and register
    // the project in `folder`; false when the user said No.
    bool ConfirmFolder(std::string_view name, std::string_view registeredPath,
                       std::string_view folder);

  private:
    const Registry& registry_;
    MessageService& messages_;
    const TextService& texts_;
    Files files_;
};

} // namespace korvana
