#include "platform/HiveWriteRecord.h"

#include "platform/ChangeCounter.h"
#include "platform/Error.h"
#include "platform/ErrorNumbers.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

// Compiled into this file, so that the program needs no xxHash library at run time.
#define XXH_INLINE_ALL
#include <xxhash.h>

namespace korvana {

namespace {

// The seed of the first line's hash. Each line after it (with its line feed)
// is hashed with the hash of all lines before it as its seed, so one value
// stands for a whole beginning of the file, and hashing a large hive costs
// little more than reading it.
constexpr std::uint64_t chainStart = 0x4b56484956524543ull;
// Eight bytes that no change counter shows, so that bytes of another kind behind
// the counter are not taken for a record.
constexpr std::string_view magic = "KVHIVRC2";
// The record of earlier versions, hashed byte by byte with FNV-1a: known, so
// that it is passed over quietly rather than taken for a torn record.
constexpr std::string_view earlierMagic = "KVHIVREC";
// Words of the record before the line hashes, and the checksum after them.
constexpr std::size_t headWords = 8;
// A hive's lock file is a few kilobytes; anything beyond this is not ours.
constexpr std::size_t largestLockFile = 64u << 20;

std::uint64_t chain(std::string_view segment, std::uint64_t state) {
    return XXH3_64bits_withSeed(segment.data(), segment.size(), state);
}

std::uint64_t checksum(std::string_view bytes) {
    return XXH3_64bits(bytes.data(), bytes.size());
}

// Little-endian words, whatever the machine, so that the record means the same
// to every reader of the file.
void putWord(std::string& out, std::uint64_t word) {
    char bytes[8];
    for (int shift = 0; shift < 64; shift += 8) {
        bytes[shift / 8] = static_cast<char>((word >> shift) & 0xFF);
    }
    out.append(bytes, sizeof bytes);
}

std::uint64_t wordAt(std::string_view bytes, std::size_t index) {
    std::uint64_t word = 0;
    for (int byte = 7; byte >= 0; --byte) {
        word = (word << 8) |
               static_cast<unsigned char>(bytes[index * 8 + static_cast<std::size_t>(byte)]);
    }
    return word;
}

[[noreturn]] void fail(const std::string& what, const std::filesystem::path& lockFile) {
    throw Error(what + " " + lockFile.string() + ": " + std::strerror(errno),
                runtimeErrors::pathFileAccessError);
}

} // namespace

FileFingerprint FileFingerprint::of(std::string_view bytes) {
    std::uint64_t state = chainStart;
    for (std::size_t begin = 0; begin < bytes.size();) {
        const auto newline = bytes.find('\n', begin);
        const auto end = newline == std::string_view::npos ? bytes.size() : newline + 1;
        state = chain(bytes.substr(begin, end - begin), state);
        begin = end;
    }
    return {bytes.size(), state};
}

HiveWriteRecord::HiveWriteRecord(std::uint64_t counter, std::optional<FileFingerprint> replaced)
    : counter_(counter), replaced_(replaced), written_{0, chainStart}, lineState_(chainStart) {}

HiveWriteRecord::HiveWriteRecord(std::uint64_t counter, std::optional<FileFingerprint> replaced,
                                 std::string_view written)
    : HiveWriteRecord(counter, replaced) {
    add(written);
}

void HiveWriteRecord::add(std::string_view piece) {
    // A line cut between two pieces is hashed once it is whole; the pieces of
    // a hive are cut at line ends, so this is rare and short.
    std::size_t begin = 0;
    while (begin < piece.size()) {
        const auto newline = piece.find('\n', begin);
        if (newline == std::string_view::npos) {
            pendingLine_.append(piece.substr(begin));
            break;
        }
        const auto line = piece.substr(begin, newline + 1 - begin);
        if (pendingLine_.empty()) {
            lineState_ = chain(line, lineState_);
        } else {
            pendingLine_.append(line);
            lineState_ = chain(pendingLine_, lineState_);
            pendingLine_.clear();
        }
        lineHashes_.push_back(lineState_);
        begin = newline + 1;
    }
    written_.length += piece.size();
    written_.hash = pendingLine_.empty() ? lineState_ : chain(pendingLine_, lineState_);
}

HiveWriteRecord::Verdict HiveWriteRecord::judge(std::string_view content) const {
    return judge(content, FileFingerprint::of(content));
}

HiveWriteRecord::Verdict HiveWriteRecord::judge(std::string_view content,
                                                const FileFingerprint& seen) const {
    if (seen == written_) {
        return Verdict::Written;
    }
    if (replaced_ && seen == *replaced_) {
        return Verdict::Replaced;
    }
    if (content.size() >= written_.length) {
        return Verdict::Other;
    }
    if (content.empty()) {
        return Verdict::CutShort;
    }
    // Equal hashes after the same count of lines, the last ended by a line
    // feed, mean the same first lines.
    const auto lines = static_cast<std::size_t>(std::count(content.begin(), content.end(), '\n'));
    const bool cut = content.back() == '\n' && lines <= lineHashes_.size() &&
                     lineHashes_[lines - 1] == seen.hash;
    return cut ? Verdict::CutShort : Verdict::Other;
}

std::string HiveWriteRecord::encode() const {
    std::string out;
    out.reserve(magic.size() + (headWords + lineHashes_.size() + 1) * 8);
    out += magic;
    putWord(out, counter_);
    putWord(out, replaced_ ? 1 : 0);
    putWord(out, replaced_ ? replaced_->length : 0);
    putWord(out, replaced_ ? replaced_->hash : 0);
    putWord(out, written_.length);
    putWord(out, written_.hash);
    putWord(out, lineHashes_.size());
    for (const auto hash : lineHashes_) {
        putWord(out, hash);
    }
    putWord(out, checksum(out));
    return out;
}

std::optional<HiveWriteRecord> HiveWriteRecord::decode(std::string_view bytes) {
    if (bytes.size() < (headWords + 1) * 8 || !bytes.starts_with(magic)) {
        return std::nullopt;
    }
    const auto lines = wordAt(bytes, 7);
    // A record is followed by nothing, or by the rest of a longer one that it
    // replaced and that is about to be cut off.
    if (lines > bytes.size() / 8 - headWords - 1) {
        return std::nullopt;
    }
    const auto words = headWords + static_cast<std::size_t>(lines);
    if (wordAt(bytes, words) != checksum(bytes.substr(0, words * 8))) {
        return std::nullopt;
    }
    HiveWriteRecord record;
    record.counter_ = wordAt(bytes, 1);
    if (wordAt(bytes, 2) & 1) {
        record.replaced_ = FileFingerprint{wordAt(bytes, 3), wordAt(bytes, 4)};
    }
    record.written_ = {wordAt(bytes, 5), wordAt(bytes, 6)};
    for (std::size_t i = headWords; i < words; ++i) {
        record.lineHashes_.push_back(wordAt(bytes, i));
    }
    return record;
}

StoredHiveRecord HiveWriteRecord::read(const std::filesystem::path& lockFile) {
    StoredHiveRecord stored;
    const int fd = ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return stored;
    }
    std::string bytes;
    char buffer[16384];
    while (bytes.size() < largestLockFile) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break; // what could not be read is not a whole record
        }
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(fd);
    if (bytes.size() < ChangeCounter::bytes) {
        return stored;
    }
    // The counter is kept in the machine's own byte order: it is mapped, not read.
    std::memcpy(&stored.counter, bytes.data(), sizeof stored.counter);
    const std::string_view rest = std::string_view(bytes).substr(ChangeCounter::bytes);
    if (rest.empty() || rest.starts_with(earlierMagic)) {
        return stored;
    }
    stored.record = decode(rest);
    stored.torn = !stored.record;
    // The record names the counter as it is after its write; the counter is
    // raised just after the rename. Any other value means that the hive has
    // been written since by a program that keeps no record.
    if (stored.record && stored.record->counter_ != stored.counter &&
        stored.record->counter_ != stored.counter + 1) {
        stored.record.reset();
    }
    return stored;
}

std::uint64_t HiveWriteRecord::counterOf(int fd, const std::filesystem::path& lockFile) {
    std::uint64_t counter = 0;
    ssize_t count = 0;
    while ((count = ::pread(fd, &counter, sizeof counter, 0)) < 0 && errno == EINTR) {
    }
    if (count < 0) {
        fail("Cannot read", lockFile);
    }
    return count == static_cast<ssize_t>(sizeof counter) ? counter : 0;
}

void HiveWriteRecord::write(int fd, const std::filesystem::path& lockFile) const {
    const std::string bytes = encode();
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::pwrite(fd, bytes.data() + done, bytes.size() - done,
                                       static_cast<off_t>(ChangeCounter::bytes + done));
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail("Cannot write", lockFile);
        }
        done += static_cast<std::size_t>(count);
    }
    // Synced before the hive is renamed into place: after a crash the record
    // must not be older than the hive, or a hive that only lost its last lines
    // to a change would be taken for a cut one.
    if (::ftruncate(fd, static_cast<off_t>(ChangeCounter::bytes + bytes.size())) != 0 ||
        ::fdatasync(fd) != 0) {
        fail("Cannot write", lockFile);
    }
}

} // namespace korvana
