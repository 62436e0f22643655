#include "project/ServerClientTemplate.h"

#include "platform/Paths.h"
#include "platform/TextUtil.h"

namespace korvana {

namespace {

constexpr std::string_view marker = "Server-Client";

} // namespace

std::optional<ServerClientTemplate> ServerClientTemplate::of(std::string_view templateFolder,
                                                             ProjectType type) {
    const std::string folderName = paths::lastComponent(templateFolder);
    if (type != ProjectType::Group || !startsWithIgnoreCase(folderName, marker)) {
        return std::nullopt;
    }
    ServerClientTemplate result;
    result.suffix = folderName.substr(marker.size());
    result.serverFolder = paths::joinPath(templateFolder, "Server" + result.suffix);
    result.clientFolder = paths::joinPath(templateFolder, "Client" + result.suffix);
    return result;
}

bool CreateServerClientMembers(CKVProject& group, const ServerClientTemplate& members,
                               const std::function<void(CKVProject&)>& create) {
    const auto member = [&](ProjectType type, std::string_view role, const std::string& folder) {
        CKVProject project;
        project.EProjectType = type;
        project.ProjectType = std::string(projectTypeName(type));
        project.EProjectMainType = group.EProjectMainType;
        project.ProjectName = group.ProjectName + " " + std::string(role);
        project.Path = paths::joinPath(group.Path, role);
        project.TemplatePath = folder;
        project.Designer = group.Designer;
        project.LCID = group.LCID;
        project.LCIDs = group.LCIDs;
        project.ProjectVersion = group.ProjectVersion;
        project.Customer = group.Customer;
        project.Developer = group.Developer;
        project.Comment = group.Comment;
        return project;
    };
    CKVProject client = member(ProjectType::Client, "Client", members.clientFolder);
    client.ServerProject = group.ProjectName + " Server";
    CKVProject server = member(ProjectType::Server, "Server", members.serverFolder);
    server.ServerComponents = group.ServerComponents;

    std::vector<GroupMember> made;
    for (auto* project : {&client, &server}) {
        create(*project);
        if (project->EProjectOpen == ProjectOpen::Nothing) {
            return false;
        }
        const std::string role = project == &client ? "Client\\" : "Server\\";
        made.push_back({role + project->DesignerProject, nullptr});
    }
    group.Projects.insert(group.Projects.end(), made.begin(), made.end());
    return true;
}

} // namespace korvana
