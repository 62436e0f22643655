#include "dialogs/QtStartupHost.h"

#include "dialogs/DialogWindows.h"
#include "dialogs/FProjectNew.h"
#include "dialogs/FProjectOpen.h"
#include "dialogs/QtText.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <atomic>
#include <exception>
#include <optional>
#include <thread>

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

// The check runs on a worker thread: a single step or the compaction of a
// large project can take seconds inside one SQLite statement, and the window
// must repaint and take Cancel meanwhile. The worker and this thread share
// only the stop flag; reports and the end reach this thread as queued calls,
// and whatever the check touches (registry, project files, log) this thread
// leaves alone until the worker has been joined. A question the check asks
// comes here through the message service.
dbupgrade::CheckResult QtStartupHost::runCheck(const std::string& projectName,
                                               const CheckRun& check) {
    FCheckProgress window(&ensureMainWindow(), context_.texts, qtText(projectName));
    checkWindow_ = &window;
    std::atomic<bool> stop{false};
    QObject::connect(&window, &FCheckProgress::cancelRequested, [&stop] { stop = true; });
    QTimer::singleShot(options_.checkWindowDelay, &window, [&window] { window.show(); });

    const dbupgrade::CheckObserver observer{
        [&window](const dbupgrade::CheckProgress& progress) {
            // The report's version may not outlive this call.
            QMetaObject::invokeMethod(
                &window,
                [&window, report = progress, version = std::string(progress.version)]() mutable {
                    report.version = version;
                    window.showProgress(report);
                },
                Qt::QueuedConnection);
        },
        [&stop] { return stop.load(); }};

    QEventLoop loop;
    std::optional<dbupgrade::CheckResult> result;
    std::exception_ptr failure;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        try {
            result = check(observer);
        } catch (...) {
            failure = std::current_exception();
        }
        done = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    // An application told to quit ends every running loop at once, and a new
    // one with it; the worker may still need this thread for a question, so
    // events are handled here until the check is over.
    while (!done) {
        loop.exec();
        if (!done) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    }
    worker.join();
    checkWindow_ = nullptr;
    if (failure) {
        std::rethrow_exception(failure);
    }
    return *result;
}

} // namespace korvana::dialogs
