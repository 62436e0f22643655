#include "project/ProjectRegistration.h"

#include "db/DbErrors.h"
#include "db/JetFileFormat.h"
#include "platform/Error.h"
#include "platform/ErrorNumbers.h"
#include "platform/Paths.h"
#include "project/GroupFileReader.h"
#include "project/GuardedProcedure.h"
#include "services/InstallationKeys.h"
#include "services/OpenProjectSettings.h"
#include "services/ResolveProjectFile.h"
#include "text/Messages.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <sys/stat.h>

namespace korvana {

namespace {

constexpr TextId notRegisteredText{907};
constexpr TextId readOnlyQuestion{914};
constexpr TextId groupWithoutProject{915};
constexpr TextId memberFileMissing{916};
constexpr TextId groupNotRegistered{917};
constexpr TextId folderMissing{919};
constexpr TextId fileMissing{920};
constexpr TextId invalidName{921};
constexpr TextId notAProjectDatabase{922};
constexpr TextId memberPassedOver{940};
constexpr TextId jetProjectFile{941};

// "Path" holds the folder without a trailing separator (the root stays "/").
std::string storedFolder(std::string_view folder) {
    std::string stored(folder);
    while (stored.size() > 1 && paths::isSeparator(stored.back())) {
        stored.pop_back();
    }
    return stored;
}

} // namespace

ProjectRegistration::ProjectRegistration(Registry& registry, ConfigurationComponent& configuration,
                                         MessageService& messages, const TextService& texts)
    : registry_(registry), configuration_(configuration), messages_(messages), texts_(texts) {}

bool ProjectRegistration::CheckProjectName(std::string_view name) {
    if (isRegistrableName(name)) {
        return true;
    }
    ShowMessage(messages_, texts_, invalidName, MessageStyle::exclamation(),
                {shownProjectName(name)});
    return false;
}

bool ProjectRegistration::CheckFileToRegister(std::string_view name, std::string_view folder,
                                              std::string_view file) {
    if (files_.fileExists(file)) {
        return true;
    }
    if (!folder.empty() && !files_.folderExists(folder)) {
        ShowMessage(messages_, texts_, folderMissing, MessageStyle::exclamation(),
                    {shownProjectName(name), folder});
    } else {
        ShowMessage(messages_, texts_, fileMissing, MessageStyle::exclamation(),
                    {shownProjectName(name), file});
    }
    return false;
}

bool ProjectRegistration::RegisterProject(std::string_view folder, std::string_view name) {
    RegistryChanges changes(registry_);
    if (!registerProjectInto(changes, folder, name)) {
        changes.undo();
        return false;
    }
    changes.keep();
    return true;
}

bool ProjectRegistration::registerProjectInto(RegistryChanges& changes, std::string_view folder,
                                              std::string_view name) {
    if (!CheckProjectName(name)) {
        return false;
    }
    const std::string stored = storedFolder(folder);
    const std::string file = paths::joinPath(stored, std::string(name) + ".kvs");
    if (!CheckFileToRegister(name, stored, file)) {
        return false;
    }
    return RunGuarded(messages_, texts_, "RegisterProject",
                      [&] { return writeProject(changes, stored, name, file); });
}

bool ProjectRegistration::writeProject(RegistryChanges& changes, const std::string& folder,
                                       std::string_view name, const std::string& file) {
    // Read first: a file that cannot be read as a project is never registered,
    // and is not offered to be made writable either.
    std::string type;
    std::string version;
    try {
        // Opened by its path: the registered name may differ in case from the file.
        OpenProjectSettings settings(configuration_, file);
        type = settings.text("Global", "ProjectType");
        version = settings.text("Global", "KorvanaVersion");
    } catch (const Error& error) {
        if (error.number() != db::errors::notADatabase) {
            throw;
        }
        // A project file from Windows is named as such, with the way on.
        const bool fromWindows = db::jetFormatOf(file) != db::JetFormat::None;
        ShowMessage(messages_, texts_, fromWindows ? jetProjectFile : notAProjectDatabase,
                    MessageStyle::exclamation(), {shownProjectName(name), file});
        return false;
    }
    if (!CheckReadOnly(file)) {
        return false;
    }
    const std::string key = *registrationKey(name);
    changes.writeString(Hive::LocalMachine, key, "Path", folder);
    changes.writeString(Hive::LocalMachine, key, "ProjectType", type);
    changes.writeString(Hive::LocalMachine, key, "KorvanaVersion", version);
    return true;
}

bool ProjectRegistration::RegisterGroup(std::string_view folder, std::string_view name) {
    RegistryChanges changes(registry_);
    if (!registerGroupInto(changes, folder, name)) {
        changes.undo();
        return false;
    }
    changes.keep();
    return true;
}

bool ProjectRegistration::registerGroupInto(RegistryChanges& changes, std::string_view folder,
                                            std::string_view name) {
    if (!CheckProjectName(name)) {
        return false;
    }
    const std::string stored = storedFolder(folder);
    const std::string groupFile = paths::joinPath(stored, std::string(name) + ".vbg");
    if (!CheckFileToRegister(name, stored, groupFile)) {
        return false;
    }
    return RunGuarded(messages_, texts_, "RegisterGroup",
                      [&] { return writeGroup(changes, stored, name, groupFile); });
}

bool ProjectRegistration::writeGroup(RegistryChanges& changes, const std::string& folder,
                                     std::string_view name, const std::string& groupFile) {
    bool found = false;
    bool allRegistered = true;
    const auto read = GroupFileReader::members(groupFile, folder);
    for (const auto& entry : read.passedOver) {
        TellPassedOverMember(name, entry);
    }
    for (const auto& member : read.projects) {
        found = true;
        const std::string memberFolder = paths::parentFolder(member.file);
        // A name that could lead out of the member's folder names no project
        // file there: it is reported like a missing one.
        if (isSafeProjectName(member.projectName) &&
            files_.fileExists(paths::joinPath(memberFolder, member.projectName + ".kvs"))) {
            allRegistered =
                registerProjectInto(changes, memberFolder, member.projectName) && allRegistered;
        } else {
            ShowMessage(messages_, texts_, memberFileMissing, MessageStyle::exclamation(),
                        {member.projectName, name});
        }
    }
    if (!found) {
        ShowMessage(messages_, texts_, groupWithoutProject, MessageStyle::exclamation(), {name});
        return false;
    }
    if (!allRegistered) {
        ShowMessage(messages_, texts_, groupNotRegistered, MessageStyle::exclamation(), {name});
        return false;
    }
    const std::string key = *registrationKey(name);
    changes.writeString(Hive::LocalMachine, key, "Path", folder);
    changes.writeString(Hive::LocalMachine, key, "ProjectType",
                        projectTypeName(ProjectType::Group));
    return true;
}

ProjectServices ProjectRegistration::loadingServices() {
    return {registry_, configuration_,
            [this](std::string_view file) { return CheckReadOnly(file); },
            [this](std::string_view group, std::string_view entry) {
                TellPassedOverMember(group, entry);
            }};
}

void ProjectRegistration::TellPassedOverMember(std::string_view group, std::string_view entry) {
    ShowMessage(messages_, texts_, memberPassedOver, MessageStyle::information(), {entry, group});
}

bool ProjectRegistration::CheckReadOnly(std::string_view file) {
    return RunGuarded(messages_, texts_, "CheckReadOnly",
                      [&] { return checkReadOnlyUnguarded(file); });
}

bool ProjectRegistration::checkReadOnlyUnguarded(std::string_view file) {
    if (!files_.fileExists(file)) {
        return false;
    }
    const auto native = paths::toFileSystemPath(file);
    struct stat status {};
    if (::stat(native.c_str(), &status) != 0) {
        throw Error("The file '" + std::string(file) +
                        "' cannot be examined: " + std::strerror(errno),
                    runtimeErrors::pathFileAccessError);
    }
    // The owner's write permission is the read-only attribute here, for root
    // too, although root could write the file anyway.
    if ((status.st_mode & S_IWUSR) != 0) {
        return true;
    }
    const Answer answer =
        ShowMessage(messages_, texts_, readOnlyQuestion, MessageStyle::question());
    if (answer != Answer::Yes) {
        return false;
    }
    if (::chmod(native.c_str(), (status.st_mode & 07777) | S_IWUSR) != 0) {
        throw Error("The write protection of '" + std::string(file) +
                        "' cannot be removed: " + std::strerror(errno),
                    runtimeErrors::pathFileAccessError);
    }
    return true;
}

std::vector<RegisteredProject> ProjectRegistration::ListRegisteredProjects(ProjectTypeMask mask) {
    std::vector<RegisteredProject> rows;
    for (const auto& name : registry_.subKeys(Hive::LocalMachine, keys::projects)) {
        const auto key = registrationKey(name);
        if (!key) {
            // A name that could lead elsewhere is neither listed nor followed,
            // and not deleted either: it is not known to be stale.
            continue;
        }
        RegisteredProject project = readRegisteredKey(registry_, name);
        if (project.path.empty() || !files_.fileExists(registeredProjectFile(project))) {
            try {
                registry_.deleteKey(Hive::LocalMachine, *key);
            } catch (const Error&) {
                // Passed over: the stale entry goes at the next listing.
            }
            continue;
        }
        if (mask.contains(project.type)) {
            rows.push_back(std::move(project));
        }
    }
    return rows;
}

bool ProjectRegistration::DeregisterProject(std::string_view name) {
    // Registrations made before names were held to file-name characters can
    // still be deleted: only a name that could reach another key is refused.
    if (!registrationKey(name)) {
        ShowMessage(messages_, texts_, invalidName, MessageStyle::exclamation(),
                    {shownProjectName(name)});
        return false;
    }
    const auto project = readRegistration(registry_, name);
    if (!project) {
        ShowMessage(messages_, texts_, notRegisteredText, MessageStyle::exclamation(), {name});
        return false;
    }
    registry_.deleteKey(Hive::LocalMachine, *registrationKey(project->name));
    return true;
}

} // namespace korvana
