#pragma once

#include "dbupgrade/CheckProjectDatabase.h"
#include "project/KVProject.h"
#include "project/ProjectRegistration.h"

#include <functional>
#include <string>

namespace korvana {

// What the project dialogs work with besides the windows: the run's
// registration (listing, registering, deregistering) and its configuration
// component (a template's settings, a new project's settings).
struct ProjectDialogServices {
    ProjectRegistration& registration;
    ConfigurationComponent& configuration;
};

// What the start-up needs from the program's windows. The core decides; the
// windows only show and collect, so the whole start-up can run against a fake
// host in tests.
class StartupHost {
  public:
    virtual ~StartupHost() = default;

    // The main window, owner of every other window; shown first.
    virtual void showMainWindow() = 0;
    // The splash window, owned by the main window. Shows it and lets pending
    // events be processed once, so that both windows are painted.
    virtual void showSplash() = 0;
    // The help file that F1 and the dialogs' Help buttons open.
    virtual void setHelpFile(const std::string& path) = 0;
    // Initialisation is complete: the splash goes as soon as its minimum
    // display time has passed.
    virtual void initReady() = 0;
    // The project-open dialog (not in add mode), shown modally. Its result says
    // in EProjectOpen what the start-up is to do.
    virtual CKVProject chooseProject(const ProjectDialogServices& services) = 0;
    // The new-project dialog for the template in project.TemplatePath, shown
    // modally. It fills the project (and creates it); on Cancel it sets
    // EProjectOpen to Nothing.
    virtual void showNewProjectDialog(CKVProject& project,
                                      const ProjectDialogServices& services) = 0;
    // Unloads the main window just before the IDE is started.
    virtual void unloadMainWindow() = 0;
    // Lets the windows handle what is pending.
    virtual void processEvents() = 0;
    // Runs one project's database check, handing `check` the observer through
    // which the windows show its progress and let the user stop it. Without
    // windows it runs unwatched.
    using CheckRun = std::function<dbupgrade::CheckResult(const dbupgrade::CheckObserver&)>;
    virtual dbupgrade::CheckResult runCheck(const std::string& /*projectName*/,
                                            const CheckRun& check) {
        return check({});
    }
};

} // namespace korvana
