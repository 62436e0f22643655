#include "dialogs/FCheckProgress.h"

#include "AccessibleNames.h"
#include "QtPrinters.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace korvana::dialogs {
namespace {

using dbupgrade::CheckProgress;
using dbupgrade::CheckStage;

class FCheckProgressTest : public ::testing::Test {
  protected:
    QString stage() const { return window.findChild<QLabel*>("lblStage")->text(); }
    QString project() const { return window.findChild<QLabel*>("lblProject")->text(); }
    QProgressBar& bar() const { return *window.findChild<QProgressBar*>("prgStages"); }
    QPushButton& cancel() const { return *window.findChild<QPushButton*>("cmdCancel"); }

    TextService texts{englishLanguage};
    FCheckProgress window{nullptr, texts, QStringLiteral("Kesselhaus")};
};

TEST_F(FCheckProgressTest, ShowsTheProjectTheStageInWordsAndTheBarOverTheStages) {
    window.show();
    window.showProgress({CheckStage::Step, 4, 27, "4.01.004", TextId{723}});
    EXPECT_EQ(window.windowTitle(), "KorvanaStudio - Database Check");
    EXPECT_EQ(project(), "The database of the project 'Kesselhaus' is being brought up to date.");
    EXPECT_EQ(stage(), "4.01.004 – trend units, trend names and archive files");
    EXPECT_EQ(bar().maximum(), 27);
    EXPECT_EQ(bar().value(), 4);
    EXPECT_EQ(bar().accessibleDescription(), "Step 4 of 27");
    EXPECT_EQ(cancel().text(), "Cancel");
    EXPECT_TRUE(cancel().isEnabled());
    expectEveryShownControlNamed(window);

    window.showProgress({CheckStage::Compaction, 27, 27});
    EXPECT_EQ(stage(), "Compacting the project file");
    EXPECT_EQ(bar().value(), 27);
}

// Cancel, Esc and the close button each ask to stop; the request is sent
// once, the window stays until the check has ended, and later reports do not
// take back the word that the check is stopping.
TEST_F(FCheckProgressTest, CancelAsksOnceToStopAndSaysSo) {
    window.show();
    window.showProgress({CheckStage::Step, 2, 27, "4.01.002", TextId{721}});
    QSignalSpy requested(&window, &FCheckProgress::cancelRequested);
    QTest::mouseClick(&cancel(), Qt::LeftButton);
    QTest::mouseClick(&cancel(), Qt::LeftButton);
    QTest::keyClick(&window, Qt::Key_Escape);
    window.close();

    EXPECT_EQ(requested.count(), 1);
    EXPECT_TRUE(window.stopRequested());
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(cancel().isEnabled());
    EXPECT_EQ(stage(), "Cancelling ...");
    window.showProgress({CheckStage::Step, 3, 27, "4.01.003", TextId{722}});
    EXPECT_EQ(stage(), "Cancelling ...");
    EXPECT_FALSE(cancel().isEnabled());
}

TEST_F(FCheckProgressTest, ReplacementCanNoLongerBeCancelled) {
    window.show();
    window.showProgress({CheckStage::Replacement, 27, 27});
    QSignalSpy requested(&window, &FCheckProgress::cancelRequested);
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_EQ(requested.count(), 0);
    EXPECT_FALSE(window.stopRequested());
    EXPECT_FALSE(cancel().isEnabled());
    EXPECT_EQ(stage(), "Replacing the project file (can no longer be cancelled)");
}

} // namespace
} // namespace korvana::dialogs
