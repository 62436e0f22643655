#pragma once

#include "project/ProjectTextFiles.h"

#include <filesystem>
#include <functional>
#include <string>

namespace korvana {

// Runs `adaptation` on the staged copy of a new project (see StagedTemplate)
// before it is moved into `projectFolder`, the files still named by their
// paths in the project folder. A staged file belongs to this creation alone,
// so it is written in place instead of through a temporary file.
//
// The staged copy stands for the project folder only where the outcome is
// sure to be the same: a regular file of the copy reached through its own
// folders. Anything else (a file the copy lacks, a symbolic link on the way, a
// file named outside the project folder, a file that cannot be read, adapted or
// written) gives up: the answer is then false and the copy as it was, so the
// caller adapts the moved project folder instead and tells every failure as
// before. Raises korvana::Error only when a failed write could not be undone;
// the staged copy must then be discarded.
bool adaptStagedFiles(const std::filesystem::path& staging, const std::string& projectFolder,
                      const std::function<void(ProjectTextFiles&)>& adaptation);

} // namespace korvana
