#include "dialogs/QtStartupHost.h"

#include "QtPrinters.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace korvana::dialogs {
namespace {

using namespace std::chrono_literals;

class QtStartupHostTest : public ::testing::Test {
  protected:
    TextService texts{Lcid{1031}};
    QtMessageService messages{texts};
    QtStartupHost host{texts, {StartupTrace(), 100ms, &messages}};
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

TEST_F(QtStartupHostTest, DialogsNotYetBuiltAnswerAsIfClosed) {
    EXPECT_EQ(host.chooseProject().EProjectOpen, ProjectOpen::Nothing);
    CKVProject project;
    project.EProjectOpen = ProjectOpen::CreateFromTemplate;
    host.showNewProjectDialog(project);
    EXPECT_EQ(project.EProjectOpen, ProjectOpen::Nothing);
}

TEST_F(QtStartupHostTest, CheckProgressShowsInTheMainWindow) {
    host.showMainWindow();
    host.showCheckProgress({3, 12, "4.01.003"});
    EXPECT_EQ(host.mainWindow()->status(), "Version 4.01.003 (3/12)");
}

} // namespace
} // namespace korvana::dialogs
