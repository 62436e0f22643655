#pragma once

#include <filesystem>

namespace korvana {

// An exclusive advisory lock (flock) on a lock file, held for the object's
// life. The lock file lives beside the file it guards and is never removed:
// removing it would let two processes lock different files of the same name.
class FileLock {
  public:
    explicit FileLock(const std::filesystem::path& lockFile);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

  private:
    int fd_ = -1;
};

} // namespace korvana
