#include "dbupgrade/ProjectBackup.h"

#include "dbupgrade/DurableFiles.h"

#include <system_error>
#include <unistd.h>

namespace korvana::dbupgrade {

namespace {

// A second name for `file` as `name`, replacing whatever `name` was; false
// where the file system has no hard links.
bool linkAtomically(const std::filesystem::path& file, const std::filesystem::path& name) {
    const auto partial = withSuffix(name, ".tmp");
    std::error_code ignored;
    std::filesystem::remove(partial, ignored);
    if (::link(file.c_str(), partial.c_str()) != 0) {
        return false;
    }
    try {
        replaceAtomically(partial, name);
    } catch (...) {
        std::filesystem::remove(partial, ignored);
        throw;
    }
    // Renaming a name onto another name of the same file leaves both.
    std::filesystem::remove(partial, ignored);
    return true;
}

} // namespace

ProjectBackup::ProjectBackup(std::filesystem::path projectFile, db::DebugLog& log,
                             std::string context)
    : project_(std::move(projectFile)), backup_(withSuffix(project_, ".bak")), log_(log),
      context_(std::move(context)) {
    if (!linkAtomically(project_, backup_)) {
        copyAtomically(project_, backup_);
    }
}

ProjectBackup::~ProjectBackup() {
    try {
        ownCopy();
    } catch (const std::exception& error) {
        std::error_code ignored;
        std::filesystem::remove(backup_, ignored);
        log_.write(context_ +
                   "backup removed, it could not be made a copy of its own: " + error.what());
    }
}

bool ProjectBackup::sharesProjectFile() const {
    std::error_code error;
    const bool same = std::filesystem::equivalent(project_, backup_, error);
    return same && !error;
}

void ProjectBackup::ownCopy() {
    if (sharesProjectFile()) {
        copyAtomically(project_, backup_);
    }
}

} // namespace korvana::dbupgrade
