#include "project/ProjectTextFiles.h"

#include "platform/Error.h"
#include "platform/ErrorNumbers.h"
#include "platform/Paths.h"
#include "project/ReplaceInFile.h"

namespace korvana {

void ProjectFolderFiles::replace(std::string_view file, std::string_view search,
                                 std::string_view replacement) {
    ReplaceInFile(messages_, texts_, file, search, replacement);
}

std::optional<std::vector<VisualBasicEntry>> ProjectFolderFiles::entries(std::string_view file) {
    try {
        return readVisualBasicEntries(file);
    } catch (const Error& error) {
        ReportFileNotAdapted(messages_, texts_, error.number(), error.what(), file);
        return std::nullopt;
    }
}

std::optional<std::string> ProjectFolderFiles::inside(std::string_view folder,
                                                      std::string_view relative) {
    auto file = fileInsideFolder(folder, relative);
    if (!file) {
        ReportFileNotAdapted(messages_, texts_, runtimeErrors::pathFileAccessError,
                             "'" + std::string(relative) + "' lies outside the project folder '" +
                                 std::string(folder) + "'",
                             paths::joinPath(folder, relative));
    }
    return file;
}

} // namespace korvana
