#pragma once

#include <filesystem>
#include <functional>

namespace korvana::dbupgrade {

// The files of one project during a database check. The project file itself is
// never written while the check runs: the check changes a working copy, and
// only its finished result replaces the project file, in one rename. Whenever
// the check ends, even killed or by a power loss, the project file is the one
// it found or the complete result.
//
//   "<name>.kvs.work"  the working copy that the steps, settings and merge change
//   "<name>.kvs.tmp"   the compacted result, renamed over the project file
//   "<name>.kvs.bak"   the project file as it was before the last check that
//                      changed it; a check that changes nothing, or one that
//                      never finished, leaves it alone
class CheckFiles {
  public:
    // Asked once the result is ready, just before the project file is
    // replaced: the last moment at which a check can still be stopped without
    // a trace. False keeps the project file and the backup as they are.
    using MayReplace = std::function<bool()>;

    explicit CheckFiles(std::filesystem::path projectFile);
    // Removes the working copy and the partial result however the check ends.
    ~CheckFiles();
    CheckFiles(const CheckFiles&) = delete;
    CheckFiles& operator=(const CheckFiles&) = delete;

    const std::filesystem::path& project() const { return project_; }
    const std::filesystem::path& working() const { return working_; }
    const std::filesystem::path& backup() const { return backup_; }

    // Clears what an interrupted check left behind (working copy and its
    // journal, a partial result or backup): the project file is the truth.
    void clearLeftovers() const;

    // Starts the working copy as a copy of the project file.
    void startWorkingCopy() const;

    // Compacts the project file in place of itself; the backup is untouched,
    // since nothing of the project's content changes. False when `mayReplace`
    // declined.
    bool compactProject(const MayReplace& mayReplace) const;

    // Ends a check that changed the working copy: the backup becomes the
    // project file as it is now, then the working copy (compacted when
    // `compact`, else as it is) replaces the project file. Raises when the
    // compaction fails; the project file and the backup are untouched then,
    // and a second call without compaction can still deliver the result.
    // False, with nothing replaced, when `mayReplace` declined.
    bool commitWorkingCopy(bool compact, const MayReplace& mayReplace) const;

  private:
    void removeWorkingCopy() const;

    std::filesystem::path project_;
    std::filesystem::path working_;
    std::filesystem::path compacted_;
    std::filesystem::path backup_;
};

} // namespace korvana::dbupgrade
