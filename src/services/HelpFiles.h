#pragma once

#include "platform/Paths.h"

#include <string>
#include <string_view>

namespace korvana {

// The two help files below the common folder. F1 and the dialogs' Help
// buttons open the project management help; the project-open dialog's tool
// bar opens the studio's own help.
inline constexpr std::string_view projectManagementHelpBelowCommon =
    "\\HelpFiles\\ProjektManagement.chm";
inline constexpr std::string_view studioHelpBelowCommon = "\\HelpFiles\\KorvanaStudio.chm";

inline std::string projectManagementHelpFile(std::string_view commonFolder) {
    return paths::joinPath(commonFolder, projectManagementHelpBelowCommon);
}

inline std::string studioHelpFile(std::string_view commonFolder) {
    return paths::joinPath(commonFolder, studioHelpBelowCommon);
}

} // namespace korvana
