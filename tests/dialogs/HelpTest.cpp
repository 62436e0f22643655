#include "dialogs/Help.h"

#include "QtPrinters.h"
#include "support/ScratchDir.h"
#include "text/ScriptedMessageService.h"

#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <optional>

namespace korvana::dialogs {
namespace {

// Records what would have been opened instead of starting a viewer.
struct RecordingOpener {
    bool handlerExists = true;
    std::vector<QUrl> opened;

    UrlOpener opener() {
        return [this](const QUrl& url) {
            opened.push_back(url);
            return handlerExists;
        };
    }
};

class HelpTest : public ::testing::Test {
  protected:
    std::filesystem::path helpFile(const std::string& name) {
        const auto file = scratch / "HelpFiles" / name;
        std::filesystem::create_directories(file.parent_path());
        test::writeFile(file, "help");
        return file;
    }

    test::ScratchDir scratch;
    ScriptedMessageService messages;
    TextService texts{englishLanguage};
    RecordingOpener desktop;
};

TEST_F(HelpTest, AFileThatIsThereGoesToTheDesktopsViewer) {
    const auto file = helpFile("ProjektManagement.chm");
    // Stored paths may carry backslashes.
    std::string stored = file.string();
    std::replace(stored.begin(), stored.end(), '/', '\\');

    EXPECT_TRUE(OpenHelpFile(stored, messages, texts, desktop.opener()));
    ASSERT_EQ(desktop.opened.size(), 1u);
    EXPECT_EQ(desktop.opened[0], QUrl::fromLocalFile(QString::fromStdString(file.string())));
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(HelpTest, AMissingFileOrNoViewerIsSaidInsteadOfNothingHappening) {
    const auto there = helpFile("KorvanaStudio.chm").string();
    const auto missing = (scratch / "HelpFiles" / "Missing.chm").string();
    const auto folder = (scratch / "HelpFiles").string();
    struct Case {
        std::string path;
        bool handlerExists;
        std::size_t openerCalls;
        std::string text;
    } cases[] = {
        {missing, true, 0, "The help file '" + missing + "' does not exist."},
        {folder, true, 0, "The help file '" + folder + "' does not exist."},
        // A Windows drive names nothing here.
        {"C:\\Korvana\\HelpFiles\\KorvanaStudio.chm", true, 0,
         "The help file 'C:\\Korvana\\HelpFiles\\KorvanaStudio.chm' does not exist."},
        {there, false, 1, "No program is set up to show the help file '" + there + "'."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        ScriptedMessageService told;
        RecordingOpener opener{c.handlerExists, {}};
        EXPECT_FALSE(OpenHelpFile(c.path, told, texts, opener.opener()));
        EXPECT_EQ(opener.opened.size(), c.openerCalls);
        ASSERT_EQ(told.shown().size(), 1u);
        EXPECT_EQ(told.shown()[0].text, c.text);
        EXPECT_EQ(told.shown()[0].title, "KorvanaStudio");
        EXPECT_EQ(told.shown()[0].style, MessageStyle::exclamation());
    }
}

TEST_F(HelpTest, F1OpensTheHelpOnlyFromItsOwnDialog) {
    QDialog dialog;
    auto* field = new QLineEdit(&dialog);
    (new QVBoxLayout(&dialog))->addWidget(field);
    int opened = 0;
    installContextHelp(dialog, [&] { ++opened; });
    QDialog other;
    auto* otherField = new QLineEdit(&other);

    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    field->setFocus();
    QTest::keyClick(field, Qt::Key_F1);
    EXPECT_EQ(opened, 1);

    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    otherField->setFocus();
    QTest::keyClick(otherField, Qt::Key_F1);
    EXPECT_EQ(opened, 1);
}

} // namespace
} // namespace korvana::dialogs
