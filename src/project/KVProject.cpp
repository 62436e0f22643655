#include "project/KVProject.h"

#include "platform/Error.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "services/ResolveProjectFile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <system_error>

namespace korvana {

namespace {

constexpr int fileNotFound = 53;
constexpr int pathNotFound = 76;
constexpr int badFileFormat = 321;
constexpr std::string_view groupDesigner = "Visual Basic 6.0";

struct Registration {
    std::string path;
    std::string typeName;
};

// The registered folder and type of a name, empty when it is not registered. A
// name that could not be a single registry key never reaches another key.
Registration readRegistration(const Registry& registry, std::string_view name) {
    if (!isSafeProjectName(name)) {
        return {};
    }
    const std::string key = std::string(projectsKey) + "\\" + std::string(name);
    return {registry.readString(Hive::LocalMachine, key, "Path"),
            registry.readString(Hive::LocalMachine, key, "ProjectType")};
}

// The values of the group file's "Key=Value" lines (any key names a member).
// Group files come from Windows: a byte-order mark and CRLF are taken as they come.
std::vector<std::string> groupEntries(const std::string& groupFile) {
    const auto path = paths::toFileSystemPath(groupFile);
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error)) {
        throw Error("The group file '" + groupFile + "' does not exist", fileNotFound);
    }
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.erase(0, 3);
    }
    if (text.empty()) {
        throw Error("The group file '" + groupFile + "' is empty", badFileFormat);
    }
    if (text.find('\0') != std::string::npos) {
        throw Error("The group file '" + groupFile + "' is not a text file", badFileFormat);
    }
    std::vector<std::string> entries;
    std::size_t begin = 0;
    while (begin < text.size()) {
        auto end = text.find_first_of("\r\n", begin);
        end = end == std::string::npos ? text.size() : end;
        const std::string_view line(text.data() + begin, end - begin);
        if (const auto equals = line.find('='); equals != std::string_view::npos) {
            if (const auto value = trim(line.substr(equals + 1)); !value.empty()) {
                entries.emplace_back(value);
            }
        }
        begin = end + 1;
    }
    return entries;
}

bool isFile(std::string_view path) {
    const auto file = paths::toFileSystemPath(path);
    std::error_code error;
    return !file.empty() && std::filesystem::is_regular_file(file, error);
}

// The registered entry of `name` is this very file. Comparing the files rather
// than folder texts matters here: folders that differ only in case are two
// folders, and the settings are read through the registered name, so a look-alike
// folder would hand over another project's settings.
bool isRegisteredFile(const Registry& registry, std::string_view name, std::string_view file) {
    try {
        std::error_code error;
        return std::filesystem::equivalent(resolveProjectFile(registry, name),
                                           paths::toFileSystemPath(file), error);
    } catch (const Error&) {
        return false;
    }
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
                    pathNotFound);
    }
    return paths::joinPath(folder, native);
}

// The studio project a member's Visual Basic project file belongs to, empty for
// a project of another kind. A member file that is missing is an error rather
// than a silently shorter group: the start-up would otherwise check and open
// fewer projects than the group holds.
std::string linkedProjectName(std::string_view groupFile, std::string_view entry,
                              std::string_view memberFile) {
    if (!isFile(memberFile)) {
        throw Error("The group file '" + std::string(groupFile) + "' names the project '" +
                        std::string(entry) + "', whose file does not exist",
                    fileNotFound);
    }
    return IniFile::load(paths::toFileSystemPath(memberFile)).read("Korvana4", "ProjectName");
}

bool isGroupMemberType(ProjectType type) {
    return type == ProjectType::Single || type == ProjectType::Server ||
           type == ProjectType::Client;
}

} // namespace

std::string languageKey(Lcid language) {
    return "L" + std::to_string(language.value);
}

void CKVProject::Initialize(const ProjectServices& services, std::string_view projectName) {
    initialize(services, projectName, false);
}

void CKVProject::initialize(const ProjectServices& services, std::string_view projectName,
                            bool asGroupMember) {
    ProjectName = projectName;
    const auto registered = readRegistration(services.registry, projectName);
    Path = registered.path;
    ProjectType = registered.typeName;
    EProjectType = projectTypeCode(ProjectType);

    // Without a registered folder the name stands alone below the root, as an
    // unregistered project has always been shown; such a file is never looked for.
    if (EProjectType == korvana::ProjectType::Group) {
        ProjectFile = paths::joinPath(Path, "/" + ProjectName + ".vbg");
        Designer = groupDesigner;
        DesignerProject = ProjectFile;
        // A group inside a group is not a member; loading it would let a group
        // that names itself load forever.
        if (!asGroupMember) {
            loadGroup(services);
        }
        return;
    }
    ProjectFile = paths::joinPath(Path, "/" + ProjectName + ".kvs");
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
    if (extension != "kvs" || !isFile(projectFile)) {
        return;
    }
    const auto registered = readRegistration(services.registry, ProjectName);
    ProjectType = registered.typeName;
    EProjectType = projectTypeCode(ProjectType);
    // The registered folder is kept even when the file lies elsewhere: that is
    // how the start-up notices a moved project.
    Path = registered.path;
    if (!Path.empty() && isRegisteredFile(services.registry, ProjectName, projectFile) &&
        services.checkReadOnly(ProjectFile)) {
        readDesigner(services, false);
    }
}

void CKVProject::LoadGroupProjects(const ProjectServices& services) {
    loadGroup(services);
}

void CKVProject::loadGroup(const ProjectServices& services) {
    Projects.clear();
    std::vector<GroupMember> members;
    for (const auto& entry : groupEntries(ProjectFile)) {
        const std::string file = paths::makeAbsolute(entry, Path);
        const std::string name = linkedProjectName(ProjectFile, entry, file);
        if (name.empty()) {
            continue; // a Visual Basic project that is no studio project
        }
        auto member = std::make_shared<CKVProject>();
        member->initialize(services, name, true);
        if (isGroupMemberType(member->EProjectType)) {
            members.push_back({file, std::move(member)});
        }
    }
    Projects = std::move(members);
}

void CKVProject::readDesigner(const ProjectServices& services, bool withMainType) {
    auto& settings = services.configuration;
    const ProjectHandle handle = settings.OpenProject(ProjectName);
    try {
        Designer = settingText(settings.GetValue(handle, "Global", "Designer", std::string()));
        const std::string relative =
            settingText(settings.GetValue(handle, "Global", "DesignerProject", std::string()));
        DesignerProject = designerProjectPath(Path, relative, ProjectFile);
        if (withMainType) {
            const auto pdb = settingNumber(
                settings.GetValue(handle, "ServerComponents", "KVPdb", std::int16_t{0}));
            EProjectMainType = pdb == 1 ? ProjectMainType::Standard : ProjectMainType::KV32;
        }
    } catch (...) {
        settings.CloseProject(handle);
        throw;
    }
    settings.CloseProject(handle);
}

} // namespace korvana
