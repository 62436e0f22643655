#pragma once

#include "text/TextService.h"

#include <QWidget>

namespace korvana::dialogs {

// The main window: a small visible window titled "KorvanaStudio" with the
// application icon, the owner of the splash, of the dialogs and of the
// database check's progress window, until it is unloaded just before the IDE
// starts.
class FKorvanaStudio : public QWidget {
  public:
    explicit FKorvanaStudio(const TextService& texts);
};

} // namespace korvana::dialogs
