#include "dbupgrade/DurableFiles.h"

#include "platform/Error.h"

#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace korvana::dbupgrade {

std::filesystem::path withSuffix(const std::filesystem::path& file, std::string_view suffix) {
    return std::filesystem::path(file.string() + std::string(suffix));
}

void syncToDisk(const std::filesystem::path& path, bool folder) {
    const int fd = ::open(path.c_str(), (folder ? O_DIRECTORY : 0) | O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw Error("cannot open '" + path.string() + "' to flush it");
    }
    const int rc = ::fsync(fd);
    ::close(fd);
    if (rc != 0) {
        throw Error("cannot flush '" + path.string() + "'");
    }
}

void replaceAtomically(const std::filesystem::path& source, const std::filesystem::path& target) {
    syncToDisk(source, false);
    std::filesystem::rename(source, target);
    syncToDisk(target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path(),
               true);
}

void copyAtomically(const std::filesystem::path& source, const std::filesystem::path& target) {
    const auto partial = withSuffix(target, ".tmp");
    try {
        std::filesystem::copy_file(source, partial,
                                   std::filesystem::copy_options::overwrite_existing);
        replaceAtomically(partial, target);
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        throw;
    }
}

} // namespace korvana::dbupgrade
