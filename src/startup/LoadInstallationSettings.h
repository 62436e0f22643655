#pragma once

#include "platform/Files.h"
#include "platform/Registry.h"
#include "services/InstallationSettings.h"
#include "text/MessageService.h"

namespace korvana {

// Fills `settings` from the registry at start-up: the user-interface language,
// the installation folder (which must be registered and exist), the common
// folder, the installed version and the developer's own projects and
// templates folders, with their defaults below the user's documents folder.
//
// False, after a critical message (text 91 when the installation folder is not
// registered, 92 naming it when it does not exist), when there is no
// installation folder; the program then ends. Failures of the registry while
// reading the language and the installation's values reach the caller; once
// those are read, a failing registry or file operation is passed over and the
// setting concerned keeps what was read or formed.
bool LoadInstallationSettings(Registry& registry, MessageService& messages, Files& files,
                              InstallationSettings& settings);

} // namespace korvana
