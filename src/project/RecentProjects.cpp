#include "project/RecentProjects.h"

#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "services/InstallationKeys.h"
#include "text/PadLeft.h"

#include <algorithm>
#include <array>
#include <variant>

namespace korvana {

namespace {

constexpr std::string_view entryPrefix = "S:";

// The file of a recent entry: only the project types that open a file of
// their own (Single, Server, Client and groups) have one.
std::string recentEntryFile(const RegisteredProject& project) {
    switch (project.type) {
    case ProjectType::Single:
    case ProjectType::Server:
    case ProjectType::Client:
    case ProjectType::Group:
        return project.path.empty() ? std::string() : registeredProjectFile(project);
    default:
        return {};
    }
}

} // namespace

void RecentProjects::AddRecentProject(std::string_view name) {
    std::array<std::string, capacity + 1> list;
    for (int i = 1; i <= capacity; ++i) {
        std::string entry =
            registry_.readString(Hive::CurrentUser, keys::recentProjects, std::to_string(i));
        entry.erase(0, std::min<std::size_t>(entry.size(), entryPrefix.size()));
        if (equalsIgnoreCase(entry, name)) {
            entry.clear();
        }
        list[static_cast<std::size_t>(i)] = std::move(entry);
    }
    list[0] = std::string(name);

    int count = 0;
    for (const auto& entry : list) {
        if (!entry.empty() && count < capacity) {
            ++count;
            registry_.writeString(Hive::CurrentUser, keys::recentProjects, std::to_string(count),
                                  std::string(entryPrefix) + entry);
        }
    }
    for (int i = count + 1; i <= capacity; ++i) {
        registry_.deleteValue(Hive::CurrentUser, keys::recentProjects, std::to_string(i));
    }
}

std::vector<RecentProject> RecentProjects::ListRecentProjects(bool addMode) {
    std::vector<RecentProject> rows;
    for (const auto& [valueName, value] :
         registry_.values(Hive::CurrentUser, keys::recentProjects)) {
        const auto* data = std::get_if<std::string>(&value.data);
        std::optional<RegisteredProject> project;
        if (data && data->starts_with(entryPrefix)) {
            const std::string name = data->substr(entryPrefix.size());
            project = readRegistration(registry_, name);
        }
        const std::string file = project ? recentEntryFile(*project) : std::string();
        if (file.empty() || !files_.fileExists(file)) {
            registry_.deleteValue(Hive::CurrentUser, keys::recentProjects, valueName);
            continue;
        }
        if (addMode && project->type == ProjectType::Group) {
            continue;
        }
        rows.push_back({valueName, std::move(*project)});
    }
    // Positions compare right-aligned in two characters, so "2" comes before "10".
    std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
        return PadLeft(TextArgument(a.position), 2) < PadLeft(TextArgument(b.position), 2);
    });
    return rows;
}

} // namespace korvana
