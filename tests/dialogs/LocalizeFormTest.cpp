#include "dialogs/LocalizeForm.h"

#include "QtPrinters.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace korvana::dialogs {
namespace {

// A form as the dialogs build them: tagged captions at several depths, tagged
// headers and tabs, and controls that must be left alone.
struct SampleForm {
    QWidget form;
    QLabel* label = new QLabel("designer label", &form);
    QPushButton* button = new QPushButton("designer button", &form);
    QGroupBox* group = new QGroupBox("designer group", &form);
    QCheckBox* nested = new QCheckBox("designer check", group);
    QLabel* untagged = new QLabel("keep me", &form);
    QLabel* notANumber = new QLabel("keep me too", &form);
    QLineEdit* edit = new QLineEdit("typed text", &form);
    QTreeWidget* tree = new QTreeWidget(&form);
    QTableWidget* table = new QTableWidget(0, 3, &form);
    QTabWidget* tabs = new QTabWidget(&form);
    QAction* action = new QAction("designer action", &form);

    SampleForm() {
        form.setWindowTitle("designer title");
        setTag(form, TextId{250});
        setTag(*label, TextId{251});
        button->setProperty(tagProperty, "11"); // as a designer would store it: text
        setTag(*group, TextId{202});
        setTag(*nested, TextId{12});
        notANumber->setProperty(tagProperty, "abc");
        setTag(*edit, TextId{10}); // a text box has no caption
        tree->setColumnCount(3);
        tree->setHeaderLabels({"c0", "c1", "c2"});
        setTags(*tree, {10, 0, 11});
        table->setHorizontalHeaderItem(0, new QTableWidgetItem("h0"));
        table->setProperty(tagsProperty, QStringList{"", "11", "12", "10"}); // longer than columns
        tabs->addTab(new QWidget, "t0");
        tabs->addTab(new QWidget, "t1");
        setTags(*tabs, {202});
        setTag(*action, TextId{11});
    }
};

struct LanguageCase {
    Lcid language;
    const char* title;
    const char* label;
    const char* cancel;
    const char* fileVersion;
    const char* help;
};

class LocalizeFormTest : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(LocalizeFormTest, TaggedTextsComeFromTheLanguageBlock) {
    const auto& expected = GetParam();
    SampleForm sample;
    LocalizeForm(sample.form, TextService(expected.language));

    EXPECT_EQ(sample.form.windowTitle(), expected.title);
    EXPECT_EQ(sample.label->text(), expected.label);
    EXPECT_EQ(sample.button->text(), expected.cancel);
    EXPECT_EQ(sample.group->title(), expected.fileVersion);
    EXPECT_EQ(sample.nested->text(), expected.help);
    EXPECT_EQ(sample.action->text(), expected.cancel);

    EXPECT_EQ(sample.tree->headerItem()->text(0), "OK");
    EXPECT_EQ(sample.tree->headerItem()->text(1), "c1");
    EXPECT_EQ(sample.tree->headerItem()->text(2), expected.cancel);
    EXPECT_EQ(sample.table->horizontalHeaderItem(0)->text(), "h0");
    ASSERT_NE(sample.table->horizontalHeaderItem(1), nullptr);
    EXPECT_EQ(sample.table->horizontalHeaderItem(1)->text(), expected.cancel);
    EXPECT_EQ(sample.table->horizontalHeaderItem(2)->text(), expected.help);
    EXPECT_EQ(sample.tabs->tabText(0), expected.fileVersion);
    EXPECT_EQ(sample.tabs->tabText(1), "t1");
}

TEST_P(LocalizeFormTest, ControlsWithoutCaptionOrNumberAreLeftAlone) {
    SampleForm sample;
    LocalizeForm(sample.form, TextService(GetParam().language));
    EXPECT_EQ(sample.untagged->text(), "keep me");
    EXPECT_EQ(sample.notANumber->text(), "keep me too");
    EXPECT_EQ(sample.edit->text(), "typed text");
}

INSTANTIATE_TEST_SUITE_P(
    Languages, LocalizeFormTest,
    ::testing::Values(LanguageCase{Lcid{1031}, "KorvanaStudio", "für Visual Basic 5.0 und 6.0",
                                   "Abbrechen", "Dateiversion", "&Hilfe"},
                      LanguageCase{Lcid{1033}, "KorvanaStudio", "for Visual Basic 5.0 and 6.0",
                                   "Cancel", "File Version", "&Help"}));

} // namespace
} // namespace korvana::dialogs
