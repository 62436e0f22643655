#pragma once

#include "platform/Registry.h"
#include "project/ProjectType.h"

#include <optional>
#include <string>
#include <string_view>

namespace korvana {

// One registered project or group as the lists show it.
struct RegisteredProject {
    std::string key;      // "S:" followed by the name in lower case
    std::string name;     // as registered
    std::string path;     // the registered folder
    std::string typeName; // as stored; a name that is no type has the code None
    ProjectType type = ProjectType::None;

    bool operator==(const RegisteredProject&) const = default;
};

// A name as the user typed it, fit to stand in a message: control characters,
// which would garble the message, are shown as '?'.
std::string shownProjectName(std::string_view name);

// The list key of a project name.
std::string projectListKey(std::string_view name);

// The registry key of a registered name, or nothing for a name that could reach
// another key or folder (a separator, "..", a control character).
std::optional<std::string> registrationKey(std::string_view name);

// True for a name a project or group may be registered under. The name is also
// the name of its project file wherever the project is opened, so it holds no
// character that a Windows file name cannot hold (\ / : * ? " < > |, control
// characters) and is neither empty nor "." or "..". Looking up a registration
// is less strict (registrationKey): a name registered before this rule can
// still be opened and deregistered.
bool isRegistrableName(std::string_view name);

// The registration kept under the sub-key of exactly that name, which must be
// one that registrationKey accepts. Missing values read as empty.
RegisteredProject readRegisteredKey(const Registry& registry, std::string_view registeredName);

// The registration of `name` (found without regard to case, the name as
// registered); nothing when the name is unsafe or has no sub-key.
std::optional<RegisteredProject> readRegistration(const Registry& registry, std::string_view name);

// The file a registration stands for: <path>/<name>.vbg for a group,
// <path>/<name>.kvs for every other type.
std::string registeredProjectFile(const RegisteredProject& project);

} // namespace korvana
