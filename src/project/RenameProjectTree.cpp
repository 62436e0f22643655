#include "project/RenameProjectTree.h"

#include "platform/ErrorNumbers.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "project/FileErrors.h"
#include "project/Placeholders.h"

#include <filesystem>
#include <string>
#include <vector>

namespace korvana {

namespace fs = std::filesystem;

namespace {

struct Names {
    std::string_view projectPath;
    std::string_view projectName;

    std::string adapted(std::string_view name) const {
        return replaceIgnoringCase(
            replaceIgnoringCase(name, placeholders::projectPath, projectPath),
            placeholders::projectName, projectName);
    }
};

// A change of case alone is not made, as the file system the templates come
// from would not tell the two names apart.
std::int32_t rename(const fs::path& parent, const std::string& oldName,
                    const std::string& newName) {
    if (equalsIgnoreCase(oldName, newName)) {
        return 0;
    }
    if (!paths::isSafeName(newName)) {
        return runtimeErrors::invalidProcedureCall;
    }
    std::error_code code;
    const fs::path target = parent / newName;
    if (fs::exists(fs::symlink_status(target, code))) {
        fs::remove_all(target, code);
        if (code) {
            return fileErrorNumber(code);
        }
    }
    fs::rename(parent / oldName, target, code);
    return code ? fileErrorNumber(code) : 0;
}

std::int32_t renameTree(const fs::path& folder, const Names& names) {
    std::vector<std::string> files;
    std::vector<std::string> folders;
    std::error_code code;
    // The names are read first: renaming while a directory is being read may
    // show an entry twice or not at all.
    for (fs::directory_iterator it(folder, code), end; !code && it != end; it.increment(code)) {
        // A link, to a folder or nowhere, is renamed like a file and never entered.
        std::error_code entryCode;
        const bool isFolder = fs::is_directory(it->symlink_status(entryCode));
        (isFolder ? folders : files).push_back(it->path().filename().string());
    }
    if (code) {
        return fileErrorNumber(code);
    }
    for (const auto& name : files) {
        if (name.starts_with('_')) {
            if (fs::remove(folder / name, code); code) {
                return fileErrorNumber(code);
            }
        } else if (const auto error = rename(folder, name, names.adapted(name)); error != 0) {
            return error;
        }
    }
    for (const auto& name : folders) {
        std::string newName = names.adapted(name);
        if (const auto error = rename(folder, name, newName); error != 0) {
            return error;
        }
        if (equalsIgnoreCase(name, newName)) {
            newName = name;
        }
        if (const auto error = renameTree(folder / newName, names); error != 0) {
            return error;
        }
    }
    return 0;
}

} // namespace

std::int32_t RenameProjectTree(std::string_view folder, std::string_view projectPath,
                               std::string_view projectName) {
    const fs::path native = paths::toFileSystemPath(folder);
    if (native.empty()) {
        return runtimeErrors::pathNotFound;
    }
    return renameTree(native, Names{projectPath, projectName});
}

} // namespace korvana
