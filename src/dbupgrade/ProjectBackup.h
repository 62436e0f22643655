#pragma once

#include "db/DebugLog.h"

#include <filesystem>
#include <string>

namespace korvana::dbupgrade {

// The backup ".kvs.bak" of a project file as a check found it.
//
// It begins as a second name of the file rather than a copy. A check that
// finds the project current writes nothing into the file before its
// compaction puts a new file in its place, and then the backup simply keeps
// the old one: no hundred megabytes are copied for nothing. Anything that is
// about to write into the project file calls `ownCopy` first, which turns the
// backup into a copy of its own; whether the two still share the file is read
// from the file system every time, never assumed.
class ProjectBackup {
  public:
    // Raises when neither a second name nor a copy could be made; the project
    // file is untouched then.
    ProjectBackup(std::filesystem::path projectFile, db::DebugLog& log, std::string context);
    // A backup that still shares the project file gets its own copy, since
    // whatever writes the project next would change it too; if that fails
    // the backup is removed rather than left to follow the project.
    ~ProjectBackup();
    ProjectBackup(const ProjectBackup&) = delete;
    ProjectBackup& operator=(const ProjectBackup&) = delete;

    void ownCopy();
    bool sharesProjectFile() const;

  private:
    std::filesystem::path project_;
    std::filesystem::path backup_;
    db::DebugLog& log_;
    std::string context_;
};

} // namespace korvana::dbupgrade
