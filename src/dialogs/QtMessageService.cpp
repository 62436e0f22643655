#include "dialogs/QtMessageService.h"

#include "dialogs/MessageBoxLayout.h"
#include "dialogs/QtText.h"

#include <QAbstractButton>
#include <QApplication>

namespace korvana::dialogs {

namespace {

constexpr TextId okCaption{10};
constexpr TextId cancelCaption{11};

} // namespace

Answer QtMessageService::show(const Message& message) {
    const MessageBoxLayout layout = messageBoxLayout(message.style);
    QWidget* owner = QApplication::activeWindow();
    if (owner == nullptr) {
        owner = fallbackOwner_.data();
    }
    QMessageBox box(layout.icon, qtText(message.title), qtText(message.text), layout.buttons,
                    owner);
    // Texts may hold "<" (paths, placeholders): never let Qt take them for markup.
    box.setTextFormat(Qt::PlainText);
    if (QAbstractButton* ok = box.button(QMessageBox::Ok)) {
        ok->setText(qtText(texts_.LoadText(okCaption)));
    }
    if (QAbstractButton* cancel = box.button(QMessageBox::Cancel)) {
        cancel->setText(qtText(texts_.LoadText(cancelCaption)));
    }
    box.setDefaultButton(layout.defaultButton);
    box.setEscapeButton(layout.escapeButton);
    box.exec();
    return answerFor(message.style, box.standardButton(box.clickedButton()));
}

} // namespace korvana::dialogs
