#pragma once

#include "platform/Files.h"
#include "platform/Registry.h"
#include "project/ProjectServices.h"
#include "project/ProjectType.h"
#include "project/RegisteredProject.h"
#include "project/RegistryChanges.h"
#include "services/ConfigurationComponent.h"
#include "text/MessageService.h"
#include "text/TextService.h"

#include <string_view>
#include <vector>

namespace korvana {

// The machine-wide registry of projects: one sub-key per project or group
// under "Projects" with its folder, type name and studio version.
//
// A registration either stands whole or leaves the registry as it was: the
// name, the folder, the file and (for a project) that the file is a project
// database are checked before the first write, and a write that fails half-way
// is taken back. Each failure is told to the user with its cause: text 921 for
// a name a project cannot have, 919 for a missing folder, 920 for a missing
// file, 922 for a file that is not a project database. Unexpected failures are
// reported as "Error in function '...'!" with text 99, and the procedure
// answers false.
class ProjectRegistration {
  public:
    ProjectRegistration(Registry& registry, ConfigurationComponent& configuration,
                        MessageService& messages, const TextService& texts);

    // Registers folder/name.kvs with the type and studio version from the
    // project's "Global" settings; a write-protected file is offered to be
    // made writable first (CheckReadOnly). An existing registration of the
    // name is replaced.
    bool RegisterProject(std::string_view folder, std::string_view name);

    // Registers folder/name.vbg and every studio project it names (texts 915,
    // 916, 917). A member whose project file is missing is reported and left
    // out; the group is still registered when every other member was. So is a
    // member whose Visual Basic project file is missing (text 940). When the
    // group fails, the members registered on the way are taken back too.
    bool RegisterGroup(std::string_view folder, std::string_view name);

    // What loading a project needs, with this registration's read-only check
    // and its report of passed-over group members. Lives as long as `this`.
    ProjectServices loadingServices();

    // Tells the user (text 940) that the group `group` passes over its member
    // `entry`, whose Visual Basic project file is missing.
    void TellPassedOverMember(std::string_view group, std::string_view entry);

    // True for a name a project may be registered under; otherwise text 921
    // says why not.
    bool CheckProjectName(std::string_view name);

    // Tells why `name` cannot be registered from `file` in `folder` when the
    // folder (text 919) or the file (text 920) is missing; true when the file
    // exists.
    bool CheckFileToRegister(std::string_view name, std::string_view folder, std::string_view file);

    // True when the file exists and may be written. A file without the owner's
    // write permission is read-only: text 914 asks, and Yes gives the
    // permission back.
    bool CheckReadOnly(std::string_view file);

    // The registered projects whose type shares a bit with the mask, in
    // registry order. A registration whose file is gone is deleted on the way.
    // A failing enumeration of the registry reaches the caller; a failing
    // deletion is passed over.
    std::vector<RegisteredProject> ListRegisteredProjects(ProjectTypeMask mask);

    // Deletes the registration; the project's files stay. A name that could
    // name no registration (text 921) or is not registered (text 907) is
    // reported and answered with false.
    bool DeregisterProject(std::string_view name);

  private:
    // The registrations proper: they record each write in `changes`, which the
    // public procedures take back when anything fails.
    bool registerProjectInto(RegistryChanges& changes, std::string_view folder,
                             std::string_view name);
    bool writeProject(RegistryChanges& changes, const std::string& folder, std::string_view name,
                      const std::string& file);
    bool registerGroupInto(RegistryChanges& changes, std::string_view folder,
                           std::string_view name);
    bool writeGroup(RegistryChanges& changes, const std::string& folder, std::string_view name,
                    const std::string& groupFile);
    // CheckReadOnly without its error report.
    bool checkReadOnlyUnguarded(std::string_view file);

    Registry& registry_;
    ConfigurationComponent& configuration_;
    MessageService& messages_;
    const TextService& texts_;
    Files files_;
};

} // namespace korvana
