#pragma once

#include "text/TextService.h"

#include <QWidget>

class QLabel;

namespace korvana::dialogs {

// The main window: a small visible window titled "KorvanaStudio" with the
// application icon, the owner of the splash and of the dialogs. It shows what
// the start-up is busy with (the database check's steps) until it is unloaded
// just before the IDE starts.
class FKorvanaStudio : public QWidget {
  public:
    explicit FKorvanaStudio(const TextService& texts);

    // One line of what is going on; empty clears it.
    void showStatus(const QString& text);
    QString status() const;

  private:
    QLabel* lblStatus_ = nullptr;
};

} // namespace korvana::dialogs
