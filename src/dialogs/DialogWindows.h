#pragma once

#include "dialogs/DialogContext.h"
#include "dialogs/FProjectNew.h"
#include "dialogs/FProjectOpen.h"
#include "startup/StartupHost.h"

namespace korvana::dialogs {

// The windows the project-open dialog opens in the program: the file chooser,
// the options dialog, the about window and the two help files.
FProjectOpen::Windows projectOpenWindows(DialogContext& context);

// What the new-project dialog opens and does in the program: the folder
// chooser, the add-language dialog, the project-open dialog in add mode (and,
// for a template chosen there, a further new-project dialog through the
// start-up's host), the help, and the creation of the project.
FProjectNew::Windows projectNewWindows(DialogContext& context, StartupHost& host,
                                       const ProjectDialogServices& services);

} // namespace korvana::dialogs
