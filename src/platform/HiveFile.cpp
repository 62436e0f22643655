#include "platform/HiveFile.h"

#include "platform/Error.h"
#include "platform/FileLock.h"
#include "platform/RegFileParser.h"
#include "platform/RegFileWriter.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvana {

namespace {

constexpr int fileAccessError = 75;
// How long a read may trust the change counter alone; edits by other programs
// do not raise it.
constexpr auto recheckInterval = std::chrono::seconds(1);

[[noreturn]] void failWithErrno(const std::string& what, const std::filesystem::path& path,
                                int error) {
    throw Error(what + " " + path.string() + ": " + std::strerror(error), fileAccessError);
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

} // namespace

HiveFile::HiveFile(Hive hive, std::filesystem::path file)
    : hive_(hive), file_(std::move(file)), lockFile_(file_.string() + ".lock") {}

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
                    fileAccessError);
    }
    counterTried_ = counter_.attach(lockFile_) || counterTried_;
    FileLock lock(lockFile_);
    refresh(true);
    try {
        if (change(*root_)) {
            store();
        }
    } catch (...) {
        forget();
        throw;
    }
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
            hold(-1, Identity{}, std::make_unique<RegistryKey>(std::string(hiveName(hive_))));
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
    const int fd = ::open(file_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        failWithErrno("Cannot open", file_, errno);
    }
    Identity identity;
    std::unique_ptr<RegistryKey> root;
    try {
        struct stat status {};
        if (::fstat(fd, &status) != 0) {
            failWithErrno("Cannot read", file_, errno);
        }
        identity = identityOf(status);
        const std::string source = file_.string();
        RegFileParser::Options options;
        options.strict = true;
        options.onlyHive = hive_;
        try {
            const auto content = RegFileParser::parse(
                RegFileParser::decode(readAll(fd, file_), source), source, options);
            root = std::make_unique<RegistryKey>(std::string(hiveName(hive_)));
            applyRegFileEntries(content.entries, hive_, *root);
        } catch (const Error& error) {
            forget();
            failure_.emplace(identity, error.what());
            throw;
        }
    } catch (...) {
        ::close(fd);
        throw;
    }
    hold(fd, identity, std::move(root));
}

void HiveFile::store() {
    const std::string text = RegFileWriter::hive(hive_, *root_);
    // A hidden name beside the hive, so that the rename stays within one file system.
    std::string temporary = file_.parent_path().string();
    temporary.append("/.").append(file_.filename().string()).append(".XXXXXX");
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        failWithErrno("Cannot create a temporary file beside", file_, errno);
    }
    Identity identity;
    try {
        writeAll(fd, text, temporary);
        if (::fchmod(fd, identity_.exists ? identity_.mode : 0644) != 0 || ::fsync(fd) != 0) {
            failWithErrno("Cannot write", temporary, errno);
        }
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
    hold(fd, identity, std::move(root_));
    if (counter_.attached()) {
        seenChanges_ = counter_.value();
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
    if (heldFd_ >= 0) {
        ::close(heldFd_);
        heldFd_ = -1;
    }
    identity_ = Identity{};
}

void HiveFile::hold(int fd, const Identity& identity, std::unique_ptr<RegistryKey> root) {
    if (heldFd_ >= 0) {
        ::close(heldFd_);
    }
    heldFd_ = fd;
    identity_ = identity;
    root_ = std::move(root);
    failure_.reset();
}

} // namespace korvana
