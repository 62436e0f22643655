#pragma once

#include "project/ProjectType.h"

#include <string>
#include <string_view>

namespace korvana {

// Section "Info" of a template folder's "_Info.ini". A missing file, or one
// that cannot be read as text, gives the defaults of every key.
struct TemplateDescription {
    std::string name;                 // default: the folder name
    std::string projectType = "None"; // the type name of what the template makes
    std::string tab;                  // "KV32" puts an installed template into that family
    std::string comment;              // shown as the template's tool tip

    ProjectType type() const { return projectTypeCode(projectType); }

    static TemplateDescription read(std::string_view templateFolder);
};

} // namespace korvana
