#pragma once

#include "platform/Files.h"
#include "platform/Registry.h"
#include "project/ProjectType.h"
#include "project/RegisteredProject.h"
#include "services/ConfigurationComponent.h"
#include "text/MessageService.h"
#include "text/TextService.h"

#include <string_view>
#include <vector>

namespace korvana {

// The machine-wide registry of projects: one sub-key per project or group
// under "Projects" with its folder, type name and studio version.
//
// RegisterProject, RegisterGroup and CheckReadOnly guard themselves: an
// unexpected failure is reported as "Error in function '...'!" with text 99 and
// they answer false. What they wrote before the failure stays.
class ProjectRegistration {
  public:
    ProjectRegistration(Registry& registry, ConfigurationComponent& configuration,
                        MessageService& messages, const TextService& texts);

    // Registers folder/name.kvs. "Path" is written first and stays even when a
    // later step fails; type and version are copied from the project's
    // "Global" settings. A name that could reach another key or folder is
    // refused with text 907 and nothing is written.
    bool RegisterProject(std::string_view folder, std::string_view name);

    // Registers folder/name.vbg and every studio project it names (texts 915,
    // 916, 917). A member whose project file is missing is reported and left
    // out; the group is still registered when every other member was.
    bool RegisterGroup(std::string_view folder, std::string_view name);

    // True when the file exists and may be written. A file without the owner's
    // write permission is read-only: text 914 asks, and Yes gives the
    // permission back.
    bool CheckReadOnly(std::string_view file);

    // The registered projects whose type shares a bit with the mask, in
    // registry order. A registration whose file is gone is deleted on the way.
    // A failing enumeration of the registry reaches the caller; a failing
    // deletion is passed over.
    std::vector<RegisteredProject> ListRegisteredProjects(ProjectTypeMask mask);

    // Deletes the registration; the project's files stay. False when the name
    // is not registered (or could not be).
    bool DeregisterProject(std::string_view name);

  private:
    bool registerProject(std::string_view folder, std::string_view name);
    bool registerGroup(std::string_view folder, std::string_view name);
    bool checkReadOnly(std::string_view file);
    bool refuseUnsafeName(std::string_view name);

    Registry& registry_;
    ConfigurationComponent& configuration_;
    MessageService& messages_;
    const TextService& texts_;
    Files files_;
};

} // namespace korvana
