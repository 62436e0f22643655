#include "dialogs/FLogo.h"

#include "QtPrinters.h"
#include "support/ScratchDir.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace korvana::dialogs {
namespace {

using namespace std::chrono_literals;

constexpr auto shortDisplay = 150ms;

class FLogoTest : public ::testing::Test {
  protected:
    TextService texts{Lcid{1033}};
    QWidget owner;
};

TEST_F(FLogoTest, InitBeforeTheTimerKeepsTheSplashUntilTheTimer) {
    FLogo splash(&owner, texts, {}, shortDisplay);
    QSignalSpy hidden(&splash, &FLogo::splashHidden);
    splash.show();
    splash.InitReady();
    EXPECT_TRUE(splash.InitDone());
    EXPECT_FALSE(splash.TimerElapsed());
    EXPECT_TRUE(splash.isVisible());

    ASSERT_TRUE(hidden.wait(2000));
    EXPECT_TRUE(splash.TimerElapsed());
    EXPECT_FALSE(splash.isVisible());
}

TEST_F(FLogoTest, InitAfterTheTimerHidesTheSplashAtInitReady) {
    FLogo splash(&owner, texts, {}, shortDisplay);
    QSignalSpy hidden(&splash, &FLogo::splashHidden);
    splash.show();
    QTest::qWait(static_cast<int>(shortDisplay.count()) * 3);
    EXPECT_TRUE(splash.TimerElapsed());
    EXPECT_TRUE(splash.isVisible());
    EXPECT_EQ(hidden.count(), 0);

    splash.InitReady();
    EXPECT_FALSE(splash.isVisible());
    EXPECT_EQ(hidden.count(), 1);
}

TEST_F(FLogoTest, SplashShowsTheLogoLineAndHidesTheAboutControls) {
    FLogo splash(&owner, texts, {}, shortDisplay);
    splash.show();
    EXPECT_EQ(splash.windowTitle(), "KorvanaStudio");
    EXPECT_EQ(splash.parentWidget(), &owner);
    EXPECT_TRUE(splash.windowFlags().testFlag(Qt::FramelessWindowHint));

    QStringList visibleTexts;
    for (const QLabel* label : splash.findChildren<QLabel*>()) {
        if (label->isVisible() && !label->text().isEmpty()) {
            visibleTexts << label->text();
        }
    }
    EXPECT_EQ(visibleTexts, QStringList{"for Visual Basic 5.0 and 6.0"});
    for (const QPushButton* button : splash.findChildren<QPushButton*>()) {
        EXPECT_FALSE(button->isVisible());
    }
}

TEST_F(FLogoTest, FirstPaintIsTracedOnce) {
    test::ScratchDir scratch;
    const auto traceFile = scratch / "trace.txt";
    const long long before = StartupTrace::monotonicNanoseconds();
    FLogo splash(&owner, texts, StartupTrace(traceFile), shortDisplay);
    splash.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&splash));
    QTest::qWait(50);
    splash.repaint();

    const std::string trace = test::readFile(traceFile);
    ASSERT_EQ(trace.rfind("splash-shown ", 0), 0u) << trace;
    EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), 1);
    const long long shownAt = std::stoll(trace.substr(trace.find(' ') + 1));
    EXPECT_GE(shownAt, before);
    EXPECT_LE(shownAt, StartupTrace::monotonicNanoseconds());
}

} // namespace
} // namespace korvana::dialogs
