#pragma once

#include "platform/Registry.h"
#include "services/InstallationKeys.h"

#include <filesystem>
#include <string_view>

namespace korvana {

// True for a name that can only ever be one registry key and one file name: a
// safe path component without control characters.
bool isSafeProjectName(std::string_view name);

// The project file named by `nameOrPath`. Text ending in ".kvs" (any case) is
// the path of the file itself; anything else is a registered project name,
// looked up without regard to case, whose file is <Path>/<Name>.kvs with the
// name as registered. Raises korvana::Error when the name is not registered (or
// could not be one) or the file does not exist.
std::filesystem::path resolveProjectFile(const Registry& registry, std::string_view nameOrPath);

} // namespace korvana
