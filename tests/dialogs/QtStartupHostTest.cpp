#include "dialogs/QtStartupHost.h"

#include "QtPrinters.h"
#include "support/MemoryRegistry.h"

#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/resource.h>

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

TEST_F(QtStartupHostTest, CheckProgressShowsInTheMainWindow) {
    host.showMainWindow();
    host.showCheckProgress({3, 12, "4.01.003"});
    EXPECT_EQ(host.mainWindow()->status(), "Version 4.01.003 (3/12)");
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
