#include "dialogs/QtMessageService.h"

#include "dialogs/MessageBoxSpec.h"
#include "dialogs/QtText.h"

#include <QAbstractButton>
#include <QApplication>

namespace korvana::dialogs {

namespace {

constexpr TextId okCaption{10};
constexpr TextId cancelCaption{11};

} // namespace

Answer QtMessageService::show(const Message& message) {
    const MessageBoxSpec spec = messageBoxSpec(message.style);
    QWidget* owner = QApplication::activeWindow();
    if (owner == nullptr) {
        owner = fallbackOwner_.data();
    }
    QMessageBox box(spec.icon, qtText(message.title), qtText(message.text), spec.buttons, owner);
    // Texts may hold "<" (paths, placeholders): never let Qt take them for markup.
    box.setTextFormat(Qt::PlainText);
    if (QAbstractButton* ok = box.button(QMessageBox::Ok)) {
        ok->setText(qtText(texts_.LoadText(okCaption)));
    }
    if (QAbstractButton* cancel = box.button(QMessageBox::Cancel)) {
        cancel->setText(qtText(texts_.LoadText(cancelCaption)));
    }
    box.setDefaultButton(spec.defaultButton);
    box.setEscapeButton(spec.escapeButton);
    box.exec();
    return answerFor(message.style, box.standardButton(box.clickedButton()));
}

} // namespace korvana::dialogs
