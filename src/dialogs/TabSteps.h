#pragma once

class QTabWidget;
class QWidget;

namespace korvana::dialogs {

// Ctrl+Tab and Ctrl+Shift+Tab anywhere in `window` show the next or previous
// tab that is offered and put the focus into it, also while the focus is on a
// button outside the tab strip.
void installTabSteps(QWidget& window, QTabWidget& tabs);

// The next (step 1) or previous (step -1) offered tab after the current one.
void stepTab(QTabWidget& tabs, int step);

} // namespace korvana::dialogs
