#include "project/TemplateDescription.h"

#include "platform/Error.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"

namespace korvana {

TemplateDescription TemplateDescription::read(std::string_view templateFolder) {
    TemplateDescription description;
    description.name = paths::lastComponent(templateFolder);
    const auto file = paths::toFileSystemPath(paths::joinPath(templateFolder, "_Info.ini"));
    if (file.empty()) {
        return description;
    }
    try {
        const IniFile ini = IniFile::load(file);
        // An empty "Name" would list the template without a caption; the
        // folder name serves as for a missing one.
        if (auto name = ini.read("Info", "Name"); !name.empty()) {
            description.name = std::move(name);
        }
        description.projectType = ini.read("Info", "ProjectType", description.projectType);
        description.tab = ini.read("Info", "Tab");
        description.comment = ini.read("Info", "Comment");
    } catch (const Error&) {
        // An unreadable description leaves the defaults.
    }
    return description;
}

} // namespace korvana
