#pragma once

#include "services/InstallationKeys.h"
#include "text/TextTypes.h"

#include <string>

namespace korvana {

// The process-wide settings read once at start-up. Owned by the start-up and
// handed by reference to whoever needs them; only the options dialog changes
// the two own folders later.
struct InstallationSettings {
    Lcid language = germanLanguage;
    std::string installationFolder;
    std::string commonFolder;
    std::string installedVersion;
    std::string ownProjectsFolder;
    std::string ownTemplatesFolder;
    // Set by the options dialog for this run only, never stored: the launcher then
    // leaves the developer's Visual Basic toolbox and layout alone.
    bool keepInterface = false;
};

} // namespace korvana
