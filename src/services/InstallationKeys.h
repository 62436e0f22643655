#pragma once

#include <string_view>

// Where the installation, the developer's settings and the lists of projects
// live in the registry. Every key path of the installation is spelled here
// and nowhere else.
namespace korvana::keys {

// HKEY_LOCAL_MACHINE: the installation (folder, language, version).
inline constexpr std::string_view installation = "Software\\ARVENTIK GmbH\\Korvana\\4.0";
// HKEY_LOCAL_MACHINE: the maker's common settings (the common folder).
inline constexpr std::string_view maker = "Software\\ARVENTIK GmbH";
// HKEY_CURRENT_USER: the developer's own settings (folders, installed version).
inline constexpr std::string_view user = "Software\\ARVENTIK GmbH\\Korvana\\4.0";
// HKEY_CURRENT_USER: what the studio's windows remember between runs.
inline constexpr std::string_view studioWindows =
    "Software\\ARVENTIK GmbH\\Korvana\\4.0\\KorvanaStudio";
// HKEY_LOCAL_MACHINE: one sub-key per registered project, its folder in "Path".
inline constexpr std::string_view projects = "Software\\ARVENTIK GmbH\\Korvana\\4.0\\Projects";
// HKEY_CURRENT_USER: the most recently opened projects.
inline constexpr std::string_view recentProjects =
    "Software\\ARVENTIK GmbH\\Korvana\\4.0\\RecentProjects";
// HKEY_LOCAL_MACHINE: one sub-key per installed server component with
// "Description" and "Dependencies".
inline constexpr std::string_view serverComponents =
    "Software\\ARVENTIK GmbH\\Korvana\\4.0\\ServerComponents";
// HKEY_CURRENT_USER: where Windows keeps the user's folders ("Personal").
inline constexpr std::string_view shellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

} // namespace korvana::keys
