#include "platform/Error.h"
#include "platform/ErrorNumbers.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "project/FileErrors.h"
#include "project/KVProject.h"
#include "project/Placeholders.h"
#include "project/ProjectDatabaseLanguages.h"
#include "project/ProjectTextFiles.h"
#include "project/RegisteredProject.h"
#include "project/StagedTemplate.h"
#include "project/StagedTextFiles.h"
#include "project/VisualBasicProject.h"
#include "text/Messages.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

namespace korvana {

namespace fs = std::filesystem;

namespace {

constexpr TextId templateNotCopied{900};
constexpr TextId filesNotRenamed{901};
constexpr TextId invalidName{921};

constexpr std::string_view formulaComponent = "KVFormula";
// Components whose switches the template sets and only the caller's choice
// changes.
constexpr std::string_view kernelComponent = "KVEKernel";
constexpr std::string_view processDatabaseComponent = "KVPdb";

// Folders are stored without a trailing separator (the root stays "/").
std::string storedFolder(std::string_view folder) {
    std::string stored(folder);
    while (stored.size() > 1 && paths::isSeparator(stored.back())) {
        stored.pop_back();
    }
    return stored;
}

// Settings and database changes of a new project pass over what fails: the
// project stands, and the database check brings the rest into line.
void passOver(const std::function<void()>& change) {
    try {
        change();
    } catch (const Error&) {
    }
}

bool isOneOf(ProjectType type, std::initializer_list<ProjectType> types) {
    return std::find(types.begin(), types.end(), type) != types.end();
}

bool isInside(const fs::path& path, const fs::path& folder) {
    std::error_code pathCode;
    std::error_code folderCode;
    const fs::path resolved = fs::weakly_canonical(path, pathCode);
    const fs::path root = fs::weakly_canonical(folder, folderCode);
    return std::mismatch(root.begin(), root.end(), resolved.begin(), resolved.end()).first ==
           root.end();
}

// Refuses what cannot become a project before anything is copied: a template
// folder that is missing, unreadable or without its project file, and a
// project folder that names no place here or lies inside the template.
void checkTemplate(const fs::path& templateFolder, const fs::path& projectFolder,
                   std::string_view projectFileName, std::string_view templatePath) {
    std::error_code code;
    if (templateFolder.empty() || !fs::is_directory(fs::status(templateFolder, code))) {
        throw Error("The template folder '" + std::string(templatePath) + "' does not exist",
                    runtimeErrors::pathNotFound);
    }
    bool hasProjectFile = false;
    for (fs::directory_iterator it(templateFolder, code), end; !code && it != end;
         it.increment(code)) {
        std::error_code entryCode;
        hasProjectFile =
            hasProjectFile || (fs::is_regular_file(it->symlink_status(entryCode)) &&
                               equalsIgnoreCase(it->path().filename().string(), projectFileName));
    }
    if (code) {
        throw fileError("Cannot read the template folder", templateFolder, code);
    }
    if (!hasProjectFile) {
        throw Error("The template '" + std::string(templatePath) + "' holds no project file '" +
                        std::string(projectFileName) + "'",
                    runtimeErrors::fileNotFound);
    }
    if (projectFolder.empty() || !projectFolder.has_filename()) {
        throw Error("The project folder cannot be made here", runtimeErrors::pathNotFound);
    }
    if (isInside(projectFolder, templateFolder)) {
        throw Error("The project folder '" + projectFolder.string() +
                        "' lies inside the template folder",
                    runtimeErrors::pathFileAccessError);
    }
}

} // namespace

void CKVProject::Create(const ProjectCreation& environment) {
    EProjectOpen = ProjectOpen::Nothing;
    ProjectType = projectTypeName(EProjectType);
    Path = storedFolder(Path);
    auto& messages = environment.messages;
    const auto& texts = environment.texts;
    if (!isRegistrableName(ProjectName)) {
        ShowMessage(messages, texts, invalidName, MessageStyle::exclamation(),
                    {shownProjectName(ProjectName)});
        return;
    }

    const bool isGroup = EProjectType == korvana::ProjectType::Group;
    std::unique_ptr<StagedTemplate> staged;
    try {
        const fs::path projectFolder = paths::toFileSystemPath(Path);
        const fs::path templateFolder = paths::toFileSystemPath(storedFolder(TemplatePath));
        checkTemplate(templateFolder, projectFolder,
                      std::string(placeholders::projectName) + (isGroup ? ".vbg" : ".kvs"),
                      TemplatePath);
        staged = std::make_unique<StagedTemplate>(templateFolder, projectFolder,
                                                  TemplateNames{Path, ProjectName});
    } catch (const Error& error) {
        ShowMessage(messages, texts, templateNotCopied, MessageStyle::critical(),
                    {error.number(), error.what()});
        return;
    }
    if (const auto error = staged->namingFailure(); error != 0) {
        ShowMessage(messages, texts, filesNotRenamed, MessageStyle::critical(), {error});
        return;
    }
    // The Visual Basic files are adapted in the staged copy when it can stand
    // for the project folder: written in place there, they need no temporary
    // file each. Otherwise they are adapted once the project folder stands.
    bool adaptedStaged = false;
    try {
        adaptedStaged = adaptStagedFiles(
            staged->folder(), Path, [&](ProjectTextFiles& files) { adaptVisualBasicFiles(files); });
        staged->moveIntoProjectFolder();
    } catch (const Error& error) {
        ShowMessage(messages, texts, templateNotCopied, MessageStyle::critical(),
                    {error.number(), error.what()});
        return;
    }

    registerCreated(environment);
    if (!adaptedStaged) {
        ProjectFolderFiles files(messages, texts);
        adaptVisualBasicFiles(files);
    }
    if (isOneOf(EProjectType, {korvana::ProjectType::Single, korvana::ProjectType::Server,
                               korvana::ProjectType::Client})) {
        writeCreatedSettings(environment);
        passOver(
            [&] { adaptProjectLanguages(paths::joinPath(Path, ProjectName + ".kvs"), LCIDs); });
    }
    EProjectOpen = ProjectOpen::CreateFromTemplate;
}

void CKVProject::registerCreated(const ProjectCreation& environment) const {
    const std::string key = *registrationKey(ProjectName);
    passOver([&] {
        environment.registry.setValues(
            Hive::LocalMachine, key,
            {{"Path", RegistryValue::string(Path)},
             {"ProjectType", RegistryValue::string(ProjectType)},
             {"KorvanaVersion", RegistryValue::string(environment.installedVersion)}});
    });
}

void CKVProject::adaptVisualBasicFiles(ProjectTextFiles& files) {
    const auto inProject = [&](const std::string& name) { return paths::joinPath(Path, name); };
    if (isOneOf(EProjectType, {korvana::ProjectType::Single, korvana::ProjectType::Server,
                               korvana::ProjectType::Client})) {
        DesignerProject = ProjectName + ".vbp";
        files.replace(inProject(DesignerProject), placeholders::projectName, ProjectName);
    }
    if (EProjectType == korvana::ProjectType::Single &&
        EProjectMainType == ProjectMainType::Standard) {
        // The formula interpreter is a Visual Basic project of its own, opened
        // together with the project through the project's group file.
        files.replace(inProject("KVFormula/" + ProjectName + " Formula.vbp"),
                      placeholders::projectName, ProjectName);
        files.replace(inProject(ProjectName + ".vbg"), placeholders::projectName, ProjectName);
        if (std::find(ServerComponents.begin(), ServerComponents.end(), formulaComponent) !=
            ServerComponents.end()) {
            DesignerProject = ProjectName + ".vbg";
        }
    }
    if (EProjectType == korvana::ProjectType::Group) {
        adaptGroupFile(files);
    }
    if (isOneOf(EProjectType, {korvana::ProjectType::Single, korvana::ProjectType::Client})) {
        adaptForms(files);
    }
}

void CKVProject::adaptGroupFile(ProjectTextFiles& files) const {
    const std::string groupFile = paths::joinPath(Path, ProjectName + ".vbg");
    if (!Projects.empty()) {
        files.replace(groupFile, placeholders::firstMember, Projects.front().designerProject);
    }
    // Every further member gets a line of its own where the placeholder stood.
    std::string furtherLines;
    for (auto member = Projects.begin() + (Projects.empty() ? 0 : 1); member != Projects.end();
         ++member) {
        furtherLines += "Project=" + member->designerProject + "\r\n";
    }
    files.replace(groupFile, placeholders::furtherMembers, furtherLines);
}

void CKVProject::adaptForms(ProjectTextFiles& files) const {
    const std::string designerFile = paths::joinPath(Path, DesignerProject);
    if (equalsIgnoreCase(paths::extension(DesignerProject), "vbp")) {
        ProcessVisualBasicProject(files, designerFile, Path, ProjectName);
        return;
    }
    const auto entries = files.entries(designerFile);
    if (!entries) {
        return;
    }
    for (const auto& entry : *entries) {
        if (entry.key != "StartupProject" && entry.key != "Project") {
            continue;
        }
        if (const auto member = files.inside(Path, entry.value)) {
            ProcessVisualBasicProject(files, *member, Path, ProjectName);
        }
    }
}

void CKVProject::writeCreatedSettings(const ProjectCreation& environment) const {
    auto& configuration = environment.configuration;
    ProjectHandle handle;
    try {
        handle = configuration.OpenProject(paths::joinPath(Path, ProjectName + ".kvs"));
    } catch (const Error&) {
        return;
    }
    // One commit for all settings of the new project instead of one per value.
    std::optional<ConfigurationComponent::Batch> batch;
    passOver([&] { batch.emplace(configuration.BeginBatch(handle)); });
    const auto set = [&](std::string_view section, std::string_view key, SettingValue value) {
        passOver([&] { configuration.SetValue(handle, section, key, value); });
    };
    set("Global", "ProjectName", ProjectName);
    set("Global", "ProjectPath", Path);
    set("Global", "ProjectTemplate2", paths::lastComponent(storedFolder(TemplatePath)));
    set("Global", "KorvanaVersion", environment.installedVersion);
    set("Global", "DateCreated", environment.now());
    set("Global", "DateLastModified", environment.now());
    set("Global", "LCID", LCID.value);
    set("Global", "Designer", Designer);
    set("Global", "DesignerProject", DesignerProject);
    set("Global", "ProjectVersion", ProjectVersion);
    set("Global", "Customer", Customer);
    set("Global", "Developer", Developer);
    set("Global", "Comment", Comment);
    if (isOneOf(EProjectType, {korvana::ProjectType::Client, korvana::ProjectType::Single})) {
        set("ClientConfig", "CurrentLCID", LCID.value);
    }
    if (EProjectType == korvana::ProjectType::Client) {
        set("ClientConfig", "ServerProject", ServerProject);
        set("ClientConfig", "ServerComputerName", ServerComputerName);
    }
    if (isOneOf(EProjectType, {korvana::ProjectType::Server, korvana::ProjectType::Single})) {
        std::vector<Setting> components;
        passOver([&] { components = configuration.GetSection(handle, "ServerComponents"); });
        for (const auto& component : components) {
            if (component.key != kernelComponent && component.key != processDatabaseComponent) {
                set("ServerComponents", component.key, std::int16_t{0});
            }
        }
        for (const auto& component : ServerComponents) {
            set("ServerComponents", component, std::int16_t{1});
        }
    }
    if (batch) {
        passOver([&] { batch->commit(); });
    }
    batch.reset();
    passOver([&] { configuration.CloseProject(handle); });
}

} // namespace korvana
