#include "dialogs/QtStartupHost.h"

#include "dialogs/DialogWindows.h"
#include "dialogs/FProjectNew.h"
#include "dialogs/FProjectOpen.h"
#include "dialogs/QtText.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>

namespace korvana::dialogs {

QtStartupHost::QtStartupHost(DialogContext context, Options options)
    : context_(context), options_(std::move(options)) {}

QtStartupHost::~QtStartupHost() = default;

FKorvanaStudio& QtStartupHost::ensureMainWindow() {
    if (!mainWindow_) {
        mainWindow_ = std::make_unique<FKorvanaStudio>(context_.texts);
        if (options_.messages != nullptr) {
            options_.messages->setFallbackOwner(mainWindow_.get());
        }
    }
    return *mainWindow_;
}

void QtStartupHost::showMainWindow() {
    ensureMainWindow().show();
}

void QtStartupHost::showSplash() {
    if (splash_ == nullptr) {
        splash_ =
            new FLogo(&ensureMainWindow(), context_.texts, options_.trace, options_.splashTime);
    }
    splash_->show();
    processEvents();
}

void QtStartupHost::initReady() {
    if (splash_ != nullptr) {
        splash_->InitReady();
    }
}

CKVProject QtStartupHost::chooseProject(const ProjectDialogServices& services) {
    FProjectOpen dialog(&ensureMainWindow(), context_, services.registration,
                        projectOpenWindows(context_));
    return dialog.ShowDialog(false);
}

void QtStartupHost::showNewProjectDialog(CKVProject& project,
                                         const ProjectDialogServices& services) {
    // A dialog opened from a group's dialog is owned by that one.
    QWidget* owner = QApplication::activeModalWidget();
    FProjectNew dialog(owner != nullptr ? owner : &ensureMainWindow(), context_, services,
                       projectNewWindows(context_, *this, services));
    dialog.ShowDialog(project);
}

// The main window goes off screen but stays as the splash's owner: the splash
// may still be within its display time and hides itself while the IDE runs.
void QtStartupHost::unloadMainWindow() {
    if (mainWindow_) {
        mainWindow_->hide();
    }
}

void QtStartupHost::processEvents() {
    QCoreApplication::processEvents();
}

void QtStartupHost::waitForProcess(RunningProcess& process) {
    const int notifier = process.endNotifier();
    if (notifier < 0) {
        return;
    }
    // The notifier stays readable once the process has ended, so an end
    // between the look below and the loop's start still wakes the loop.
    QSocketNotifier ended(notifier, QSocketNotifier::Read);
    QEventLoop loop;
    QObject::connect(&ended, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
    if (!process.waitFor(std::chrono::milliseconds(0))) {
        loop.exec();
    }
}

void QtStartupHost::showCheckProgress(const dbupgrade::CheckProgress& progress) {
    ensureMainWindow().showStatus(checkProgressText(progress));
    processEvents();
}

QString checkProgressText(const dbupgrade::CheckProgress& progress) {
    return QStringLiteral("Version %1 (%2/%3)")
        .arg(qtText(progress.version))
        .arg(progress.step)
        .arg(progress.count);
}

} // namespace korvana::dialogs
