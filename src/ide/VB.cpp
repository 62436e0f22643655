#include "ide/VB.h"

#include "ide/BinaryValue.h"
#include "ide/IdeKeys.h"
#include "ide/ProjectBinary.h"
#include "ide/VBToolBox.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "text/Messages.h"

#include <chrono>
#include <utility>

namespace korvana::ide {

namespace {

using namespace std::chrono_literals;

// How long one wait for the IDE lasts before the windows get their turn.
constexpr auto waitSlice = 10ms;

constexpr TextId noVisualBasic{93};
constexpr TextId versionNotInstalled{903};
constexpr TextId projectFileMissing{904};
constexpr TextId ideNotStarted{923};
constexpr TextId quoteInPath{924};

constexpr std::string_view layoutSection = "Visual Basic";

const std::string noPath;

// Visual Basic's own name for the versions a project may be assigned to.
constexpr std::string_view vb5Designer = "Visual Basic 5.0";
constexpr std::string_view vb6Designer = "Visual Basic 6.0";

// The executable below the folder a registry value names, when it is there.
std::string findExecutable(const Registry& registry, std::string_view key, std::string_view value,
                           std::string_view executable) {
    const std::string folder = registry.readString(Hive::LocalMachine, key, value);
    if (folder.empty()) {
        return {};
    }
    std::string path = paths::joinPath(folder, executable);
    return Files().fileExists(path) ? path : std::string();
}

bool isGroup(const CKVProject& project) {
    return project.EProjectType == ProjectType::Group;
}

} // namespace

CVB::CVB(IdeEnvironment environment)
    : env_(std::move(environment)), addIns_(env_.windowsFolder / std::string(keys::addInFile)) {
    executables_[5] = findExecutable(env_.registry, keys::vb5InstallKey, keys::vb5InstallValue,
                                     keys::vb5Executable);
    if (!executables_[5].empty()) {
        VBVersion = 5;
    }
    executables_[6] = findExecutable(env_.registry, keys::vb6InstallKey, keys::vb6InstallValue,
                                     keys::vb6Executable);
    if (!executables_[6].empty()) {
        VBVersion = 6;
    }
    if (VBVersion == 0) {
        ShowNumberedMessage(env_.messages, env_.texts, noVisualBasic, MessageStyle::critical());
    }
    addIns_.rememberPriorStates();
}

CVB::~CVB() = default;

const std::string& CVB::executablePath(int version) const {
    if (version < 0 || static_cast<std::size_t>(version) >= executables_.size()) {
        return noPath;
    }
    return executables_[static_cast<std::size_t>(version)];
}

std::optional<std::int16_t> CVB::chooseVersion(const CKVProject& project) {
    std::int16_t assigned = 0;
    if (project.Designer == vb5Designer) {
        assigned = 5;
    } else if (project.Designer == vb6Designer) {
        assigned = 6;
    } else {
        // No designer, or one this launcher does not know: the newest IDE
        // installed is the best guess.
        return VBVersion;
    }
    if (!executablePath(assigned).empty()) {
        return assigned;
    }
    const Answer answer = ShowNumberedMessage(env_.messages, env_.texts, versionNotInstalled,
                                              MessageStyle::question(),
                                              {std::int32_t{assigned}, std::int32_t{VBVersion}});
    if (answer != Answer::Yes) {
        return std::nullopt;
    }
    return VBVersion;
}

void CVB::saveDeveloperLayout() {
    layoutSaved_ = false;
    savedDock_.reset();
    savedUi_.reset();
    const std::string key = visualBasicUserKey(versionInUse_);
    passOver_.run("save the developer's layout", [&] {
        savedDock_ = env_.registry.value(Hive::CurrentUser, key, keys::dockValue);
        savedUi_ = env_.registry.value(Hive::CurrentUser, key, keys::uiValue);
        layoutSaved_ = true;
    });
}

StartOutcome CVB::Start(CKVProject& project) {
    project_ = &project;
    passOver_ = PassOver();
    ideRan_ = false;
    layoutSaved_ = false;

    const auto version = chooseVersion(project);
    if (!version) {
        return StartOutcome::Refused;
    }
    versionInUse_ = *version;
    const std::string& executable = executablePath(versionInUse_);
    if (executable.empty()) {
        // No IDE at all: the start-up has told the developer (text 93).
        return StartOutcome::StartFailed;
    }

    if (env_.settings.keepInterface) {
        // A toolbox read in an earlier run must not be written back over what
        // the developer has now.
        toolbox_.reset();
    } else {
        if (!toolbox_) {
            toolbox_ = std::make_unique<CVBToolBox>(env_.registry, env_.settings);
        }
        passOver_.run("read the toolbox", [&] { toolbox_->Read(versionInUse_); });
        saveDeveloperLayout();
    }

    PrepareIDE(IdeSetup::Prepare);

    if (project.DesignerProject == "\\" || !Files().fileExists(project.DesignerProject)) {
        ShowNumberedMessage(env_.messages, env_.texts, projectFileMissing, MessageStyle::critical(),
                            {project.DesignerProject});
        return restoreAfter(StartOutcome::NoProjectFile);
    }

    std::unique_ptr<RunningProcess> process;
    std::string reason;
    // A double quote would end the quoted argument early and hand the IDE
    // another file than the project's.
    if (executable.find('"') != std::string::npos ||
        project.DesignerProject.find('"') != std::string::npos) {
        reason = env_.texts.LoadText(quoteInPath);
    } else {
        if (env_.releaseConfiguration) {
            env_.releaseConfiguration();
        }
        try {
            process =
                env_.processes.start("\"" + executable + "\" \"" + project.DesignerProject + "\"");
        } catch (const Error& error) {
            reason = error.what();
        }
    }
    if (!process) {
        env_.messages.show(Message{std::string(applicationTitle),
                                   env_.texts.LoadText(ideNotStarted, {executable, reason}),
                                   MessageStyle::critical()});
        return restoreAfter(StartOutcome::StartFailed);
    }

    if (env_.waitForIde) {
        env_.waitForIde(*process);
    }
    while (!process->waitFor(waitSlice)) {
        if (env_.processEvents) {
            env_.processEvents();
        }
    }
    process.reset();

    ideRan_ = true;
    PrepareIDE(IdeSetup::Restore);
    return StartOutcome::Ran;
}

StartOutcome CVB::restoreAfter(StartOutcome outcome) {
    // The IDE never ran: its layout is still the project's own (or the
    // developer's), nothing the project should keep.
    ideRan_ = false;
    PrepareIDE(IdeSetup::Restore);
    return outcome;
}

void CVB::PrepareIDE(IdeSetup setup) {
    if (!toolbox_) {
        toolbox_ = std::make_unique<CVBToolBox>(env_.registry, env_.settings);
    }
    passOver_.run("toolbox", [&] {
        toolbox_->Store(versionInUse_, setup == IdeSetup::Prepare ? ToolBoxSetting::Install
                                                                  : ToolBoxSetting::Restore);
    });

    if (setup == IdeSetup::Prepare) {
        addIns_.prepare(passOver_);
        if (!isGroup(*project_)) {
            applyProjectLayout();
        }
    } else {
        if (!isGroup(*project_)) {
            keepLayoutAndRestore();
        }
        addIns_.restore(passOver_);
    }
}

void CVB::applyProjectLayout() {
    // Without the developer's layout in hand it could not be put back.
    if (!layoutSaved_ || env_.settings.keepInterface) {
        return;
    }
    const std::string key = visualBasicUserKey(versionInUse_);
    for (const auto entry : {keys::dockValue, keys::uiValue}) {
        passOver_.run("apply the project's " + std::string(entry), [&] {
            auto stored =
                ReadProjectBinary(env_.registry, project_->ProjectName, layoutSection, entry);
            if (!stored.empty()) {
                env_.registry.writeBinary(Hive::CurrentUser, key, entry, std::move(stored));
            }
        });
    }
}

void CVB::keepLayoutAndRestore() {
    if (!layoutSaved_) {
        return;
    }
    const std::string key = visualBasicUserKey(versionInUse_);
    const std::pair<std::string_view, const std::optional<RegistryValue>*> entries[] = {
        {keys::dockValue, &savedDock_},
        {keys::uiValue, &savedUi_},
    };
    if (ideRan_) {
        for (const auto& [entry, saved] : entries) {
            passOver_.run("keep the project's " + std::string(entry), [&, entry = entry] {
                // A value the IDE did not leave is no layout: the project keeps
                // the one it has.
                if (const auto final = readBinaryValue(env_.registry, key, entry)) {
                    WriteProjectBinary(env_.registry, project_->ProjectName, layoutSection, entry,
                                       *final);
                }
            });
        }
    }
    for (const auto& [entry, saved] : entries) {
        passOver_.run("restore the developer's " + std::string(entry),
                      [&, entry = entry, saved = saved] {
                          // A value the developer never had is removed again rather than left
                          // with the project's layout in it.
                          if (*saved) {
                              env_.registry.setValue(Hive::CurrentUser, key, entry, **saved);
                          } else {
                              env_.registry.deleteValue(Hive::CurrentUser, key, entry);
                          }
                      });
    }
}

} // namespace korvana::ide
