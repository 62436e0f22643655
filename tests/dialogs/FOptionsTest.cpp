#include "dialogs/FOptions.h"

#include "QtPrinters.h"
#include "support/MemoryRegistry.h"
#include "support/ScratchDir.h"
#include "text/ScriptedMessageService.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace korvana::dialogs {
namespace {

QString pathText(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

class FOptionsTest : public ::testing::Test {
  protected:
    FOptionsTest() {
        std::filesystem::create_directories(scratch / "Korvana" / "Templates");
        settings.installationFolder = (scratch / "Korvana").string();
        settings.ownProjectsFolder = (scratch / "Projects").string();
        settings.ownTemplatesFolder = (scratch / "Templates").string();
    }

    template <typename Widget> static Widget& control(FOptions& dialog, const char* name) {
        auto* widget = dialog.findChild<Widget*>(QString::fromLatin1(name));
        if (widget == nullptr) {
            throw std::logic_error(std::string("no control ") + name);
        }
        return *widget;
    }

    static void click(FOptions& dialog, const char* button) {
        control<QAbstractButton>(dialog, button).click();
    }

    test::ScratchDir scratch;
    test::MemoryRegistry registry;
    ScriptedMessageService messages;
    TextService texts{Lcid{1033}};
    InstallationSettings settings;
    DialogContext context{registry, messages, texts, settings};
    QWidget owner;
};

TEST_F(FOptionsTest, KeepInterfaceBoxStartsUncheckedAndOnlyOkSetsTheFlag) {
    {
        FOptions dialog(&owner, context);
        control<QCheckBox>(dialog, "chkDontChangeVB_UI").setChecked(true);
        click(dialog, "cmdOK");
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_TRUE(settings.keepInterface);
    }
    {
        FOptions dialog(&owner, context);
        EXPECT_FALSE(control<QCheckBox>(dialog, "chkDontChangeVB_UI").isChecked());
        click(dialog, "cmdCancel");
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_TRUE(settings.keepInterface);
    }
    {
        FOptions dialog(&owner, context);
        click(dialog, "cmdOK");
        EXPECT_FALSE(settings.keepInterface);
    }
}

TEST_F(FOptionsTest, CancelAfterBrowsingStoresNothing) {
    FOptions dialog(&owner, context);
    QStringList startFolders;
    QString answer = pathText(scratch / "Picked");
    dialog.setFolderChooser([&](QWidget*, const QString&, const QString& start) {
        startFolders << start;
        return answer;
    });

    click(dialog, "cmdProjectsPath");
    answer.clear(); // the developer cancels the second selection
    click(dialog, "cmdTemplatesPath");
    EXPECT_EQ(startFolders,
              (QStringList{pathText(scratch / "Projects"), pathText(scratch / "Templates")}));
    EXPECT_EQ(control<QLineEdit>(dialog, "txtProjectsPath").text(), pathText(scratch / "Picked"));
    EXPECT_EQ(control<QLineEdit>(dialog, "txtTemplatesPath").text(),
              pathText(scratch / "Templates"));

    click(dialog, "cmdCancel");
    EXPECT_FALSE(registry.keyExists(Hive::CurrentUser, keys::user));
    EXPECT_EQ(settings.ownProjectsFolder, (scratch / "Projects").string());
    EXPECT_FALSE(std::filesystem::exists(scratch / "Picked"));
}

TEST_F(FOptionsTest, RefusedFolderKeepsTheDialogOpenWithTheFocusOnIt) {
    FOptions dialog(&owner, context);
    dialog.show();
    auto& tabs = control<QTabWidget>(dialog, "tabOptions");
    auto& templates = control<QLineEdit>(dialog, "txtTemplatesPath");
    templates.setText(pathText(scratch / "Korvana" / "Templates"));
    tabs.setCurrentIndex(1);

    click(dialog, "cmdOK");

    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(tabs.currentIndex(), 0);
    EXPECT_EQ(dialog.focusWidget(), &templates);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, texts.LoadText(TextId{591}));
}

TEST_F(FOptionsTest, TextsComeFromTheStringTableInTheUsersLanguage) {
    struct Case {
        int lcid;
        QStringList expected; // title, tabs, the projects label, Cancel, Help
    };
    const Case cases[] = {
        {1033,
         {"KorvanaStudio - Options", "KorvanaStudio ", "Problem repair",
          "Directory for own &Projects", "Cancel", "&Help"}},
        {1031,
         {"KorvanaStudio - Optionen", "KorvanaStudio ", "Problembehebung",
          "Verzeichnis für eigene &Projekte", "Abbrechen", "&Hilfe"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lcid);
        const TextService language{Lcid{c.lcid}};
        DialogContext localized{registry, messages, language, settings};
        FOptions dialog(&owner, localized);
        const auto& tabs = control<QTabWidget>(dialog, "tabOptions");
        EXPECT_EQ((QStringList{dialog.windowTitle(), tabs.tabText(0), tabs.tabText(1),
                               control<QLabel>(dialog, "lbl_0").text(),
                               control<QAbstractButton>(dialog, "cmdCancel").text(),
                               control<QAbstractButton>(dialog, "cmdHelp").text()}),
                  c.expected);
    }
}

TEST_F(FOptionsTest, EveryControlIsNamedForScreenReadersAndReachableByKeyboard) {
    FOptions dialog(&owner, context);
    for (const char* name :
         {"tabOptions", "lbl_0", "txtProjectsPath", "cmdProjectsPath", "lbl_1", "txtTemplatesPath",
          "cmdTemplatesPath", "chkDontChangeVB_UI", "Label1", "cmdOK", "cmdCancel", "cmdHelp"}) {
        SCOPED_TRACE(name);
        const auto& widget = control<QWidget>(dialog, name);
        EXPECT_FALSE(widget.accessibleName().isEmpty());
        EXPECT_FALSE(widget.accessibleName().contains('&'));
        if (qobject_cast<const QLabel*>(&widget) == nullptr) {
            EXPECT_TRUE(widget.focusPolicy() & Qt::TabFocus);
        }
    }
    EXPECT_EQ(control<QLineEdit>(dialog, "txtProjectsPath").accessibleName(),
              "Directory for own Projects");
    EXPECT_EQ(control<QWidget>(dialog, "cmdTemplatesPath").accessibleName(),
              "Browse: Directory for own Templates");
    // The labels' mnemonics lead to their text boxes.
    EXPECT_EQ(control<QLabel>(dialog, "lbl_0").buddy(),
              &control<QLineEdit>(dialog, "txtProjectsPath"));
    EXPECT_EQ(control<QLabel>(dialog, "lbl_1").buddy(),
              &control<QLineEdit>(dialog, "txtTemplatesPath"));
}

TEST_F(FOptionsTest, F1AndHelpAskForTheDialogsHelp) {
    FOptions dialog(&owner, context);
    QList<QWidget*> asked;
    dialog.setContextHelp([&](QWidget* window) { asked << window; });
    dialog.show();

    QTest::keyClick(&control<QLineEdit>(dialog, "txtProjectsPath"), Qt::Key_F1);
    click(dialog, "cmdHelp");

    EXPECT_EQ(asked, (QList<QWidget*>{&dialog, &dialog}));
    EXPECT_TRUE(dialog.isVisible());
}

} // namespace
} // namespace korvana::dialogs
