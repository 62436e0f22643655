#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvana {

// Length and hash of a file's bytes. The hash chains XXH3 (64 bits) over the
// file's lines, with a seed of our own; std::hash would not do, as it may
// differ between builds and library versions, and these hashes are kept in a
// file that other processes and later versions compare.
struct FileFingerprint {
    std::uint64_t length = 0;
    std::uint64_t hash = 0;

    static FileFingerprint of(std::string_view bytes);
    bool operator==(const FileFingerprint&) const = default;
};

struct StoredHiveRecord;

// What the program last wrote into a hive file. Kept in the hive's lock file
// behind the change counter, where programs that only know the counter never
// look, and where a lock file without it (written by an earlier version) just
// means that nothing is known.
//
// A hive cut short within a line lacks its last line end, which the parser
// refuses. A cut exactly at a line end leaves a file that reads well but has
// lost keys or values. The rule that tells it: a file shorter than the hive
// written last that holds exactly that hive's first lines is cut short. Lines
// added anywhere or removed from the middle by hand never give such a file.
// Only the last lines removed by hand do, and nothing can tell that from a
// cut; such a file is refused until it ends in a line of its own (a comment).
//
// One such file is not refused: the file the last write replaced. It is the
// last good copy put back over a damaged hive, and what readers see while a
// write goes on or after a writer died between the record and the rename. So
// a cut exactly where it ended, when the last write only added at the end,
// reads as the whole hive before that write.
//
// The record holds, instead of the written file, the hash of each of its
// beginnings that ends at a line end, and the fingerprint of the file it
// replaced.
class HiveWriteRecord {
  public:
    enum class Verdict {
        Written,  // the hive written last
        Replaced, // the file that write replaced
        CutShort, // the first lines of the hive written last, but not all of them
        Other,    // anything else: edited by hand, or written by another program
    };

    // `counter` is the change counter as it will be once the write is done.
    HiveWriteRecord(std::uint64_t counter, std::optional<FileFingerprint> replaced,
                    std::string_view written);
    // The same for a file written in pieces: add() each piece in order.
    HiveWriteRecord(std::uint64_t counter, std::optional<FileFingerprint> replaced);
    void add(std::string_view piece);

    Verdict judge(std::string_view content) const;
    // The same, for a caller that has the content's fingerprint at hand.
    Verdict judge(std::string_view content, const FileFingerprint& seen) const;
    // FileFingerprint::of the written file, without hashing it again.
    const FileFingerprint& written() const { return written_; }

    std::string encode() const;
    static std::optional<HiveWriteRecord> decode(std::string_view bytes);

    // Reads a lock file without locking it; a missing one holds nothing.
    static StoredHiveRecord read(const std::filesystem::path& lockFile);
    // The counter of the lock file open as `fd`.
    static std::uint64_t counterOf(int fd, const std::filesystem::path& lockFile);
    // Stores the record behind the counter of the lock file open as `fd`,
    // which the caller holds locked for writing. Raises korvana::Error.
    void write(int fd, const std::filesystem::path& lockFile) const;

  private:
    HiveWriteRecord() = default;

    std::uint64_t counter_ = 0;
    std::optional<FileFingerprint> replaced_;
    FileFingerprint written_;
    // The hash of the written file up to and including each of its line feeds.
    // In blocks rather than one array: a large hive's hashes are added on the
    // writing thread, and an array grown by copying would leave its old
    // copies with that thread's allocator.
    std::deque<std::uint64_t> lineHashes_;
    // While pieces are added: the hash up to the last whole line, and the
    // beginning of a line that the next piece ends.
    std::uint64_t lineState_ = 0;
    std::string pendingLine_;
};

// A hive's lock file as found. `record` is empty when there is none, when it
// belongs to an older state of the counter (a writer that keeps no record
// wrote the hive since), or when its bytes do not form a whole record; the
// last is `torn`: a writer is writing it, or died doing so.
struct StoredHiveRecord {
    std::uint64_t counter = 0;
    std::optional<HiveWriteRecord> record;
    bool torn = false;
};

} // namespace korvana
