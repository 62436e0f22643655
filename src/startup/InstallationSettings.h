#pragma once

#include <string>

#include "text/TextTypes.h"

namespace korvana {

// Registry locations of the installation and of the developer's settings.
namespace keys {
inline constexpr const char* installation = "Software\\ARVENTIK GmbH\\Korvana\\4.0";  // HKLM
inline constexpr const char* maker = "Software\\ARVENTIK GmbH";                     // HKLM
inline constexpr const char* user = "Software\\ARVENTIK GmbH\\Korvana\\4.0";          // HKCU
inline constexpr const char* shellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";        // HKCU
} // namespace keys

// The process-wide settings read once at start-up. Owned by the start-up and
// handed by reference to whoever needs them; only the options dialog changes
// the two own folders later.
struct InstallationSettings {
    Lcid language{1031};
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
