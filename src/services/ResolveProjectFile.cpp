#include "services/ResolveProjectFile.h"

#include "platform/Error.h"
#include "platform/ErrorNumbers.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "services/InstallationKeys.h"

#include <algorithm>
#include <string>
#include <system_error>

namespace korvana {

namespace {

constexpr std::string_view projectExtension = ".kvs";

bool endsWithIgnoreCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           equalsIgnoreCase(text.substr(text.size() - suffix.size()), suffix);
}

Error notRegistered(std::string_view name) {
    // The name is the caller's raw input: a control character (a NUL above all)
    // would cut or garble the message.
    std::string shown(name);
    std::replace_if(
        shown.begin(), shown.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; },
        '?');
    return Error("The project '" + shown + "' is not registered",
                 runtimeErrors::invalidProcedureCall);
}

} // namespace

bool isSafeProjectName(std::string_view name) {
    return paths::isSafeName(name) && std::none_of(name.begin(), name.end(), [](char c) {
               return static_cast<unsigned char>(c) < 0x20;
           });
}

std::filesystem::path resolveProjectFile(const Registry& registry, std::string_view nameOrPath) {
    std::string stored(nameOrPath);
    if (!endsWithIgnoreCase(nameOrPath, projectExtension)) {
        if (!isSafeProjectName(nameOrPath)) {
            throw notRegistered(nameOrPath);
        }
        // The file carries the name as it was registered, which matters on a
        // file system that tells cases apart.
        std::string registeredName;
        for (const auto& candidate : registry.subKeys(Hive::LocalMachine, keys::projects)) {
            if (equalsIgnoreCase(candidate, nameOrPath)) {
                registeredName = candidate;
                break;
            }
        }
        if (registeredName.empty()) {
            throw notRegistered(nameOrPath);
        }
        const std::string key = std::string(keys::projects) + "\\" + registeredName;
        const std::string folder = registry.readString(Hive::LocalMachine, key, "Path");
        if (folder.empty()) {
            throw notRegistered(nameOrPath);
        }
        stored = paths::joinPath(folder, registeredName + std::string(projectExtension));
    }
    // A Windows drive path names nothing on this system: the file is missing.
    const auto file = paths::toFileSystemPath(stored);
    std::error_code error;
    if (file.empty() || !std::filesystem::is_regular_file(file, error)) {
        throw Error("The project file '" + stored + "' does not exist",
                    runtimeErrors::fileNotFound);
    }
    return file;
}

} // namespace korvana
