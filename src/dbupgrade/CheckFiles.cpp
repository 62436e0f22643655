#include "dbupgrade/CheckFiles.h"

#include "db/Database.h"
#include "dbupgrade/DurableFiles.h"

#include <array>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace korvana::dbupgrade {

namespace {

// What SQLite keeps beside a database while it writes it.
constexpr std::array<std::string_view, 3> sqliteCompanions = {"-journal", "-wal", "-shm"};

void removeQuietly(const std::filesystem::path& file) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
}

void removeDatabase(const std::filesystem::path& file) {
    removeQuietly(file);
    for (const auto suffix : sqliteCompanions) {
        removeQuietly(withSuffix(file, suffix));
    }
}

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code error;
    const bool same = std::filesystem::equivalent(a, b, error);
    return same && !error;
}

// Makes `name` a second name of `file`, replacing whatever `name` was; false
// where the file system has no hard links.
bool linkAtomically(const std::filesystem::path& file, const std::filesystem::path& name) {
    const auto partial = withSuffix(name, ".tmp");
    removeQuietly(partial);
    if (::link(file.c_str(), partial.c_str()) != 0) {
        return false;
    }
    try {
        replaceAtomically(partial, name);
    } catch (...) {
        removeQuietly(partial);
        throw;
    }
    // Renaming a name onto another name of the same file leaves both.
    removeQuietly(partial);
    return true;
}

} // namespace

CheckFiles::CheckFiles(std::filesystem::path projectFile)
    : project_(std::move(projectFile)), working_(withSuffix(project_, ".work")),
      compacted_(withSuffix(project_, ".tmp")), backup_(withSuffix(project_, ".bak")) {}

CheckFiles::~CheckFiles() {
    removeWorkingCopy();
    removeQuietly(compacted_);
}

void CheckFiles::removeWorkingCopy() const {
    removeDatabase(working_);
}

void CheckFiles::clearLeftovers() const {
    removeWorkingCopy();
    removeQuietly(compacted_);
    removeQuietly(withSuffix(backup_, ".tmp"));
    // A check killed between its last two renames leaves the backup as a second
    // name of the project file; whatever wrote the project next would change
    // the backup too.
    if (sameFile(project_, backup_)) {
        copyAtomically(project_, backup_);
    }
}

void CheckFiles::startWorkingCopy() const {
    removeWorkingCopy();
    // Not flushed: a working copy that a crash damages is thrown away unread.
    std::filesystem::copy_file(project_, working_);
}

bool CheckFiles::compactProject(const MayReplace& mayReplace) const {
    removeQuietly(compacted_);
    try {
        db::Database::compact(project_.string(), compacted_.string());
        if (mayReplace && !mayReplace()) {
            removeQuietly(compacted_);
            return false;
        }
        replaceAtomically(compacted_, project_);
    } catch (...) {
        removeQuietly(compacted_);
        throw;
    }
    return true;
}

bool CheckFiles::commitWorkingCopy(bool compact, const MayReplace& mayReplace) const {
    std::filesystem::path result = working_;
    if (compact) {
        removeQuietly(compacted_);
        try {
            db::Database::compact(working_.string(), compacted_.string());
        } catch (...) {
            removeQuietly(compacted_);
            throw;
        }
        result = compacted_;
    }
    if (mayReplace && !mayReplace()) {
        removeQuietly(compacted_);
        return false;
    }
    // The project file is not written again from here on, so a second name of
    // it keeps exactly the state before this check once the result has taken
    // its place. Only without hard links does the backup cost a copy.
    if (!linkAtomically(project_, backup_)) {
        copyAtomically(project_, backup_);
    }
    replaceAtomically(result, project_);
    return true;
}

} // namespace korvana::dbupgrade
