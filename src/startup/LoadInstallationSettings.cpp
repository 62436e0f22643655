#include "startup/LoadInstallationSettings.h"

#include "platform/Failure.h"
#include "platform/Paths.h"
#include "text/Messages.h"
#include "text/TextService.h"

#include <string>
#include <utility>

namespace korvana {

namespace {

constexpr TextId folderNotRegistered{91};
constexpr TextId folderMissing{92};

constexpr const char* projectsBelowDocuments = "\\KorvanaStudio\\Projects";
constexpr const char* studioBelowDocuments = "\\KorvanaStudio";
constexpr const char* templatesBelowStudio = "\\Templates";

// The own folders are conveniences: a registry or file operation that fails
// while they are worked out must not keep the studio from starting, so the
// statement is skipped and the setting keeps what it had.
template <typename Statement> void passOver(Statement&& statement) {
    failureOf(std::forward<Statement>(statement));
}

std::string documentsFolder(const Registry& registry) {
    std::string documents;
    passOver([&] {
        documents = registry.readString(Hive::CurrentUser, keys::shellFolders, "Personal");
    });
    return documents;
}

bool createFolder(Files& files, const std::string& folder) {
    bool created = false;
    passOver([&] { created = files.createFolder(folder); });
    return created;
}

// Only a default that could be created is remembered, so that a later start
// tries again rather than keeping a folder that was never made. A folder the
// developer chose is never rewritten, even when it cannot be created now (a
// network drive may simply be away).
std::string ownProjectsFolder(Registry& registry, Files& files) {
    std::string folder;
    passOver([&] {
        folder = registry.readString(Hive::CurrentUser, keys::user, "DefaultProjectsPath");
    });
    if (folder.empty()) {
        folder = paths::joinPath(documentsFolder(registry), projectsBelowDocuments);
        if (!createFolder(files, folder)) {
            return {};
        }
        passOver([&] {
            registry.writeString(Hive::CurrentUser, keys::user, "DefaultProjectsPath", folder);
        });
        return folder;
    }
    bool exists = false;
    passOver([&] { exists = files.folderExists(folder); });
    if (!exists && !createFolder(files, folder)) {
        return {};
    }
    return folder;
}

// Templates of one's own are optional: the folder is only a proposal and is
// neither created nor remembered.
std::string ownTemplatesFolder(const Registry& registry) {
    std::string folder;
    passOver([&] { folder = registry.readString(Hive::CurrentUser, keys::user, "TemplatesPath"); });
    if (folder.empty()) {
        folder = paths::joinPath(paths::joinPath(documentsFolder(registry), studioBelowDocuments),
                                 templatesBelowStudio);
    }
    return folder;
}

} // namespace

bool LoadInstallationSettings(Registry& registry, MessageService& messages, Files& files,
                              InstallationSettings& settings) {
    // The language comes first: the messages about the installation folder
    // already appear in it.
    settings.language = Lcid{
        registry.readNumber(Hive::LocalMachine, keys::installation, "LCID", germanLanguage.value)};
    const TextService texts(settings.language);

    std::string folder = registry.readString(Hive::LocalMachine, keys::installation, "Path");
    if (folder.empty()) {
        ShowNumberedMessage(messages, texts, folderNotRegistered, MessageStyle::critical());
    } else if (!files.folderExists(folder)) {
        ShowNumberedMessage(messages, texts, folderMissing, MessageStyle::critical(), {folder});
        folder.clear();
    }
    settings.installationFolder = folder;
    if (folder.empty()) {
        return false;
    }

    settings.commonFolder = registry.readString(Hive::LocalMachine, keys::maker, "Common");
    settings.installedVersion =
        registry.readString(Hive::LocalMachine, keys::installation, "Version");

    settings.ownProjectsFolder = ownProjectsFolder(registry, files);
    settings.ownTemplatesFolder = ownTemplatesFolder(registry);
    return true;
}

} // namespace korvana
