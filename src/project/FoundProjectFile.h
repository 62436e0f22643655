#pragma once

#include "project/ProjectOpen.h"
#include "project/ProjectRegistration.h"
#include "text/MessageService.h"
#include "text/TextService.h"

#include <optional>
#include <string>
#include <string_view>

namespace korvana {

// A project (".kvs") or group (".vbg") file the developer picked on disk,
// registered so that the start-up can open it by name like any registered one.
struct FoundProject {
    ProjectOpen open = ProjectOpen::Nothing; // OpenProject or OpenGroup
    std::string projectName;
};

// Registers the picked file under its base name. A group opens as a group, so
// that every member's database is checked before it opens. Nothing when the
// file cannot be opened: another extension (text 912), or a registration that
// failed (the registration has said why).
std::optional<FoundProject> RegisterFoundProject(ProjectRegistration& registration,
                                                 MessageService& messages, const TextService& texts,
                                                 std::string_view file);

} // namespace korvana
