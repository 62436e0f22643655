#pragma once

#include "dialogs/DialogContext.h"
#include "dialogs/FProjectOpen.h"

namespace korvana::dialogs {

// The windows the project-open dialog opens in the program: the file chooser,
// the options dialog, the about window and the two help files.
FProjectOpen::Windows projectOpenWindows(DialogContext& context);

} // namespace korvana::dialogs
