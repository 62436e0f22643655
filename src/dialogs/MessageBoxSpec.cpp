#include "dialogs/MessageBoxSpec.h"

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

MessageBoxSpec messageBoxSpec(const MessageStyle& style) {
    MessageBoxSpec spec;
    spec.icon = qtIcon(style.icon);
    spec.defaultButton = qtButton(style.defaultAnswer());
    switch (style.buttons) {
    case MessageButtons::Ok:
        spec.buttons = QMessageBox::Ok;
        spec.escapeButton = QMessageBox::Ok;
        break;
    case MessageButtons::OkCancel:
        spec.buttons = QMessageBox::Ok | QMessageBox::Cancel;
        spec.escapeButton = QMessageBox::Cancel;
        break;
    case MessageButtons::YesNo:
        spec.buttons = QMessageBox::Yes | QMessageBox::No;
        spec.escapeButton = QMessageBox::No;
        break;
    }
    return spec;
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
    return answerFor(style, messageBoxSpec(style).escapeButton);
}

} // namespace korvana::dialogs
