#include "startup/MKorvanaStudio.h"

#include "platform/Error.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "project/ProjectType.h"
#include "project/RecentProjects.h"
#include "services/HelpFiles.h"
#include "startup/LoadInstallationSettings.h"
#include "startup/StartupRun.h"
#include "text/Messages.h"

#include <memory>
#include <stdexcept>
#include <variant>

namespace korvana {

namespace {

constexpr TextId templateTypeWithoutDialog{918};

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
    host.setHelpFile(projectManagementHelpFile(context.settings.commonFolder));
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

void ShowNewProjectDialog(CKVProject& project, StartupHost& host,
                          const ProjectDialogServices& services, MessageService& messages,
                          const TextService& texts) {
    const std::string typeName = templateTypeName(project.TemplatePath);
    // A number where a name belongs is no type the dialog could offer.
    const auto converted = ConvertProjectType(ProjectTypeValue{typeName});
    const auto* code = std::get_if<std::int32_t>(&converted);
    project.EProjectType = code ? static_cast<ProjectType>(*code) : ProjectType::None;
    if (hasNewProjectDialog(project.EProjectType)) {
        project.ProjectType = typeName;
        host.showNewProjectDialog(project, services);
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
