#include "dialogs/FAddLanguage.h"

#include "QtPrinters.h"
#include "project/SystemLanguages.h"

#include <QAccessible>
#include <QHeaderView>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace korvana::dialogs {
namespace {

class AddLanguage : public ::testing::Test {
  protected:
    // The project's languages: German, the developer language, and English.
    std::vector<LanguageRow> project() const {
        auto german = languageRow(germanLanguage, texts.language());
        german.checked = true;
        return {german, languageRow(englishLanguage, texts.language())};
    }

    QTreeWidget& list() const { return *form.findChild<QTreeWidget*>("lvwLanguages"); }
    QPushButton& button(const char* name) const { return *form.findChild<QPushButton*>(name); }

    QTreeWidgetItem* item(const QString& lcidText) const {
        const auto found = list().findItems(lcidText, Qt::MatchExactly, 0);
        return found.isEmpty() ? nullptr : found.front();
    }
    QStringList shown() const {
        QStringList column;
        for (int row = 0; row < list().topLevelItemCount(); ++row) {
            column << list().topLevelItem(row)->text(0);
        }
        return column;
    }
    void check(const QString& lcidText) const { item(lcidText)->setCheckState(0, Qt::Checked); }
    void clickHeader(int section) const {
        QHeaderView* header = list().header();
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
    }

    // ShowDialog as the new-project dialog calls it, with `user` acting in the
    // shown dialog.
    void showDialog(std::vector<LanguageRow>& languages, const std::function<void()>& user) {
        QTimer::singleShot(0, &form, user);
        form.ShowDialog(languages);
    }

    TextService texts{englishLanguage};
    FAddLanguage form{nullptr, texts};
};

// The project's own languages are not offered; only OK adds, and only what
// is checked.
TEST_F(AddLanguage, OkAddsTheCheckedLanguagesAndCancelNothing) {
    for (const char* pressed : {"cmdOK", "cmdCancel"}) {
        SCOPED_TRACE(pressed);
        auto languages = project();
        showDialog(languages, [&] {
            EXPECT_EQ(item(" 1031"), nullptr);
            EXPECT_EQ(item(" 1033"), nullptr);
            check(" 3082");
            check(" 1036");
            button(pressed).click();
        });
        auto expected = project();
        if (pressed == std::string("cmdOK")) {
            expected.push_back(languageRow(Lcid{1036}, englishLanguage));
            expected.push_back(languageRow(Lcid{3082}, englishLanguage));
        }
        EXPECT_EQ(languages, expected);
    }
}

TEST_F(AddLanguage, StudioLanguagesAreBold) {
    form.prepare({});
    EXPECT_TRUE(item(" 1031")->font(0).bold());
    EXPECT_TRUE(item(" 1033")->font(1).bold());
    EXPECT_FALSE(item(" 1036")->font(0).bold());
    EXPECT_FALSE(item("20490")->font(1).bold());
}

// The LCID column holds padded numbers: a number of five digits goes after
// those of four, whichever way the list is sorted.
TEST_F(AddLanguage, HeaderClicksSortAndCheckedLanguagesFollowTheShownOrder) {
    form.prepare(project());
    form.show();
    clickHeader(1);
    EXPECT_EQ(list().topLevelItem(0)->text(1), "Afrikaans (South Africa)");
    clickHeader(0);
    EXPECT_EQ(shown().front(), " 1025");
    EXPECT_EQ(shown().back(), "58380");
    clickHeader(0);
    EXPECT_EQ(shown().front(), "58380");
    EXPECT_LT(shown().indexOf("20490"), shown().indexOf(" 3082"));

    check(" 1036");
    check("20490");
    const auto checked = form.checkedLanguages();
    ASSERT_EQ(checked.size(), 2u);
    EXPECT_EQ(checked[0].key, "L20490");
    EXPECT_EQ(checked[1].key, "L1036");
}

TEST_F(AddLanguage, KeyboardAndDoubleClickToggleTheCheckMark) {
    form.prepare(project());
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    ASSERT_EQ(form.focusWidget(), &list());
    EXPECT_TRUE(list().selectedItems().isEmpty());
    EXPECT_EQ(list().currentItem(), list().topLevelItem(0));

    QTest::keyClick(&list(), Qt::Key_Down);
    QTest::keyClick(&list(), Qt::Key_Space);
    QTreeWidgetItem* second = list().topLevelItem(1);
    EXPECT_EQ(list().currentItem(), second);
    EXPECT_EQ(second->checkState(0), Qt::Checked);
    QTest::keyClick(&list(), Qt::Key_Space);
    EXPECT_EQ(second->checkState(0), Qt::Unchecked);

    // On the name, away from the box.
    const QPoint name = list().visualItemRect(second).center();
    for (const auto expected : {Qt::Checked, Qt::Unchecked}) {
        QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, name);
        QTest::mouseDClick(list().viewport(), Qt::LeftButton, {}, name);
        EXPECT_EQ(second->checkState(0), expected);
    }
}

TEST_F(AddLanguage, TextsAndAccessibleNamesInTheUsersLanguage) {
    struct Case {
        Lcid language;
        QStringList expected; // caption, headers, buttons; then the spoken names
    };
    const Case cases[] = {
        {englishLanguage,
         {"Sprache hinzufügen", "LCID", "Language", "OK", "Cancel", "&Help", //
          "Sprache hinzufügen", "OK", "Cancel", "Help"}},
        {germanLanguage,
         {"Sprache hinzufügen", "LCID", "Sprache", "OK", "Abbrechen", "&Hilfe", //
          "Sprache hinzufügen", "OK", "Abbrechen", "Hilfe"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language.value);
        const TextService language{c.language};
        FAddLanguage dialog(nullptr, language);
        const auto* lvw = dialog.findChild<QTreeWidget*>("lvwLanguages");
        QStringList captions{dialog.windowTitle(), lvw->headerItem()->text(0),
                             lvw->headerItem()->text(1)};
        QStringList spoken{QAccessible::queryAccessibleInterface(const_cast<QTreeWidget*>(lvw))
                               ->text(QAccessible::Name)};
        for (const char* name : {"cmdOK", "cmdCancel", "cmdHelp"}) {
            auto* control = dialog.findChild<QPushButton*>(name);
            captions << control->text();
            spoken << QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
        }
        EXPECT_EQ(captions + spoken, c.expected);
    }
}

} // namespace
} // namespace korvana::dialogs
