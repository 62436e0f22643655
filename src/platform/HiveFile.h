#pragma once

#include "platform/ChangeCounter.h"
#include "platform/HiveWriteRecord.h"
#include "platform/Registry.h"
#include "platform/RegistryKey.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>

namespace korvana {

// One hive kept in one regedit file, shared with other processes.
//
// Readers take no lock: writers replace the file by renaming a complete new
// one into place, so a reader sees either the old or the new file, never a
// torn one. The parsed content is cached and the file is read again only when
// its identity (device, inode, size, modification and change times) differs.
// The cache keeps the file it read open, so its inode number cannot be handed
// to a newer file while the cache relies on it. Looking at the file costs a
// system call, so a read first looks at a change counter that every writer
// raises (shared through the lock file); the file itself is looked at when
// the counter moved, and at least once a second for edits made by other
// programs (a text editor, a copy of the file).
//
// Every change runs under an exclusive lock on "<file>.lock", on the latest
// content, and is written to a temporary file in the same folder, synced and
// renamed over the hive: no update of another process is lost. The file it
// replaces is kept as "<file>.bak", the last good copy to go back to. A writer
// that was killed leaves its temporary file behind; the next writer removes it
// (see removeLeftTemporaries).
//
// A damaged file is never written: every operation raises korvana::Error
// naming the file and line, and saying how to mend it, until it is mended.
// Damaged is a file that cannot be parsed, and a file cut short: the lock
// file keeps a record of the hive written last (see HiveWriteRecord).
class HiveFile {
  public:
    HiveFile(Hive hive, std::filesystem::path file);
    ~HiveFile();
    HiveFile(const HiveFile&) = delete;
    HiveFile& operator=(const HiveFile&) = delete;

    const std::filesystem::path& file() const { return file_; }

    // The hive as its file holds it now (empty when there is no file). The
    // reference is good until the next call on this object.
    const RegistryKey& current();

    // Runs `change` on the latest content under the lock and stores the result
    // when `change` reports that it changed something. When `change` or the
    // write fails, nothing is stored and the cache is dropped.
    void update(const std::function<bool(RegistryKey&)>& change);

  private:
    struct Identity {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        long long modifiedSeconds = 0;
        long long modifiedNanoseconds = 0;
        long long changedSeconds = 0;
        long long changedNanoseconds = 0;
        mode_t mode = 0644;

        bool operator==(const Identity&) const = default;
    };

    static Identity identityOf(const struct stat& status);
    void refresh(bool force);
    void load();
    bool read(bool decisive);
    // What the lock file's record says of a file read; Unsure when a write
    // may have been going on and only a look under the lock can tell.
    enum class Trust { Whole, CutShort, Unsure };
    Trust trust(std::string_view bytes, const FileFingerprint& fingerprint, bool decisive) const;
    [[noreturn]] void refuse(const Identity& identity, std::string message, bool cut);
    void store(int lockFd);
    void keepBackup();
    void removeLeftTemporaries() const;
    void forget();
    void hold(int fd, const Identity& identity, std::unique_ptr<RegistryKey> root,
              std::optional<FileFingerprint> fingerprint);

    Hive hive_;
    std::filesystem::path file_;
    std::filesystem::path lockFile_;
    std::filesystem::path backupFile_;
    std::unique_ptr<RegistryKey> root_;
    Identity identity_;
    int heldFd_ = -1;
    // The bytes the cache was read from, for the record of the next write.
    std::optional<FileFingerprint> fingerprint_;
    // Set while update() holds the exclusive lock.
    bool locked_ = false;
    ChangeCounter counter_;
    bool counterTried_ = false;
    std::uint64_t seenChanges_ = 0;
    std::chrono::steady_clock::time_point lastCheck_{};
    // The last parse failure and the file it belongs to, so that an unchanged
    // broken file is not parsed again on every call.
    std::optional<std::pair<Identity, std::string>> failure_;
};

} // namespace korvana
