#include "project/ServerComponents.h"

#include "platform/TextUtil.h"
#include "services/InstallationKeys.h"
#include "services/OpenProjectSettings.h"

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
    OpenProjectSettings projectSettings(settings, project);
    for (const auto& [key, value] : projectSettings.section("ServerComponents")) {
        const auto number = settingNumber(value);
        for (auto& row : rows) {
            if (number && equalsIgnoreCase(row.name, key)) {
                row.checked = *number != 0;
            }
        }
    }
}

} // namespace

ServerComponentList ListServerComponents(const Registry& registry, ConfigurationComponent& settings,
                                         std::string_view project, ProjectMainType family) {
    ServerComponentList list;
    for (const auto& name : registry.subKeys(Hive::LocalMachine, keys::serverComponents)) {
        if (!isOffered(name, family)) {
            continue;
        }
        const std::string key = std::string(keys::serverComponents) + "\\" + name;
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
