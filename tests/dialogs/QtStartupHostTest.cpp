#include "dialogs/QtStartupHost.h"

#include "QtPrinters.h"
#include "platform/Error.h"
#include "support/MemoryRegistry.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <thread>

namespace korvana::dialogs {
namespace {

using namespace std::chrono_literals;

class QtStartupHostTest : public ::testing::Test {
  protected:
    TextService texts{Lcid{1031}};
    QtMessageService messages{texts};
    test::MemoryRegistry registry;
    InstallationSettings settings;
    QtStartupHost host{{registry, messages, texts, settings}, {StartupTrace(), 100ms, &messages}};
};

TEST_F(QtStartupHostTest, SplashOutlivesTheUnloadedMainWindowUntilItsTimeIsUp) {
    host.showMainWindow();
    host.showSplash();
    FLogo* splash = host.splash();
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(splash->parentWidget(), host.mainWindow());
    EXPECT_EQ(host.mainWindow()->windowTitle(), "KorvanaStudio");

    host.initReady();
    host.unloadMainWindow();
    EXPECT_FALSE(host.mainWindow()->isVisible());
    EXPECT_TRUE(splash->isVisible());
    QSignalSpy hidden(splash, &FLogo::splashHidden);
    ASSERT_TRUE(hidden.wait(2000));
    EXPECT_FALSE(splash->isVisible());
}

// Shows of progress windows, seen by the thread that owns the windows.
class ProgressWindowShows : public QObject {
  public:
    ProgressWindowShows() { QApplication::instance()->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && qobject_cast<FCheckProgress*>(watched) != nullptr) {
            ++count;
        }
        return false;
    }
    int count = 0;
};

// A check that reports its steps until it is asked to stop (or ten seconds
// have passed), as a long one on a large project does.
dbupgrade::CheckResult slowCheck(const dbupgrade::CheckObserver& observer) {
    for (int step = 1; step <= 1000; ++step) {
        observer.report(
            {dbupgrade::CheckStage::Step, std::min(step, 27), 27, "4.01.001", TextId{720}});
        if (observer.wantsStop()) {
            return {dbupgrade::CheckOutcome::Cancelled};
        }
        std::this_thread::sleep_for(10ms);
    }
    return {dbupgrade::CheckOutcome::Checked};
}

TEST_F(QtStartupHostTest, SlowCheckShowsItsWindowOwnedByTheMainWindowAndStopsOnCancel) {
    QtStartupHost slowHost{{registry, messages, texts, settings},
                           {StartupTrace(), 100ms, &messages, 50ms}};
    slowHost.showMainWindow();
    QString stageSeen;
    QWidget* ownerSeen = nullptr;
    QTimer clicker;
    QObject::connect(&clicker, &QTimer::timeout, [&] {
        FCheckProgress* window = slowHost.checkWindow();
        if (window == nullptr || !window->isVisible() ||
            window->findChild<QProgressBar*>("prgStages")->value() < 2) {
            return;
        }
        stageSeen = window->findChild<QLabel*>("lblStage")->text();
        ownerSeen = window->parentWidget();
        QTest::mouseClick(window->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
        clicker.stop();
    });
    clicker.start(10);

    const auto result = slowHost.runCheck("Kesselhaus", slowCheck);
    EXPECT_EQ(result.outcome, dbupgrade::CheckOutcome::Cancelled);
    EXPECT_EQ(stageSeen, "4.01.001 – Meldungsparameter, Schrift- und Trendnamen");
    EXPECT_EQ(ownerSeen, slowHost.mainWindow());
    EXPECT_EQ(slowHost.checkWindow(), nullptr);
}

TEST_F(QtStartupHostTest, QuickCheckShowsNoWindowAndPassesItsEndOn) {
    host.showMainWindow();
    const ProgressWindowShows shows;
    const auto result = host.runCheck("Kesselhaus", [](const dbupgrade::CheckObserver& observer) {
        observer.report({dbupgrade::CheckStage::Compaction, 1, 1});
        return dbupgrade::CheckResult{dbupgrade::CheckOutcome::Checked, "4.05.000"};
    });
    EXPECT_EQ(result.storedVersion, "4.05.000");
    EXPECT_THROW(host.runCheck("Kesselhaus",
                               [](const dbupgrade::CheckObserver&) -> dbupgrade::CheckResult {
                                   throw Error("the project store is damaged");
                               }),
                 Error);
    EXPECT_EQ(shows.count, 0);
}

// The check asks whether to make a read-only file writable from its own
// thread; the box is shown by the thread that owns the windows.
TEST_F(QtStartupHostTest, QuestionFromTheCheckIsAskedByTheWindowsThread) {
    host.showMainWindow();
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            QTest::keyClick(box, Qt::Key_Return);
        }
    });
    answerer.start(10);
    const auto result = host.runCheck("Kesselhaus", [&](const dbupgrade::CheckObserver&) {
        const Answer answer = messages.show(
            {"KorvanaStudio", "Make it writable?", MessageStyle::overwriteQuestion()});
        return dbupgrade::CheckResult{
            dbupgrade::CheckOutcome::Skipped, {}, {}, std::string(answerName(answer))};
    });
    EXPECT_EQ(result.reason, "No");
}

// While the IDE runs the program sleeps in its event loop: timers still fire,
// and the wait itself costs next to no processor time.
TEST_F(QtStartupHostTest, WaitsForAProcessInTheEventLoopWithoutPolling) {
    const auto runner = makeProcessRunner();
    const auto process = runner->start(R"("/bin/sh" "-c" "sleep 0.3")");
    bool timerFired = false;
    QTimer::singleShot(50ms, [&] { timerFired = true; });

    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    host.waitForProcess(*process);
    rusage after{};
    getrusage(RUSAGE_SELF, &after);

    EXPECT_TRUE(process->waitFor(0ms));
    EXPECT_EQ(process->exitCode(), 0);
    EXPECT_TRUE(timerFired);
    const auto cpu = [](const rusage& usage) {
        return std::chrono::seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               std::chrono::microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    };
    EXPECT_LT(cpu(after) - cpu(before), 100ms);
}

} // namespace
} // namespace korvana::dialogs
