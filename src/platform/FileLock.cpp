#include "platform/FileLock.h"

#include "platform/Error.h"
#include "platform/ErrorNumbers.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace korvana {

FileLock::FileLock(const std::filesystem::path& lockFile, Mode mode) {
    const bool exclusive = mode == Mode::Exclusive;
    fd_ = exclusive ? ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)
                    : ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        throw Error("Cannot open the lock file " + lockFile.string() + ": " + std::strerror(errno),
                    75);
    }
    while (::flock(fd_, exclusive ? LOCK_EX : LOCK_SH) != 0) {
        if (errno != EINTR) {
            const int error = errno;
            ::close(fd_);
            throw Error("Cannot lock " + lockFile.string() + ": " + std::strerror(error),
                        runtimeErrors::pathFileAccessError);
        }
    }
}

FileLock::~FileLock() {
    ::close(fd_); // closing releases the lock
}

} // namespace korvana
