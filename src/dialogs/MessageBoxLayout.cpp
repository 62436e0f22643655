#include "dialogs/MessageBoxLayout.h"

namespace korvana::dialogs {

namespace {

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton qtButton(Answer answer) {
    switch (answer) {
    case Answer::Ok:
        return QMessageBox::Ok;
    case Answer::Cancel:
        return QMessageBox::Cancel;
    case Answer::Yes:
        return QMessageBox::Yes;
    case Answer::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

} // namespace

MessageBoxLayout messageBoxLayout(const MessageStyle& style) {
    MessageBoxLayout layout;
    layout.icon = qtIcon(style.icon);
    layout.defaultButton = qtButton(style.defaultAnswer());
    switch (style.buttons) {
    case MessageButtons::Ok:
        layout.buttons = QMessageBox::Ok;
        layout.escapeButton = QMessageBox::Ok;
        break;
    case MessageButtons::OkCancel:
        layout.buttons = QMessageBox::Ok | QMessageBox::Cancel;
        layout.escapeButton = QMessageBox::Cancel;
        break;
    case MessageButtons::YesNo:
        layout.buttons = QMessageBox::Yes | QMessageBox::No;
        layout.escapeButton = QMessageBox::No;
        break;
    }
    return layout;
}

Answer answerFor(const MessageStyle& style, QMessageBox::StandardButton pressed) {
    switch (pressed) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        break;
    }
    return answerFor(style, messageBoxLayout(style).escapeButton);
}

} // namespace korvana::dialogs
