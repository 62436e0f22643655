#include "project/KVProject.h"

#include "platform/Error.h"
#include "platform/ErrorNumbers.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "project/GroupFileReader.h"
#include "project/RegisteredProject.h"
#include "services/OpenProjectSettings.h"

#include <charconv>
#include <filesystem>
#include <memory>
#include <system_error>

namespace korvana {

namespace {

constexpr std::string_view groupDesigner = "Visual Basic 6.0";

// The registered folder and type of a name; both empty when the name is not
// registered or could not be a single registry key.
RegisteredProject registrationOf(const Registry& registry, std::string_view name) {
    return readRegistration(registry, name).value_or(RegisteredProject{});
}

// The file of a registration: named as registered, which matters on a file
// system that tells cases apart. Without a registered folder the name stands
// alone below the root, as an unregistered project has always been shown.
std::string fileOf(const RegisteredProject& registered, std::string_view givenName,
                   std::string_view extension) {
    const std::string name = registered.name.empty() ? std::string(givenName) : registered.name;
    return paths::joinPath(registered.path, "/" + name + std::string(extension));
}

// The registered entry of `name` is this very file. Comparing the files rather
// than folder texts matters here: folders that differ only in case are two
// folders, and the settings are read through the registered name, so a look-alike
// folder would hand over another project's settings.
bool isRegisteredFile(const RegisteredProject& registered, std::string_view file) {
    if (registered.path.empty()) {
        return false;
    }
    std::error_code error;
    return std::filesystem::equivalent(paths::toFileSystemPath(fileOf(registered, {}, ".kvs")),
                                       paths::toFileSystemPath(file), error);
}

// The Visual Basic file to open lies inside the project folder; a stored value
// that climbs out of it (or names another drive) would make the launcher open a
// file the project does not own.
std::string designerProjectPath(std::string_view folder, std::string_view relative,
                                std::string_view projectFile) {
    const std::string native = paths::toNative(relative);
    bool climbs = paths::hasDrivePart(relative);
    for (const auto& part : std::filesystem::path(native)) {
        climbs = climbs || part == "..";
    }
    if (climbs) {
        throw Error("The Visual Basic project '" + std::string(relative) + "' named in '" +
                        std::string(projectFile) + "' lies outside the project folder",
                    runtimeErrors::pathNotFound);
    }
    return paths::joinPath(folder, native);
}

bool isGroupMemberType(ProjectType type) {
    return type == ProjectType::Single || type == ProjectType::Server ||
           type == ProjectType::Client;
}

} // namespace

std::string languageKey(Lcid language) {
    return "L" + std::to_string(language.value);
}

Lcid languageOfKey(std::string_view key) {
    std::int32_t value = 0;
    if (key.size() < 2 || key.front() != 'L') {
        return Lcid{0};
    }
    const auto [end, error] = std::from_chars(key.data() + 1, key.data() + key.size(), value);
    return error == std::errc() && end == key.data() + key.size() ? Lcid{value} : Lcid{0};
}

void CKVProject::Initialize(const ProjectServices& services, std::string_view projectName) {
    initialize(services, projectName, false);
}

void CKVProject::initialize(const ProjectServices& services, std::string_view projectName,
                            bool asGroupMember) {
    ProjectName = projectName;
    const auto registered = registrationOf(services.registry, projectName);
    Path = registered.path;
    ProjectType = registered.typeName;
    EProjectType = registered.type;

    if (EProjectType == korvana::ProjectType::Group) {
        ProjectFile = fileOf(registered, ProjectName, ".vbg");
        Designer = groupDesigner;
        DesignerProject = ProjectFile;
        // A group inside a group is not a member; loading it would let a group
        // that names itself load forever.
        if (!asGroupMember) {
            loadGroup(services);
        }
        return;
    }
    ProjectFile = fileOf(registered, ProjectName, ".kvs");
    // Without a registered folder no file is looked for.
    if (Path.empty() || !services.checkReadOnly(ProjectFile)) {
        EProjectOpen = ProjectOpen::Nothing;
        return;
    }
    readDesigner(services, true);
}

void CKVProject::Initialize2(const ProjectServices& services, std::string_view projectFile) {
    ProjectName = paths::baseName(projectFile);
    ProjectFile = projectFile;
    const std::string folder = paths::parentFolder(projectFile);
    const std::string extension = paths::extension(projectFile);

    // Case matters here: "Plant.KVS" is not taken for a project file.
    if (extension == "vbg") {
        EProjectType = korvana::ProjectType::Group;
        ProjectType = projectTypeName(EProjectType);
        Path = folder;
        Designer = groupDesigner;
        DesignerProject = ProjectFile;
        loadGroup(services);
        return;
    }
    if (extension != "kvs" || !Files().fileExists(projectFile)) {
        return;
    }
    const auto registered = registrationOf(services.registry, ProjectName);
    ProjectType = registered.typeName;
    EProjectType = registered.type;
    // The registered folder is kept even when the file lies elsewhere: that is
    // how the start-up notices a moved project.
    Path = registered.path;
    if (isRegisteredFile(registered, projectFile) && services.checkReadOnly(ProjectFile)) {
        readDesigner(services, false);
    }
}

void CKVProject::LoadGroupProjects(const ProjectServices& services) {
    loadGroup(services);
}

void CKVProject::loadGroup(const ProjectServices& services) {
    Projects.clear();
    std::vector<GroupMember> members;
    const auto read = GroupFileReader::members(ProjectFile, Path);
    for (const auto& entry : read.passedOver) {
        services.passedOverMember(ProjectName, entry);
    }
    for (const auto& entry : read.projects) {
        auto member = std::make_shared<CKVProject>();
        member->initialize(services, entry.projectName, true);
        if (isGroupMemberType(member->EProjectType)) {
            members.push_back({entry.file, std::move(member)});
        }
    }
    Projects = std::move(members);
}

void CKVProject::readDesigner(const ProjectServices& services, bool withMainType) {
    OpenProjectSettings settings(services.configuration, ProjectName);
    Designer = settings.text("Global", "Designer");
    DesignerProject =
        designerProjectPath(Path, settings.text("Global", "DesignerProject"), ProjectFile);
    if (withMainType) {
        const auto pdb =
            settingNumber(settings.value("ServerComponents", "KVPdb", std::int16_t{0}));
        EProjectMainType = pdb == 1 ? ProjectMainType::Standard : ProjectMainType::KV32;
    }
}

} // namespace korvana
