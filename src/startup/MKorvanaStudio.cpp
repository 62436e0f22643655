#include "startup/MKorvanaStudio.h"

#include "platform/Error.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "project/ProjectLookup.h"
#include "project/ProjectRegistration.h"
#include "project/ProjectServices.h"
#include "project/ProjectType.h"
#include "project/RecentProjects.h"
#include "startup/LoadInstallationSettings.h"
#include "text/Messages.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <variant>

namespace korvana {

namespace {

constexpr TextId invalidCommandLine{905};
constexpr TextId unknownFileType{912};
constexpr TextId fileMissing{913};
constexpr TextId templateTypeWithoutDialog{918};

constexpr std::string_view helpFileBelowCommon = "\\HelpFiles\\ProjektManagement.chm";
constexpr std::string_view templateInfoFile = "\\_Info.ini";

// The type name a template declares; "None" when it declares none or its
// description cannot be read, which leaves it without a new-project dialog.
std::string templateTypeName(const std::string& templatePath) {
    constexpr std::string_view none = "None";
    const auto file = paths::toFileSystemPath(paths::joinPath(templatePath, templateInfoFile));
    if (file.empty()) {
        return std::string(none);
    }
    try {
        return IniFile::readKey(file, "Info", "ProjectType", none);
    } catch (const Error&) {
        return std::string(none);
    }
}

// Types whose projects the new-project dialog knows how to create.
bool hasNewProjectDialog(ProjectType type) {
    return type == ProjectType::Single || type == ProjectType::Server ||
           type == ProjectType::Client || type == ProjectType::Group;
}

// A path given relative to the working folder is registered with the folder it
// really lies in; an empty folder would name no place at all.
std::string absoluteFile(const std::string& path) {
    if (paths::hasDrivePart(path)) {
        return path;
    }
    std::error_code error;
    const auto absolute = std::filesystem::absolute(paths::toNative(path), error);
    return error ? path : absolute.lexically_normal().string();
}

// One run of the start-up once the services exist: the project to work on is
// chosen, checked, recorded and handed to the launcher.
class StartupRun {
  public:
    StartupRun(StartupContext& context, ConfigurationComponent& configuration)
        : context_(context), configuration_(configuration),
          registration_(context.registry, configuration, context.messages, context.texts),
          lookup_(context.registry, context.messages, context.texts),
          services_{context.registry, configuration,
                    [this](std::string_view file) { return registration_.CheckReadOnly(file); }} {}
    StartupRun(const StartupRun&) = delete;
    StartupRun& operator=(const StartupRun&) = delete;

    // The exit code when the run ends before the IDE; nothing when the project
    // is ready to be opened.
    std::optional<int> chooseProject(const CommandLine& commandLine) {
        switch (commandLine.form) {
        case CommandLineForm::Empty:
            project_ = context_.host.chooseProject();
            break;
        case CommandLineForm::InvalidSwitch:
            ShowMessage(context_.messages, context_.texts, invalidCommandLine,
                        MessageStyle::critical());
            return exitNormal;
        case CommandLineForm::Register:
            return registerOnly(commandLine.argument);
        case CommandLineForm::OpenByName:
            if (!openByName(commandLine.argument)) {
                return exitNormal;
            }
            break;
        case CommandLineForm::Path:
            if (auto ended = openPath(commandLine.argument)) {
                return ended;
            }
            break;
        }
        return prepare();
    }

    CKVProject& project() { return project_; }
    const ProjectServices& services() const { return services_; }

  private:
    bool openByName(const std::string& name) {
        project_.EProjectOpen = ProjectOpen::OpenProject;
        project_.ProjectName = name;
        const auto registered = lookup_.FindByName(name);
        if (!registered) {
            return false;
        }
        project_.Path = registered->path;
        project_.Initialize(services_, project_.ProjectName);
        return true;
    }

    std::optional<int> openPath(const std::string& path) {
        project_.EProjectOpen = ProjectOpen::OpenProject;
        // The extension is compared exactly: "Plant.KVS" is not a project file.
        if ("." + paths::extension(path) != ".kvs") {
            ShowMessage(context_.messages, context_.texts, unknownFileType,
                        MessageStyle::exclamation(), {path});
            return exitNormal;
        }
        if (!context_.files.fileExists(path)) {
            ShowMessage(context_.messages, context_.texts, fileMissing, MessageStyle::exclamation(),
                        {path});
            return exitNormal;
        }
        const std::string file = absoluteFile(path);
        const std::string folder = paths::parentFolder(file);
        project_.Initialize2(services_, file);
        if (!lookup_.ConfirmFolder(project_.ProjectName, project_.Path, folder)) {
            return exitNormal;
        }
        if (!registration_.RegisterProject(folder, project_.ProjectName)) {
            return exitRegistrationFailed;
        }
        return std::nullopt;
    }

    // Registers without a word: scripts and installers use this form.
    int registerOnly(const std::string& file) {
        project_.ProjectFile = file;
        if (!context_.files.fileExists(file)) {
            return exitRegistrationFailed;
        }
        const std::string absolute = absoluteFile(file);
        project_.Path = paths::parentFolder(absolute);
        project_.ProjectName = paths::baseName(absolute);
        return registration_.RegisterProject(project_.Path, project_.ProjectName)
                   ? exitNormal
                   : exitRegistrationFailed;
    }

    // Acts on what the dialog or the command line asked for until a project is
    // ready; a cancelled new-project dialog brings the open dialog back.
    std::optional<int> prepare() {
        for (;;) {
            switch (project_.EProjectOpen) {
            case ProjectOpen::Nothing:
                return exitNormal;
            case ProjectOpen::CreateFromTemplate:
                ShowNewProjectDialog(project_, context_.host, context_.messages, context_.texts);
                if (project_.EProjectOpen == ProjectOpen::Nothing) {
                    project_ = context_.host.chooseProject();
                    continue;
                }
                return std::nullopt;
            case ProjectOpen::OpenProject:
                check(project_.ProjectName);
                return std::nullopt;
            case ProjectOpen::OpenGroup:
                project_.Initialize(services_, project_.ProjectName);
                for (const auto& member : project_.Projects) {
                    if (member.project) {
                        check(member.project->ProjectName);
                    }
                }
                return std::nullopt;
            }
            return std::nullopt;
        }
    }

    void check(const std::string& projectName) {
        if (context_.checkProject) {
            context_.checkProject(configuration_, projectName);
        }
    }

    StartupContext& context_;
    ConfigurationComponent& configuration_;
    ProjectRegistration registration_;
    ProjectLookup lookup_;
    ProjectServices services_;
    CKVProject project_;
};

int run(std::string_view commandLine, StartupContext& context) {
    StartupHost& host = context.host;
    host.showMainWindow();
    const CommandLine parsed = ParseCommandLine(trim(commandLine));
    host.showSplash();

    if (!LoadInstallationSettings(context.registry, context.messages, context.files,
                                  context.settings)) {
        return exitNormal;
    }
    // Every text from here on speaks the installation's language.
    context.texts = TextService(context.settings.language);

    std::unique_ptr<ConfigurationComponent> configuration;
    if (!CreateConfigurationComponent(configuration, context.messages, context.texts,
                                      context.createConfiguration)) {
        return exitNormal;
    }
    const auto launcher = context.createLauncher
                              ? context.createLauncher([&configuration] { configuration.reset(); })
                              : nullptr;
    if (!launcher || launcher->VBVersion() == 0) {
        return exitNormal;
    }
    host.setHelpFile(paths::joinPath(context.settings.commonFolder, helpFileBelowCommon));
    host.initReady();

    StartupRun startup(context, *configuration);
    if (const auto ended = startup.chooseProject(parsed)) {
        return *ended;
    }
    CKVProject& project = startup.project();
    project.Initialize(startup.services(), project.ProjectName);
    RecentProjects(context.registry).AddRecentProject(project.ProjectName);
    host.unloadMainWindow();
    launcher->Start(project);
    return exitNormal;
}

} // namespace

std::string StripQuotes(std::string_view text) {
    if (text.starts_with('"')) {
        text.remove_prefix(1);
        if (text.ends_with('"')) {
            text.remove_suffix(1);
        }
    }
    return std::string(text);
}

void ShowNewProjectDialog(CKVProject& project, StartupHost& host, MessageService& messages,
                          const TextService& texts) {
    const std::string typeName = templateTypeName(project.TemplatePath);
    // A number where a name belongs is no type the dialog could offer.
    const auto converted = ConvertProjectType(ProjectTypeValue{typeName});
    const auto* code = std::get_if<std::int32_t>(&converted);
    project.EProjectType = code ? static_cast<ProjectType>(*code) : ProjectType::None;
    if (hasNewProjectDialog(project.EProjectType)) {
        host.showNewProjectDialog(project);
        return;
    }
    // Going on would open an empty project; the developer chooses again instead.
    ShowMessage(messages, texts, templateTypeWithoutDialog, MessageStyle::exclamation(),
                {paths::lastComponent(project.TemplatePath), typeName});
    project.EProjectOpen = ProjectOpen::Nothing;
}

int Main(std::string_view commandLine, StartupContext& context) {
    try {
        return run(commandLine, context);
    } catch (const std::runtime_error& error) {
        // Registry, file and project-store errors end the run like every other
        // start-up failure: told to the user, never a crash.
        context.messages.show(
            {std::string(applicationTitle), error.what(), MessageStyle::critical()});
        return exitNormal;
    }
}

} // namespace korvana
