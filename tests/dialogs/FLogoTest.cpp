#include "dialogs/FLogo.h"

#include "QtPrinters.h"
#include "dialogs/ProgramVersion.h"
#include "platform/Error.h"
#include "services/InstallationKeys.h"
#include "support/MemoryRegistry.h"
#include "support/ScratchDir.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>
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

// The about window is modal: what the user sees is looked at, and the window
// closed, from inside its own event loop. A window that never closes is
// closed after a while, so a broken test fails instead of hanging.
class AboutWindowTest : public FLogoTest {
  protected:
    AboutWindowTest() {
        registry.writeString(Hive::LocalMachine, keys::installation, "Version", "4.03");
        registry.writeString(Hive::LocalMachine, keys::installation, "SP", "2");
    }

    // Runs `show` (which blocks while the window is open) and, once the
    // window is up, `whileOpen` on it.
    void whileShown(const std::function<void()>& show,
                    const std::function<void(QDialog&)>& whileOpen) {
        bool closedByTest = true;
        QTimer::singleShot(0, [&] {
            auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(window, nullptr);
            whileOpen(*window);
        });
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&] {
            closedByTest = false;
            if (QWidget* window = QApplication::activeModalWidget()) {
                window->close();
            }
        });
        guard.start(5000);
        show();
        EXPECT_TRUE(closedByTest) << "the about window did not close";
    }

    // The value label a screen reader names after the caption beside it (the
    // caption itself, named by its own text, does not count).
    static QLabel* labelNamed(QWidget& window, const QString& accessibleName) {
        for (QLabel* label : window.findChildren<QLabel*>()) {
            if (label->accessibleName() == accessibleName && label->text() != accessibleName) {
                return label;
            }
        }
        return nullptr;
    }

    test::MemoryRegistry registry;
};

TEST_F(AboutWindowTest, ShowsBothVersionsInAFramedWindowThatTheTimerLeavesAlone) {
    FLogo about(&owner, texts, {}, shortDisplay);
    // With start-up over, only the stopped timer keeps the window up.
    about.InitReady();
    whileShown([&] { about.ShowInfo(registry); },
               [&](QDialog& window) {
                   EXPECT_EQ(&window, &about);
                   EXPECT_TRUE(window.isModal());
                   EXPECT_EQ(window.windowTitle(), "Info about KorvanaStudio");
                   EXPECT_FALSE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
                   EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowTitleHint));

                   // The version labels are named after the captions beside them.
                   QLabel* installed = labelNamed(window, "Version");
                   QLabel* program = labelNamed(window, "File Version");
                   ASSERT_NE(installed, nullptr);
                   ASSERT_NE(program, nullptr);
                   EXPECT_TRUE(installed->isVisible());
                   EXPECT_EQ(installed->text(), "4.03 (SP 2)");
                   EXPECT_EQ(program->text().toStdString(), programFileVersion);
                   EXPECT_TRUE(program->text().contains(
                       QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+\\.\\d+$"))));

                   QTest::qWait(static_cast<int>(shortDisplay.count()) * 3);
                   EXPECT_TRUE(window.isVisible()) << "the display timer hid the about window";

                   auto* ok = window.findChild<QPushButton*>();
                   ASSERT_NE(ok, nullptr);
                   EXPECT_EQ(ok->text(), "OK");
                   ok->click();
               });
    EXPECT_FALSE(about.isVisible());
}

TEST_F(AboutWindowTest, EveryShownControlHasAnAccessibleName) {
    FLogo about(&owner, texts);
    whileShown([&] { about.ShowInfo(registry); },
               [&](QDialog& window) {
                   for (const QWidget* control : window.findChildren<QWidget*>()) {
                       // The separator line and the empty first caption say nothing.
                       const auto* label = qobject_cast<const QLabel*>(control);
                       const bool decoration =
                           label ? label->text().isEmpty() && label->pixmap().isNull()
                                 : qstrcmp(control->metaObject()->className(), "QFrame") == 0;
                       if (control->isVisible() && !decoration) {
                           EXPECT_FALSE(control->accessibleName().isEmpty())
                               << control->metaObject()->className() << " "
                               << (label ? label->text().toStdString() : std::string());
                       }
                   }
                   window.close();
               });
}

TEST_F(AboutWindowTest, EnterAndEscCloseIt) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        SCOPED_TRACE(key);
        whileShown([&] { ShowInfo(&owner, texts, registry); },
                   [&](QDialog& window) {
                       EXPECT_EQ(window.parentWidget(), &owner);
                       QTest::keyClick(&window, key);
                   });
        // The window was made for this showing and is gone with it.
        EXPECT_TRUE(owner.findChildren<FLogo*>().isEmpty());
    }
}

TEST_F(AboutWindowTest, AnUnreadableRegistryShowsNoWindow) {
    class BrokenRegistry : public test::MemoryRegistry {
        std::optional<RegistryValue> value(Hive, std::string_view,
                                           std::string_view) const override {
            throw Error("the hive cannot be read");
        }
    } broken;
    bool shown = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* window = QApplication::activeModalWidget()) {
            shown = true;
            window->close();
        }
    });
    EXPECT_THROW(ShowInfo(&owner, texts, broken), Error);
    QCoreApplication::processEvents();
    EXPECT_FALSE(shown);
    EXPECT_TRUE(owner.findChildren<FLogo*>().isEmpty());
}

} // namespace
} // namespace korvana::dialogs
