#pragma once

#include <QAccessible>
#include <QWidget>
#include <gtest/gtest.h>

namespace korvana::dialogs {

// Every control of the window that is shown and takes the focus has a name a
// screen reader can say.
inline void expectEveryShownControlNamed(const QWidget& window) {
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisible() || widget->focusPolicy() == Qt::NoFocus) {
            continue;
        }
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(accessible, nullptr);
        EXPECT_FALSE(accessible->text(QAccessible::Name).trimmed().isEmpty())
            << widget->metaObject()->className() << " " << widget->objectName().toStdString();
    }
}

} // namespace korvana::dialogs
