#include "platform/HiveWriteRecord.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace korvana
