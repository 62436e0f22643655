#pragma once

#include "platform/Registry.h"
#include "project/ProjectMainType.h"
#include "project/ProjectType.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvana {

// The family of a template is the main type of the projects made from it.
using TemplateFamily = ProjectMainType;

// One template as the template lists show it.
struct TemplateRow {
    std::string key;      // "S:" followed by the text
    std::string text;     // display name (installed) or folder name (own)
    std::string iconKey;  // the image the item shows
    std::string iconFile; // the file that image came from; empty for the standard icon
    std::string toolTip;  // the description's comment
    std::string tag;      // the template folder
    ProjectMainType family = ProjectMainType::Standard; // handed on to the project
    std::string typeName; // "ProjectType" of the description ("None" when missing)
    ProjectType type = ProjectType::None;
    bool own = false;

    bool operator==(const TemplateRow&) const = default;
};

// The templates a new project can be made from: the installed ones (the
// installation folder + "\Templates\Projects") and the developer's own ones
// ("TemplatesPath" + "\Projects", read at every listing).
//
// Images are shared by both families and named by display name (installed)
// or folder name (own); names match without regard to case, as Windows list
// keys do. An installed template whose name is taken in its own family's list
// is left out; one taken only in the other family's list is listed with the
// earlier template's icon. An own template whose folder name is already an
// image name is left out.
//
// Sub-folders are taken in name order, so that the same folders always give
// the same list.
class TemplateCatalogue {
  public:
    TemplateCatalogue(const Registry& registry, std::string installationFolder);

    // In add mode (picking a project for a group) installed group templates
    // are left out; their images are still taken, as for any other template.
    std::vector<TemplateRow> ListTemplates(bool addMode) const;

    std::string installedRoot() const;
    // Empty when "TemplatesPath" is not set.
    std::string ownRoot() const;

  private:
    const Registry& registry_;
    std::string installationFolder_;
};

// The project type name a chosen template makes ("None" when its description
// does not say).
std::string templateProjectType(std::string_view templateFolder);

} // namespace korvana
