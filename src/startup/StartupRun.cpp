#include "startup/StartupRun.h"

#include "platform/Paths.h"
#include "startup/MKorvanaStudio.h"
#include "text/Messages.h"

#include <filesystem>
#include <system_error>

namespace korvana {

namespace {

constexpr TextId invalidCommandLine{905};
constexpr TextId unknownFileType{912};
constexpr TextId fileMissing{913};
constexpr TextId checkCancelled{707};
constexpr TextId checkCompletedAfterCancel{708};

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

} // namespace

StartupRun::StartupRun(StartupContext& context, ConfigurationComponent& configuration)
    : context_(context), configuration_(configuration),
      registration_(context.registry, configuration, context.messages, context.texts),
      lookup_(context.registry, context.messages, context.texts),
      services_(registration_.loadingServices()) {}

std::optional<int> StartupRun::chooseProject(const CommandLine& commandLine) {
    switch (commandLine.form) {
    case CommandLineForm::Empty:
        project_ = context_.host.chooseProject(dialogServices());
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

bool StartupRun::openByName(const std::string& name) {
    project_.EProjectOpen = ProjectOpen::OpenProject;
    project_.ProjectName = name;
    const auto registered = lookup_.FindByName(name);
    if (!registered) {
        return false;
    }
    project_.Path = registered->path;
    // A registered group named on the command line opens as a group, its
    // members checked first, as when it is picked in the project-open dialog.
    if (registered->type == ProjectType::Group) {
        project_.EProjectOpen = ProjectOpen::OpenGroup;
        return true;
    }
    project_.Initialize(services_, project_.ProjectName);
    return true;
}

std::optional<int> StartupRun::openPath(const std::string& path) {
    project_.EProjectOpen = ProjectOpen::OpenProject;
    // The extension is compared exactly: "Plant.KVS" is not a project file.
    if ("." + paths::extension(path) != ".kvs") {
        ShowMessage(context_.messages, context_.texts, unknownFileType, MessageStyle::exclamation(),
                    {path});
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

// Scripts and installers use this form: they see the exit code, and whoever
// reads their log sees why a registration failed.
int StartupRun::registerOnly(const std::string& file) {
    project_.ProjectFile = file;
    // An empty argument stays empty: made absolute it would name the working folder.
    const std::string absolute = file.empty() ? file : absoluteFile(file);
    project_.Path = paths::parentFolder(absolute);
    project_.ProjectName = paths::baseName(absolute);
    if (!registration_.CheckFileToRegister(project_.ProjectName, project_.Path, absolute)) {
        return exitRegistrationFailed;
    }
    return registration_.RegisterProject(project_.Path, project_.ProjectName)
               ? exitNormal
               : exitRegistrationFailed;
}

// Acts on what the dialog or the command line asked for until a project is
// ready; a cancelled new-project dialog or database check brings the open
// dialog back.
std::optional<int> StartupRun::prepare() {
    for (;;) {
        switch (project_.EProjectOpen) {
        case ProjectOpen::Nothing:
            return exitNormal;
        case ProjectOpen::CreateFromTemplate:
            ShowNewProjectDialog(project_, context_.host, dialogServices(), context_.messages,
                                 context_.texts);
            if (project_.EProjectOpen == ProjectOpen::Nothing) {
                chooseAgain();
                continue;
            }
            return std::nullopt;
        case ProjectOpen::OpenProject:
            if (!check(project_.ProjectName)) {
                chooseAgain();
                continue;
            }
            return std::nullopt;
        case ProjectOpen::OpenGroup: {
            project_.Initialize(services_, project_.ProjectName);
            // The members checked before a cancelled one keep their result;
            // the group is not opened.
            bool checked = true;
            for (const auto& member : project_.Projects) {
                if (member.project && !check(member.project->ProjectName)) {
                    checked = false;
                    break;
                }
            }
            if (!checked) {
                chooseAgain();
                continue;
            }
            return std::nullopt;
        }
        }
        return std::nullopt;
    }
}

bool StartupRun::check(const std::string& projectName) {
    if (!context_.checkProject) {
        return true;
    }
    const auto result =
        context_.host.runCheck(projectName, [&](const dbupgrade::CheckObserver& observer) {
            return context_.checkProject(configuration_, projectName, observer);
        });
    if (result.outcome == dbupgrade::CheckOutcome::Cancelled) {
        ShowMessage(context_.messages, context_.texts, checkCancelled, MessageStyle::information(),
                    {projectName});
        return false;
    }
    if (result.stopCameTooLate) {
        // The user asked to stop: the project is checked, yet not opened.
        ShowMessage(context_.messages, context_.texts, checkCompletedAfterCancel,
                    MessageStyle::information(), {projectName});
        return false;
    }
    return true;
}

void StartupRun::chooseAgain() {
    project_ = context_.host.chooseProject(dialogServices());
}

} // namespace korvana
