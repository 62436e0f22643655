#include "project/TemplateCopy.h"

#include "platform/ErrorNumbers.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "project/FileErrors.h"
#include "project/Placeholders.h"

#include <map>
#include <vector>

namespace korvana {

namespace fs = std::filesystem;

namespace {

enum class Kind { File, Link, Folder };

struct Entry {
    fs::path source;
    std::string name;
    Kind kind = Kind::File;
    bool renamed = false;
};

[[noreturn]] void copyFailed(const fs::path& path, const std::error_code& code) {
    throw fileError("Cannot copy the template", path, code);
}

// The entries of one template folder that the copy holds, under their new
// names, files first. Answers the error number of a name that cannot be made.
std::int32_t plan(const fs::path& from, const TemplateNames& names, std::vector<Entry>& entries) {
    std::vector<Entry> files;
    std::vector<Entry> folders;
    std::error_code code;
    for (fs::directory_iterator it(from, code), end; !code && it != end; it.increment(code)) {
        // The kinds come with the folder's entries, without a call each. A
        // link, to a folder or nowhere, is copied like a file and never entered.
        std::error_code entryCode;
        const Kind kind = it->is_symlink(entryCode)     ? Kind::Link
                          : it->is_directory(entryCode) ? Kind::Folder
                                                        : Kind::File;
        if (!entryCode && kind == Kind::File && !it->is_regular_file(entryCode)) {
            entryCode = std::make_error_code(std::errc::not_supported);
        }
        if (entryCode) {
            copyFailed(it->path(), entryCode);
        }
        std::string name = it->path().filename().string();
        if (kind != Kind::Folder && name.starts_with('_')) {
            continue;
        }
        std::string newName = names.adapted(name);
        const bool renamed = !equalsIgnoreCase(name, newName);
        if (renamed && !paths::isSafeName(newName)) {
            return runtimeErrors::invalidProcedureCall;
        }
        (kind == Kind::Folder ? folders : files)
            .push_back({it->path(), renamed ? std::move(newName) : std::move(name), kind, renamed});
    }
    if (code) {
        copyFailed(from, code);
    }
    files.insert(files.end(), folders.begin(), folders.end());
    std::map<std::string, std::size_t> holder;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto [place, isNew] = holder.try_emplace(files[i].name, i);
        if (!isNew && files[i].renamed) {
            place->second = i;
        }
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (holder.at(files[i].name) == i) {
            entries.push_back(std::move(files[i]));
        }
    }
    return 0;
}

std::int32_t copyFolder(const fs::path& from, const fs::path& to, const TemplateNames& names) {
    std::vector<Entry> entries;
    if (const auto error = plan(from, names, entries); error != 0) {
        return error;
    }
    for (const auto& entry : entries) {
        const fs::path target = to / entry.name;
        std::error_code code;
        switch (entry.kind) {
        case Kind::Folder:
            // The folder takes the template folder's permissions, as the
            // files take theirs.
            fs::create_directory(target, entry.source, code);
            break;
        case Kind::Link:
            fs::copy_symlink(entry.source, target, code);
            break;
        case Kind::File:
            fs::copy_file(entry.source, target, code);
            break;
        }
        if (code) {
            copyFailed(entry.source, code);
        }
        if (entry.kind == Kind::Folder) {
            if (const auto error = copyFolder(entry.source, target, names); error != 0) {
                return error;
            }
        }
    }
    return 0;
}

} // namespace

std::string TemplateNames::adapted(std::string_view name) const {
    return replaceIgnoringCase(replaceIgnoringCase(name, placeholders::projectPath, projectPath),
                               placeholders::projectName, projectName);
}

std::int32_t copyTemplateTree(const fs::path& templateFolder, const fs::path& folder,
                              const TemplateNames& names) {
    return copyFolder(templateFolder, folder, names);
}

} // namespace korvana
