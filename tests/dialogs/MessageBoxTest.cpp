#include "QtPrinters.h"
#include "dialogs/MessageBoxLayout.h"
#include "dialogs/QtMessageService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace korvana::dialogs {
namespace {

struct StyleCase {
    const char* name;
    MessageStyle style;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;
    QMessageBox::StandardButton escapeButton;
};

TEST(MessageBoxLayoutTest, EachStyleHasItsIconButtonsAndDefault) {
    using B = QMessageBox;
    const StyleCase cases[] = {
        {"critical", MessageStyle::critical(), B::Critical, B::Ok, B::Ok, B::Ok},
        {"exclamation", MessageStyle::exclamation(), B::Warning, B::Ok, B::Ok, B::Ok},
        {"information", MessageStyle::information(), B::Information, B::Ok, B::Ok, B::Ok},
        {"question", MessageStyle::question(), B::Question, B::Yes | B::No, B::Yes, B::No},
        {"overwrite", MessageStyle::overwriteQuestion(), B::Question, B::Yes | B::No, B::No, B::No},
        {"warning", MessageStyle::warning(), B::Warning, B::Ok | B::Cancel, B::Cancel, B::Cancel},
        {"error report", MessageStyle::errorReport(), B::NoIcon, B::Ok, B::Ok, B::Ok},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MessageBoxLayout layout = messageBoxLayout(c.style);
        EXPECT_EQ(layout.icon, c.icon);
        EXPECT_EQ(layout.buttons, c.buttons);
        EXPECT_EQ(layout.defaultButton, c.defaultButton);
        EXPECT_EQ(layout.escapeButton, c.escapeButton);
        // A box closed by its window button answers as Esc does, never Yes or OK
        // on a question the user declined to answer.
        EXPECT_EQ(answerFor(c.style, QMessageBox::NoButton), answerFor(c.style, c.escapeButton));
    }
}

// What a shown box looked like when the test pressed one of its keys.
struct SeenBox {
    QString title;
    QString text;
    QStringList captions;
    QString defaultCaption;
    Qt::TextFormat format = Qt::AutoText;
};

class QtMessageServiceTest : public ::testing::Test {
  protected:
    Answer showAndPress(const TextService& texts, const Message& message, Qt::Key key,
                        SeenBox& seen) {
        auto shared = std::make_shared<SeenBox>();
        QTimer::singleShot(0, [shared, key] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            shared->title = box->windowTitle();
            shared->text = box->text();
            shared->format = box->textFormat();
            for (QAbstractButton* button : box->buttons()) {
                shared->captions << button->text();
            }
            if (box->defaultButton() != nullptr) {
                shared->defaultCaption = box->defaultButton()->text();
            }
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(box, &press);
        });
        QtMessageService service(texts);
        const Answer answer = service.show(message);
        seen = *shared;
        return answer;
    }
};

TEST_F(QtMessageServiceTest, WarningInGermanHasLocalCaptionsAndEnterCancels) {
    const TextService german(Lcid{1031});
    SeenBox seen;
    const Answer answer = showAndPress(
        german, {"KorvanaStudio", "Zeile 1\r\n<b>Zeile</b> 2", MessageStyle::warning()},
        Qt::Key_Return, seen);
    EXPECT_EQ(answer, Answer::Cancel);
    EXPECT_EQ(seen.title, "KorvanaStudio");
    // Line breaks of the table become single line feeds; markup stays text.
    EXPECT_EQ(seen.text, "Zeile 1\n<b>Zeile</b> 2");
    EXPECT_EQ(seen.format, Qt::PlainText);
    EXPECT_TRUE(seen.captions.contains("OK"));
    EXPECT_TRUE(seen.captions.contains("Abbrechen"));
    EXPECT_EQ(seen.defaultCaption, "Abbrechen");
}

TEST_F(QtMessageServiceTest, QuestionAnswersYesOnEnterAndNoOnEscape) {
    const TextService english(Lcid{1033});
    SeenBox seen;
    EXPECT_EQ(
        showAndPress(english, {"T", "Go on?", MessageStyle::question()}, Qt::Key_Return, seen),
        Answer::Yes);
    EXPECT_EQ(
        showAndPress(english, {"T", "Go on?", MessageStyle::question()}, Qt::Key_Escape, seen),
        Answer::No);
    EXPECT_EQ(showAndPress(english, {"T", "Overwrite?", MessageStyle::overwriteQuestion()},
                           Qt::Key_Return, seen),
              Answer::No);
}

} // namespace
} // namespace korvana::dialogs
