#include "project/RegisteredProject.h"

#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "services/InstallationKeys.h"
#include "services/ResolveProjectFile.h"

#include <algorithm>

namespace korvana {

std::string projectListKey(std::string_view name) {
    return "S:" + toLowerAscii(name);
}

std::optional<std::string> registrationKey(std::string_view name) {
    if (!isSafeProjectName(name)) {
        return std::nullopt;
    }
    return std::string(keys::projects) + "\\" + std::string(name);
}

bool isRegistrableName(std::string_view name) {
    constexpr std::string_view notInFileNames = "\\/:*?\"<>|";
    return isSafeProjectName(name) && name.find_first_of(notInFileNames) == std::string_view::npos;
}

RegisteredProject readRegisteredKey(const Registry& registry, std::string_view registeredName) {
    const std::string key = std::string(keys::projects) + "\\" + std::string(registeredName);
    RegisteredProject project;
    project.name = registeredName;
    project.key = projectListKey(registeredName);
    project.path = registry.readString(Hive::LocalMachine, key, "Path");
    project.typeName = registry.readString(Hive::LocalMachine, key, "ProjectType");
    project.type = projectTypeCode(project.typeName);
    return project;
}

std::optional<RegisteredProject> readRegistration(const Registry& registry, std::string_view name) {
    if (!isSafeProjectName(name)) {
        return std::nullopt;
    }
    for (const auto& candidate : registry.subKeys(Hive::LocalMachine, keys::projects)) {
        if (equalsIgnoreCase(candidate, name)) {
            return readRegisteredKey(registry, candidate);
        }
    }
    return std::nullopt;
}

std::string registeredProjectFile(const RegisteredProject& project) {
    const char* extension = project.type == ProjectType::Group ? ".vbg" : ".kvs";
    return paths::joinPath(project.path, project.name + extension);
}

std::string shownProjectName(std::string_view name) {
    std::string shown(name);
    std::replace_if(
        shown.begin(), shown.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; },
        '?');
    return shown;
}

} // namespace korvana
