#pragma once

#include "dialogs/DialogContext.h"
#include "dialogs/FCheckProgress.h"
#include "dialogs/FKorvanaStudio.h"
#include "dialogs/FLogo.h"
#include "dialogs/QtMessageService.h"
#include "dialogs/StartupTrace.h"
#include "platform/Process.h"
#include "startup/StartupHost.h"
#include "text/TextService.h"

#include <chrono>
#include <memory>
#include <string>

namespace korvana::dialogs {

// The program's windows as the start-up sees them. The windows keep a
// reference to the program's text service, so that texts loaded after the
// installation's language is known speak that language.
//
class QtStartupHost : public StartupHost {
  public:
    struct Options {
        StartupTrace trace;
        std::chrono::milliseconds splashTime = FLogo::standardDisplayTime;
        // Gets the main window as owner of boxes shown while no window is active.
        QtMessageService* messages = nullptr;
        // How long a database check runs before its progress window shows: a
        // quick check should not flash a window past the user.
        std::chrono::milliseconds checkWindowDelay{500};
    };

    QtStartupHost(DialogContext context, Options options);
    ~QtStartupHost() override;
    QtStartupHost(const QtStartupHost&) = delete;
    QtStartupHost& operator=(const QtStartupHost&) = delete;

    void showMainWindow() override;
    void showSplash() override;
    void setHelpFile(const std::string& path) override { helpFile_ = path; }
    void initReady() override;
    CKVProject chooseProject(const ProjectDialogServices& services) override;
    void showNewProjectDialog(CKVProject& project, const ProjectDialogServices& services) override;
    void unloadMainWindow() override;
    void processEvents() override;
    // Runs the check on a thread of its own while this thread keeps the
    // windows alive, and shows its progress window once the check takes
    // longer than the delay. Cancel there stops the check at its next safe
    // point.
    dbupgrade::CheckResult runCheck(const std::string& projectName, const CheckRun& check) override;

    // Sleeps in the event loop until the process ends, so that the windows
    // stay responsive while the IDE runs and the program uses no processor
    // time meanwhile. Returns at once for a process without an end notifier
    // (the caller then waits in slices) and when the program is told to quit.
    void waitForProcess(RunningProcess& process);

    const std::string& helpFile() const { return helpFile_; }
    FKorvanaStudio* mainWindow() const { return mainWindow_.get(); }
    FLogo* splash() const { return splash_; }
    // The progress window of the check that is running, if it has one.
    FCheckProgress* checkWindow() const { return checkWindow_; }

  private:
    FKorvanaStudio& ensureMainWindow();

    DialogContext context_;
    Options options_;
    std::string helpFile_;
    std::unique_ptr<FKorvanaStudio> mainWindow_;
    // Owned by the main window, as a Qt child.
    FLogo* splash_ = nullptr;
    FCheckProgress* checkWindow_ = nullptr;
};

} // namespace korvana::dialogs
