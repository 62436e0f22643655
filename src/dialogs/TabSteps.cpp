#include "dialogs/TabSteps.h"

#include <QKeySequence>
#include <QShortcut>
#include <QTabWidget>

namespace korvana::dialogs {

void stepTab(QTabWidget& tabs, int step) {
    const int count = tabs.count();
    int index = tabs.currentIndex();
    for (int tried = 0; tried < count; ++tried) {
        index = (index + step + count) % count;
        if (tabs.isTabVisible(index)) {
            break;
        }
    }
    tabs.setCurrentIndex(index);
    tabs.currentWidget()->setFocus(Qt::TabFocusReason);
}

void installTabSteps(QWidget& window, QTabWidget& tabs) {
    QObject::connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), &window),
                     &QShortcut::activated, &tabs, [&tabs] { stepTab(tabs, 1); });
    QObject::connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), &window),
                     &QShortcut::activated, &tabs, [&tabs] { stepTab(tabs, -1); });
}

} // namespace korvana::dialogs
