#include "platform/HiveFile.h"

#include "platform/BackgroundWriter.h"
#include "platform/Error.h"
#include "platform/ErrorNumbers.h"
#include "platform/FileLock.h"
#include "platform/RegFileApplier.h"
#include "platform/RegFileParser.h"
#include "platform/RegFileWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvana {

namespace {

// How long a read may trust the change counter alone; edits by other programs
// do not raise it.
constexpr auto recheckInterval = std::chrono::seconds(1);

[[noreturn]] void failWithErrno(const std::string& what, const std::filesystem::path& path,
                                int error) {
    throw Error(what + " " + path.string() + ": " + std::strerror(error),
                runtimeErrors::pathFileAccessError);
}

std::string readAll(int fd, const std::filesystem::path& path) {
    std::string content;
    char buffer[65536];
    while (true) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            failWithErrno("Cannot read", path, errno);
        }
        if (count == 0) {
            return content;
        }
        content.append(buffer, static_cast<size_t>(count));
    }
}

void writeAll(int fd, std::string_view text, const std::filesystem::path& path) {
    while (!text.empty()) {
        const ssize_t count = ::write(fd, text.data(), text.size());
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            failWithErrno("Cannot write", path, errno);
        }
        text.remove_prefix(static_cast<size_t>(count));
    }
}

// A writer's temporary copy of `target`: a hidden name beside it, so that the
// rename stays within one file system; mkostemp puts six letters or digits in
// place of the X's.
constexpr std::string_view temporaryMark = "XXXXXX";

std::string temporaryPattern(const std::filesystem::path& target) {
    return (target.parent_path() / ("." + target.filename().string() + ".")).string() +
           std::string(temporaryMark);
}

bool isTemporaryOf(std::string_view name, const std::filesystem::path& target) {
    const std::string prefix = "." + target.filename().string() + ".";
    if (name.size() != prefix.size() + temporaryMark.size() || !name.starts_with(prefix)) {
        return false;
    }
    return std::all_of(
        name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(), [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        });
}

int createTemporary(std::string& pattern, const std::filesystem::path& target) {
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        failWithErrno("Cannot create a temporary file beside", target, errno);
    }
    return fd;
}

} // namespace

HiveFile::HiveFile(Hive hive, std::filesystem::path file)
    : hive_(hive), file_(std::move(file)), lockFile_(file_.string() + ".lock"),
      backupFile_(file_.string() + ".bak") {}

HiveFile::~HiveFile() {
    if (heldFd_ >= 0) {
        ::close(heldFd_);
    }
}

const RegistryKey& HiveFile::current() {
    refresh(false);
    return *root_;
}

void HiveFile::update(const std::function<bool(RegistryKey&)>& change) {
    std::error_code error;
    std::filesystem::create_directories(file_.parent_path(), error);
    if (error) {
        throw Error("Cannot create the folder " + file_.parent_path().string() + ": " +
                        error.message(),
                    runtimeErrors::pathFileAccessError);
    }
    counterTried_ = counter_.attach(lockFile_) || counterTried_;
    FileLock lock(lockFile_);
    removeLeftTemporaries();
    locked_ = true;
    try {
        refresh(true);
        if (change(*root_)) {
            store(lock.descriptor());
        }
    } catch (...) {
        locked_ = false;
        forget();
        throw;
    }
    locked_ = false;
}

void HiveFile::refresh(bool force) {
    if (!counterTried_) {
        counterTried_ = true;
        counter_.attach(lockFile_);
    }
    const auto now = std::chrono::steady_clock::now();
    if (counter_.attached()) {
        // Read before looking at the file: a change made after this read
        // raises the counter again and is seen by the next call.
        const auto changes = counter_.value();
        if (!force && root_ && changes == seenChanges_ && now - lastCheck_ < recheckInterval) {
            return;
        }
        seenChanges_ = changes;
    }
    lastCheck_ = now;
    struct stat status {};
    if (::stat(file_.c_str(), &status) != 0) {
        if (errno != ENOENT) {
            failWithErrno("Cannot read", file_, errno);
        }
        // No file yet: an empty hive.
        if (!root_ || identity_.exists) {
            hold(-1, Identity{}, std::make_unique<RegistryKey>(std::string(hiveName(hive_))),
                 std::nullopt);
        }
        return;
    }
    const Identity seen = identityOf(status);
    if (root_ && identity_ == seen) {
        return;
    }
    if (failure_ && failure_->first == seen) {
        throw Error(failure_->second);
    }
    load();
}

void HiveFile::load() {
    if (read(locked_)) {
        return;
    }
    // Read without the lock, the hive and the record in the lock file may come
    // from different writes. Under a shared lock no write goes on, so what the
    // record says then holds.
    FileLock shared(lockFile_, FileLock::Mode::Shared);
    read(true);
}

// Reads, parses and judges the file, and holds it when it is whole. False when
// the file looks cut short but `decisive` is not set.
bool HiveFile::read(bool decisive) {
    const int fd = ::open(file_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        failWithErrno("Cannot open", file_, errno);
    }
    Identity identity;
    std::unique_ptr<RegistryKey> root;
    std::string bytes;
    FileFingerprint fingerprint;
    try {
        struct stat status {};
        if (::fstat(fd, &status) != 0) {
            failWithErrno("Cannot read", file_, errno);
        }
        identity = identityOf(status);
        bytes = readAll(fd, file_);
        const std::string source = file_.string();
        RegFileParser::Options options;
        options.strict = true;
        options.onlyHive = hive_;
        try {
            root = std::make_unique<RegistryKey>(std::string(hiveName(hive_)));
            RegFileApplier applier(hive_, *root);
            std::vector<RegFileProblem> none; // strict: the first problem raises
            RegFileParser::parseInto(
                RegFileParser::decode(bytes, source, true), source, options,
                [&applier](RegFileEntry&& entry) { applier.apply(std::move(entry)); }, none);
        } catch (const Error& error) {
            refuse(identity, error.what(), false);
        }
        fingerprint = FileFingerprint::of(bytes);
        switch (trust(bytes, fingerprint, decisive)) {
        case Trust::Whole:
            break;
        case Trust::Unsure:
            ::close(fd);
            return false;
        case Trust::CutShort: {
            const auto lines =
                std::max<std::ptrdiff_t>(1, std::count(bytes.begin(), bytes.end(), '\n'));
            refuse(identity,
                   file_.string() + ", line " + std::to_string(lines) + ": " +
                       (bytes.empty() ? "the file is empty, but the hive written last was not"
                                      : "the file ends after this line, but the hive written "
                                        "last went on") +
                       ": the file was cut short",
                   true);
        }
        }
    } catch (...) {
        ::close(fd);
        throw;
    }
    hold(fd, identity, std::move(root), fingerprint);
    return true;
}

HiveFile::Trust HiveFile::trust(std::string_view bytes, const FileFingerprint& fingerprint,
                                bool decisive) const {
    const auto stored = HiveWriteRecord::read(lockFile_);
    if (!stored.record) {
        return stored.torn && !decisive ? Trust::Unsure : Trust::Whole;
    }
    if (stored.record->judge(bytes, fingerprint) != HiveWriteRecord::Verdict::CutShort) {
        return Trust::Whole;
    }
    return decisive ? Trust::CutShort : Trust::Unsure;
}

void HiveFile::refuse(const Identity& identity, std::string message, bool cut) {
    const bool backup = ::access(backupFile_.c_str(), F_OK) == 0;
    const bool lineNamed = message.find(", line ") != std::string::npos;
    message += ". The hive is damaged and is not changed until the file is ";
    if (cut) {
        message +=
            backup ? "replaced by its last good copy, " + backupFile_.string() + ", or " : "";
        message += "mended (if its last lines were removed on purpose, end it with a comment "
                   "line such as \"; shortened\")";
    } else {
        message += lineNamed ? "mended at that line" : "mended";
        message += backup ? " or replaced by its last good copy, " + backupFile_.string() : "";
    }
    forget();
    failure_.emplace(identity, message);
    throw Error(message);
}

void HiveFile::store(int lockFd) {
    std::string temporary = temporaryPattern(file_);
    const int fd = createTemporary(temporary, file_);
    Identity identity;
    std::optional<HiveWriteRecord> record;
    try {
        record.emplace(HiveWriteRecord::counterOf(lockFd, lockFile_) + 1, fingerprint_);
        // Written and hashed while the next piece is made, and in pieces as
        // they are made, so that a large hive's text is never held whole
        // beside the hive itself.
        off_t written = 0;
        BackgroundWriter writer([&](std::string_view piece) {
            writeAll(fd, piece, temporary);
            // The disk starts on each piece while the next is made, so the
            // sync below waits for the last piece only. A hint: if it fails,
            // the sync still writes everything.
            ::sync_file_range(fd, written, static_cast<off_t>(piece.size()), SYNC_FILE_RANGE_WRITE);
            written += static_cast<off_t>(piece.size());
            record->add(piece);
        });
        RegFileWriter::hive(hive_, *root_, [&](std::string_view piece) { writer.add(piece); });
        writer.finish();
        if (::fchmod(fd, identity_.exists ? identity_.mode : 0644) != 0 || ::fsync(fd) != 0) {
            failWithErrno("Cannot write", temporary, errno);
        }
        if (identity_.exists) {
            keepBackup();
        }
        // The record goes first: until the rename, readers still see the file
        // it names as replaced, and after it the file it names as written.
        record->write(lockFd, lockFile_);
        if (::rename(temporary.c_str(), file_.c_str()) != 0) {
            failWithErrno("Cannot replace", file_, errno);
        }
    } catch (...) {
        ::unlink(temporary.c_str());
        ::close(fd);
        throw;
    }
    // Other processes learn of the new file from the counter.
    if (counter_.attached()) {
        counter_.increment();
    }
    // The rename is durable only once the folder is synced; the data is safe
    // either way (old or new file), so a failure here is not worth an error.
    if (const int folder = ::open(file_.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        ::close(fd);
        forget();
        return;
    }
    identity = identityOf(status);
    hold(fd, identity, std::move(root_), record->written());
    if (counter_.attached()) {
        seenChanges_ = counter_.value();
    }
}

// Copies the file as it was read (the cache keeps it open) to the backup, by
// way of a temporary file, so that the backup is always a whole file.
void HiveFile::keepBackup() {
    std::string temporary = temporaryPattern(backupFile_);
    const int fd = createTemporary(temporary, backupFile_);
    try {
        char buffer[65536];
        off_t offset = 0;
        while (true) {
            const ssize_t count = ::pread(heldFd_, buffer, sizeof buffer, offset);
            if (count < 0) {
                if (errno == EINTR) {
                    continue;
                }
                failWithErrno("Cannot read", file_, errno);
            }
            if (count == 0) {
                break;
            }
            writeAll(fd, std::string_view(buffer, static_cast<size_t>(count)), temporary);
            offset += count;
        }
        if (::fchmod(fd, identity_.mode) != 0 || ::fsync(fd) != 0) {
            failWithErrno("Cannot write", temporary, errno);
        }
        if (::rename(temporary.c_str(), backupFile_.c_str()) != 0) {
            failWithErrno("Cannot replace", backupFile_, errno);
        }
    } catch (...) {
        ::unlink(temporary.c_str());
        ::close(fd);
        throw;
    }
    ::close(fd);
}

// Every writer makes its temporary files while it holds the exclusive lock, so
// those that the holder of that lock finds belong to writers that died.
void HiveFile::removeLeftTemporaries() const {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(file_.parent_path(), error)) {
        const std::string name = entry.path().filename().string();
        if ((isTemporaryOf(name, file_) || isTemporaryOf(name, backupFile_)) &&
            entry.is_regular_file(error)) {
            ::unlink(entry.path().c_str());
        }
    }
}

HiveFile::Identity HiveFile::identityOf(const struct stat& status) {
    return {true,
            status.st_dev,
            status.st_ino,
            status.st_size,
            status.st_mtim.tv_sec,
            status.st_mtim.tv_nsec,
            status.st_ctim.tv_sec,
            status.st_ctim.tv_nsec,
            static_cast<mode_t>(status.st_mode & 07777)};
}

void HiveFile::forget() {
    root_.reset();
    fingerprint_.reset();
    if (heldFd_ >= 0) {
        ::close(heldFd_);
        heldFd_ = -1;
    }
    identity_ = Identity{};
}

void HiveFile::hold(int fd, const Identity& identity, std::unique_ptr<RegistryKey> root,
                    std::optional<FileFingerprint> fingerprint) {
    if (heldFd_ >= 0) {
        ::close(heldFd_);
    }
    heldFd_ = fd;
    identity_ = identity;
    root_ = std::move(root);
    fingerprint_ = fingerprint;
    failure_.reset();
}

} // namespace korvana
