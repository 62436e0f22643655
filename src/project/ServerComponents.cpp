#include "project/ServerComponents.h"

#include "platform/TextUtil.h"

namespace korvana {

namespace {

bool isOffered(std::string_view component, ProjectMainType family) {
    if (equalsIgnoreCase(component, "KVEKernel") || equalsIgnoreCase(component, "KVPdb")) {
        return false;
    }
    return family == ProjectMainType::Standard || !equalsIgnoreCase(component, "KVFormula");
}

void markChosen(std::vector<ServerComponentRow>& rows, ConfigurationComponent& settings,
                std::string_view project) {
    const ProjectHandle handle = settings.OpenProject(project);
    try {
        for (const auto& [key, value] : settings.GetSection(handle, "ServerComponents")) {
            const auto number = settingNumber(value);
            for (auto& row : rows) {
                if (number && equalsIgnoreCase(row.name, key)) {
                    row.checked = *number != 0;
                }
            }
        }
    } catch (...) {
        settings.CloseProject(handle);
        throw;
    }
    settings.CloseProject(handle);
}

} // namespace

ServerComponentList ListServerComponents(const Registry& registry, ConfigurationComponent& settings,
                                         std::string_view project, ProjectMainType family) {
    ServerComponentList list;
    for (const auto& name : registry.subKeys(Hive::LocalMachine, serverComponentsKey)) {
        if (!isOffered(name, family)) {
            continue;
        }
        const std::string key = std::string(serverComponentsKey) + "\\" + name;
        list.rows.push_back({name, registry.readString(Hive::LocalMachine, key, "Description"),
                             registry.readString(Hive::LocalMachine, key, "Dependencies"), false});
    }
    try {
        markChosen(list.rows, settings, project);
    } catch (const std::exception& error) {
        list.problem = error.what();
    }
    return list;
}

} // namespace korvana
