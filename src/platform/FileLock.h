#pragma once

#include <filesystem>

namespace korvana {

// An advisory lock (flock) on a lock file, held for the object's life. The lock
// file lives beside the file it guards and is never removed: removing it would
// let two processes lock different files of the same name.
//
// Writers hold it exclusively. A reader that must see the guarded file and
// what the lock file says about it from the same moment holds it shared; it
// waits for a write going on and keeps the next one out meanwhile.
class FileLock {
  public:
    enum class Mode { Exclusive, Shared };

    // Exclusive creates a missing lock file; Shared needs only read access to it.
    explicit FileLock(const std::filesystem::path& lockFile, Mode mode = Mode::Exclusive);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // The open lock file (for writing when held exclusively).
    int descriptor() const { return fd_; }

  private:
    int fd_ = -1;
};

} // namespace korvana
