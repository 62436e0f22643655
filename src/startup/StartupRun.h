#pragma once

#include "project/KVProject.h"
#include "project/ProjectLookup.h"
#include "project/ProjectRegistration.h"
#include "project/ProjectServices.h"
#include "startup/CommandLine.h"
#include "startup/StartupContext.h"

#include <optional>
#include <string>

namespace korvana {

// The part of a run that finds the project to work on, once the settings, the
// configuration component and the launcher exist: from the command line or the
// project-open dialog, through the new-project dialog and the database check.
class StartupRun {
  public:
    StartupRun(StartupContext& context, ConfigurationComponent& configuration);
    StartupRun(const StartupRun&) = delete;
    StartupRun& operator=(const StartupRun&) = delete;

    // The exit code when the run ends here; nothing when project() is ready to
    // be loaded and opened.
    std::optional<int> chooseProject(const CommandLine& commandLine);

    CKVProject& project() { return project_; }
    const ProjectServices& services() const { return services_; }

  private:
    ProjectDialogServices dialogServices() { return {registration_, configuration_}; }
    bool openByName(const std::string& name);
    std::optional<int> openPath(const std::string& path);
    int registerOnly(const std::string& file);
    std::optional<int> prepare();
    // False when the user stopped the check: the project stays as it was and
    // is not opened.
    bool check(const std::string& projectName);
    // Back to the project-open dialog, after a new-project dialog or a check
    // that the user cancelled.
    void chooseAgain();

    StartupContext& context_;
    ConfigurationComponent& configuration_;
    ProjectRegistration registration_;
    ProjectLookup lookup_;
    ProjectServices services_;
    CKVProject project_;
};

} // namespace korvana
