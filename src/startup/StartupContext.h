#pragma once

#include "platform/Files.h"
#include "platform/Registry.h"
#include "services/ConfigurationComponent.h"
#include "services/CreateConfigurationComponent.h"
#include "services/InstallationSettings.h"
#include "startup/Launcher.h"
#include "startup/StartupHost.h"
#include "text/MessageService.h"
#include "text/TextService.h"

#include <functional>
#include <string>

namespace korvana {

// Checks and upgrades one registered project's database, watched by
// `observer`. The start-up hands in the configuration component it created; a
// failing check is reported by the check itself and the project is opened all
// the same, while a cancelled one sends the user back to choosing a project.
using ProjectCheck = std::function<dbupgrade::CheckResult(
    ConfigurationComponent& configuration, const std::string& projectName,
    const dbupgrade::CheckObserver& observer)>;

// Everything one run of the start-up works with, owned by the program.
struct StartupContext {
    Registry& registry;
    Files& files;
    MessageService& messages;
    // Replaced by the texts of the user-interface language as soon as the
    // installation settings are loaded; windows that keep a reference to this
    // object therefore show that language from then on.
    TextService& texts;
    // Filled at start-up; the options dialog may change the own folders later.
    InstallationSettings& settings;
    StartupHost& host;
    ConfigurationFactory createConfiguration;
    LauncherFactory createLauncher;
    ProjectCheck checkProject;
};

} // namespace korvana
