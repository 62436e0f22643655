#include "project/FileReplacement.h"

#include "platform/Error.h"
#include "platform/ErrorNumbers.h"
#include "project/FileErrors.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace korvana {

namespace fs = std::filesystem;

namespace {

std::error_code lastError() {
    return {errno, std::generic_category()};
}

bool writeAll(int descriptor, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(descriptor, data.data(), data.size());
        if (written < 0 && errno != EINTR) {
            return false;
        }
        data.remove_prefix(written < 0 ? 0 : static_cast<std::size_t>(written));
    }
    return true;
}

bool isReadOnly(const fs::path& file, const struct stat& status) {
    return (status.st_mode & 0222) == 0 || ::access(file.c_str(), W_OK) != 0;
}

} // namespace

void replaceFileContent(const fs::path& file, std::string_view content) {
    struct stat existing {};
    if (::stat(file.c_str(), &existing) != 0) {
        throw fileError("Cannot write", file, lastError());
    }
    if (isReadOnly(file, existing)) {
        throw Error("Cannot write '" + file.string() + "': the file is read-only",
                    runtimeErrors::pathFileAccessError);
    }
    std::string temporary =
        (file.parent_path() / ("." + file.filename().string() + ".XXXXXX")).string();
    const int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0) {
        throw fileError("Cannot write beside", file, lastError());
    }
    std::error_code failure;
    if (!writeAll(descriptor, content) || ::fchmod(descriptor, existing.st_mode & 07777) != 0) {
        failure = lastError();
    }
    if (::close(descriptor) != 0 && !failure) {
        failure = lastError();
    }
    if (!failure && ::rename(temporary.c_str(), file.c_str()) != 0) {
        failure = lastError();
    }
    if (!failure) {
        return;
    }
    ::unlink(temporary.c_str());
    throw fileError("Cannot write", file, failure);
}

bool canReplaceContent(const fs::path& file) {
    struct stat existing {};
    return ::stat(file.c_str(), &existing) == 0 && !isReadOnly(file, existing) &&
           ::access(file.parent_path().c_str(), W_OK | X_OK) == 0;
}

std::string readStagedFile(const fs::path& file) {
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (descriptor < 0) {
        throw fileError("Cannot read", file, lastError());
    }
    std::string content;
    struct stat status {};
    std::error_code failure;
    if (::fstat(descriptor, &status) != 0) {
        failure = lastError();
    } else {
        // A file that grows meanwhile is read on to its end.
        content.resize(static_cast<std::size_t>(status.st_size) + 1);
        std::size_t filled = 0;
        for (;;) {
            if (filled == content.size()) {
                content.resize(content.size() * 2);
            }
            const ssize_t got =
                ::read(descriptor, content.data() + filled, content.size() - filled);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                failure = got < 0 ? lastError() : std::error_code();
                break;
            }
            filled += static_cast<std::size_t>(got);
        }
        content.resize(filled);
    }
    ::close(descriptor);
    if (failure) {
        throw fileError("Cannot read", file, failure);
    }
    return content;
}

void overwriteStagedFile(const fs::path& file, std::string_view content) {
    const int descriptor = ::open(file.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    if (descriptor < 0) {
        throw fileError("Cannot write", file, lastError());
    }
    // Shortened only after the new content is in: a file cut to nothing first
    // would make ext4 write it out at once on close.
    std::error_code failure;
    if (!writeAll(descriptor, content) ||
        ::ftruncate(descriptor, static_cast<off_t>(content.size())) != 0) {
        failure = lastError();
    }
    if (::close(descriptor) != 0 && !failure) {
        failure = lastError();
    }
    if (failure) {
        throw fileError("Cannot write", file, failure);
    }
}

} // namespace korvana
