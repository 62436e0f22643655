#pragma once

#include "text/MessageService.h"

#include <QMessageBox>

namespace korvana::dialogs {

// How a message style looks as a Qt message box. Kept apart from the box itself
// so that the mapping can be checked without showing anything.
struct MessageBoxLayout {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::Ok;
    // What Esc and the window's close button answer.
    QMessageBox::StandardButton escapeButton = QMessageBox::Ok;
};

MessageBoxLayout messageBoxLayout(const MessageStyle& style);

// The answer a pressed button stands for. A box closed without any of its
// buttons (NoButton) answers as its escape button would.
Answer answerFor(const MessageStyle& style, QMessageBox::StandardButton pressed);

} // namespace korvana::dialogs
