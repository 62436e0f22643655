#pragma once

#include "dialogs/DialogContext.h"
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
    void showCheckProgress(const dbupgrade::CheckProgress& progress) override;

    // Sleeps in the event loop until the process ends, so that the windows
    // stay responsive while the IDE runs and the program uses no processor
    // time meanwhile. Returns at once for a process without an end notifier
    // (the caller then waits in slices) and when the program is told to quit.
    void waitForProcess(RunningProcess& process);

    const std::string& helpFile() const { return helpFile_; }
    FKorvanaStudio* mainWindow() const { return mainWindow_.get(); }
    FLogo* splash() const { return splash_; }

  private:
    FKorvanaStudio& ensureMainWindow();

    DialogContext context_;
    Options options_;
    std::string helpFile_;
    std::unique_ptr<FKorvanaStudio> mainWindow_;
    // Owned by the main window, as a Qt child.
    FLogo* splash_ = nullptr;
};

// "Version 4.01.003 (3/12)": the check's step as the main window shows it.
QString checkProgressText(const dbupgrade::CheckProgress& progress);

} // namespace korvana::dialogs
