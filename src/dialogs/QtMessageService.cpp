#include "dialogs/QtMessageService.h"

#include "dialogs/MessageBoxLayout.h"
#include "dialogs/QtText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QThread>

namespace korvana::dialogs {

namespace {

constexpr TextId okCaption{10};
constexpr TextId cancelCaption{11};

} // namespace

Answer QtMessageService::show(const Message& message) {
    // A question from work that runs beside the windows (the database check)
    // is asked by the thread that owns them, which keeps its event loop going
    // while it waits for that work.
    if (QThread::currentThread() != QCoreApplication::instance()->thread()) {
        Answer answer = message.style.defaultAnswer();
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [&] { answer = show(message); },
            Qt::BlockingQueuedConnection);
        return answer;
    }
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
