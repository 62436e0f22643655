#include "platform/HiveWriteRecord.h"

#include "platform/ChangeCounter.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace korvana {
namespace {

using Verdict = HiveWriteRecord::Verdict;

constexpr std::string_view before = "Windows Registry Editor Version 5.00\n\n"
                                    "[HKEY_CURRENT_USER\\A]\n\"V\"=\"1\"\n\n";
constexpr std::string_view written = "Windows Registry Editor Version 5.00\n\n"
                                     "[HKEY_CURRENT_USER\\A]\n\"V\"=\"1\"\n\n"
                                     "[HKEY_CURRENT_USER\\B]\n\"W\"=hex:01,02\n\n";

HiveWriteRecord record() {
    return HiveWriteRecord(7, FileFingerprint::of(before), written);
}

TEST(HiveWriteRecord, TellsTheFilesItWasWrittenForFromCutsAndEdits) {
    const struct {
        std::string content;
        Verdict verdict;
    } cases[] = {
        {std::string(written), Verdict::Written},
        {std::string(before), Verdict::Replaced},
        {"", Verdict::CutShort},
        {"Windows Registry Editor Version 5.00\n", Verdict::CutShort},
        {std::string(written.substr(0, written.size() - 1)), Verdict::CutShort},
        {std::string(before) + "[HKEY_CURRENT_USER\\B]\n", Verdict::CutShort},
        // Cut within a line: for the parser to refuse, not a beginning of lines.
        {std::string(written.substr(0, written.size() - 2)), Verdict::Other},
        {std::string(written) + "; more\n", Verdict::Other},
        {std::string(before) + "; shortened\n", Verdict::Other},
        {"Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\B]\n", Verdict::Other},
    };
    const auto original = record();
    const auto decoded = HiveWriteRecord::decode(original.encode());
    ASSERT_TRUE(decoded);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        EXPECT_EQ(original.judge(c.content), c.verdict);
        EXPECT_EQ(decoded->judge(c.content), c.verdict);
    }
}

// A reader may find the record half written; it must not take that for one.
TEST(HiveWriteRecord, TornOrAlteredBytesAreNoRecord) {
    const std::string bytes = record().encode();
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        EXPECT_FALSE(HiveWriteRecord::decode(bytes.substr(0, length))) << length;
    }
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        std::string altered = bytes;
        altered[at] = static_cast<char>(altered[at] ^ 0x20);
        EXPECT_FALSE(HiveWriteRecord::decode(altered)) << at;
    }
    // The rest of a longer record it replaced may still follow it.
    const auto followed = HiveWriteRecord::decode(bytes + std::string(40, '\x5a'));
    ASSERT_TRUE(followed);
    EXPECT_EQ(followed->judge(written), Verdict::Written);
}

// The writer hands the hive over in pieces, which may cut a line anywhere.
TEST(HiveWriteRecord, PiecesCutAnywhereMakeTheSameRecordAsTheWholeFile) {
    const auto whole = record();
    for (std::size_t cut = 0; cut <= written.size(); ++cut) {
        HiveWriteRecord pieces(7, FileFingerprint::of(before));
        pieces.add(written.substr(0, cut));
        pieces.add("");
        pieces.add(written.substr(cut));
        EXPECT_EQ(pieces.encode(), whole.encode()) << cut;
    }
    // A file not ended by a line feed: its last line counts in the fingerprint.
    HiveWriteRecord unended(7, std::nullopt);
    unended.add("a\nb");
    unended.add("c");
    EXPECT_EQ(unended.written(), FileFingerprint::of("a\nbc"));
    EXPECT_NE(unended.written(), FileFingerprint::of("a\nb"));
    EXPECT_EQ(unended.judge("a\n"), Verdict::CutShort);
}

// A lock file written by an earlier version holds a record of another kind: it
// says nothing about the hive, but it is no half-written record either.
TEST(HiveWriteRecord, AnEarlierVersionsRecordIsPassedOverQuietly) {
    const auto lockFile = std::filesystem::temp_directory_path() /
                          ("hive-record-" + std::to_string(::getpid()) + ".lock");
    {
        std::ofstream out(lockFile, std::ios::binary);
        out << std::string(ChangeCounter::bytes, '\0') << "KVHIVREC" << std::string(72, '\1');
    }
    const auto stored = HiveWriteRecord::read(lockFile);
    std::filesystem::remove(lockFile);
    EXPECT_FALSE(stored.record);
    EXPECT_FALSE(stored.torn);
}

} // namespace
} // namespace korvana
