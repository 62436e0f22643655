#include "services/StoreOptions.h"

#include "platform/Failure.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "services/InstallationKeys.h"
#include "text/Messages.h"

#include <string_view>

namespace korvana {

namespace {

constexpr std::string_view projectsFolderValue = "DefaultProjectsPath";
constexpr std::string_view templatesFolderValue = "TemplatesPath";
constexpr std::string_view installedTemplatesBelowStudio = "\\Templates";

constexpr TextId cannotCreateText{590};
constexpr TextId templatesFolderRefusedText{591};
constexpr TextId projectsFolderInsideHint{592};
constexpr TextId projectsFolderRefusedText{593};
constexpr TextId templatesFolderInsideHint{594};

constexpr std::string_view writeFailedSentence = "Error in function 'StoreOptions'!";

// A folder's text as the checks compare it: the installation folder may be
// stored Windows-style and the developer's folder typed natively, and a
// trailing separator must not let the installation folder itself pass as a
// folder below it. Letter case does not count, as on Windows.
std::string comparable(std::string_view folder) {
    std::string text = toLowerAscii(paths::toNative(folder));
    while (text.size() > 1 && text.back() == '/') {
        text.pop_back();
    }
    return text;
}

bool isSameFolder(std::string_view a, std::string_view b) {
    return comparable(a) == comparable(b);
}

// True when `path` names a folder inside `folder`. Only a path that starts with
// the folder counts: the folder's name further along ("/backup/opt/korvana/x")
// says nothing about where the path lies.
bool liesBelow(std::string_view path, std::string_view folder) {
    const std::string inner = comparable(path);
    const std::string outer = comparable(folder);
    if (outer.empty() || inner.size() <= outer.size() || !inner.starts_with(outer)) {
        return false;
    }
    return outer.back() == '/' || inner[outer.size()] == '/';
}

// The registry raises when the developer's hive cannot be written (a damaged
// hive, a full disk). The developer is told, and the folder is not taken over:
// closing the dialog would claim a setting that the next start does not find.
bool writeFolder(const OptionsStore& store, std::string_view valueName, std::string_view folder) {
    const auto failure = failureOf(
        [&] { store.registry.writeString(Hive::CurrentUser, keys::user, valueName, folder); });
    if (failure) {
        ReportError(store.messages, store.texts, writeFailedSentence, failure->number,
                    failure->description);
        return false;
    }
    return true;
}

bool storeProjectsFolder(const std::string& folder, const OptionsStore& store) {
    if (!store.files.createFolder(folder)) {
        ShowNumberedMessage(store.messages, store.texts, cannotCreateText,
                            MessageStyle::exclamation(), {folder});
        return false;
    }
    const std::string& installation = store.settings.installationFolder;
    if (isSameFolder(folder, installation)) {
        ShowMessage(store.messages, store.texts, projectsFolderRefusedText,
                    MessageStyle::exclamation());
        return false;
    }
    if (liesBelow(folder, installation)) {
        ShowMessage(store.messages, store.texts, projectsFolderInsideHint,
                    MessageStyle::information());
    }
    if (!writeFolder(store, projectsFolderValue, folder)) {
        return false;
    }
    store.settings.ownProjectsFolder = folder;
    return true;
}

bool storeTemplatesFolder(const std::string& folder, const OptionsStore& store) {
    if (!store.files.createFolder(folder)) {
        ShowMessage(store.messages, store.texts, cannotCreateText, MessageStyle::exclamation(),
                    {folder});
        return false;
    }
    // The developer's templates are listed beside the installed ones; inside
    // the installed templates folder they would be mixed up with them.
    const std::string& installation = store.settings.installationFolder;
    const std::string installedTemplates =
        paths::joinPath(installation, installedTemplatesBelowStudio);
    if (!installation.empty() &&
        (isSameFolder(folder, installation) || isSameFolder(folder, installedTemplates) ||
         liesBelow(folder, installedTemplates))) {
        ShowMessage(store.messages, store.texts, templatesFolderRefusedText,
                    MessageStyle::exclamation());
        return false;
    }
    if (liesBelow(folder, installation)) {
        ShowMessage(store.messages, store.texts, templatesFolderInsideHint,
                    MessageStyle::information());
    }
    if (!writeFolder(store, templatesFolderValue, folder)) {
        return false;
    }
    store.settings.ownTemplatesFolder = folder;
    return true;
}

} // namespace

OptionsOutcome StoreOptions(const OptionsChoice& choice, const OptionsStore& store) {
    if (!storeProjectsFolder(choice.projectsFolder, store)) {
        return OptionsOutcome::ReviseProjectsFolder;
    }
    if (!storeTemplatesFolder(choice.templatesFolder, store)) {
        return OptionsOutcome::ReviseTemplatesFolder;
    }
    store.settings.keepInterface = choice.keepInterface;
    return OptionsOutcome::Stored;
}

} // namespace korvana
