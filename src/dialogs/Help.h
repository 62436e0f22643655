#pragma once

#include "dialogs/DialogContext.h"
#include "text/MessageService.h"
#include "text/TextService.h"

#include <QUrl>
#include <functional>
#include <string_view>

class QWidget;

namespace korvana::dialogs {

// Hands a file to the program the desktop has for its type; false when there
// is none. The desktop's own opener unless a test gives another.
using UrlOpener = std::function<bool(const QUrl&)>;
bool openWithDesktop(const QUrl& url);

// Opens a help file (a stored path, '\' or '/') with the desktop's viewer for
// it. A file that is not there, or that no program is set up to show, is said
// in a message (exclamation icon) rather than passed over in silence, since
// the user asked for help and would otherwise see nothing happen.
bool OpenHelpFile(std::string_view path, MessageService& messages, const TextService& texts,
                  const UrlOpener& open = openWithDesktop);

// The two help files below the common folder: the project management help of
// F1 and the Help buttons, and the studio's own help of the project-open
// dialog's tool bar.
bool OpenProjectManagementHelp(const DialogContext& context,
                               const UrlOpener& open = openWithDesktop);
bool OpenStudioHelp(const DialogContext& context, const UrlOpener& open = openWithDesktop);

// Context help: F1 anywhere in the dialog calls `open` (normally the project
// management help). A dialog's Help button calls the same function.
void installContextHelp(QWidget& dialog, std::function<void()> open);

} // namespace korvana::dialogs
