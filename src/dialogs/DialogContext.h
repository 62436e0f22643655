#pragma once

#include "platform/Registry.h"
#include "services/InstallationSettings.h"
#include "text/MessageService.h"
#include "text/TextService.h"

namespace korvana::dialogs {

// What the project dialogs work with, owned by the program and handed to each
// dialog it shows. The settings are the process-wide ones: the options dialog
// changes the own folders and the keep-interface flag in place.
struct DialogContext {
    Registry& registry;
    MessageService& messages;
    const TextService& texts;
    InstallationSettings& settings;
};

} // namespace korvana::dialogs
