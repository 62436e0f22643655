#include "platform/Error.h"
#include "platform/FileRegistry.h"
#include "support/ScratchDir.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <map>
#include <unistd.h>

namespace korvana {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

constexpr auto hkcu = Hive::CurrentUser;

struct HandEdit {
    const char* label;
    std::function<std::string(const std::string&)> edit;
};

std::string eraseLine(const std::string& text, std::string_view line) {
    std::string out = text;
    const auto at = out.find(std::string(line) + "\n");
    return at == std::string::npos ? out : out.erase(at, line.size() + 1);
}

class HandEditedHive : public ::testing::TestWithParam<HandEdit> {};

// What people do to the file in an editor is read and written over, however
// much shorter it makes the file.
TEST_P(HandEditedHive, IsReadAndWrittenOver) {
    test::ScratchDir scratch;
    const auto file = scratch / "HKEY_CURRENT_USER.reg";
    FileRegistry registry(scratch.path());
    registry.writeString(hkcu, "A", "First", "1");
    registry.writeString(hkcu, "A", "Second", "2");
    registry.writeString(hkcu, "B", "Third", "3");
    const std::string edited = GetParam().edit(test::readFile(file));
    ASSERT_NE(edited, test::readFile(file));
    test::writeFile(file, edited);

    FileRegistry reader(scratch.path());
    EXPECT_NO_THROW(reader.values(hkcu, "A"));
    registry.writeString(hkcu, "C", "Added", "4");
    EXPECT_EQ(FileRegistry(scratch.path()).readString(hkcu, "C", "Added"), "4");
    EXPECT_EQ(test::readFile(scratch / "HKEY_CURRENT_USER.reg.bak"), edited);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, HandEditedHive,
    ::testing::Values(
        HandEdit{"RemoveAValueInTheMiddle",
                 [](const std::string& text) { return eraseLine(text, "\"First\"=\"1\""); }},
        HandEdit{"RemoveAKeyInTheMiddle",
                 [](const std::string& text) {
                     std::string out = eraseLine(text, "[HKEY_CURRENT_USER\\A]");
                     return eraseLine(eraseLine(out, "\"First\"=\"1\""), "\"Second\"=\"2\"");
                 }},
        HandEdit{"RemoveTheLastLinesAndSaySo",
                 [](const std::string& text) {
                     return text.substr(0, text.find("[HKEY_CURRENT_USER\\B]")) + "; shortened\n";
                 }},
        HandEdit{"AddAValueAtTheEnd",
                 [](const std::string& text) { return text + "\"Fourth\"=\"4\"\n"; }},
        HandEdit{"AddACommentAtTheTop",
                 [](const std::string& text) {
                     return std::string(text).insert(text.find('\n') + 1, "; mine\n");
                 }},
        HandEdit{"SaveWithWindowsLineEnds",
                 [](const std::string& text) {
                     std::string out;
                     for (const char c : text) {
                         out += c == '\n' ? std::string("\r\n") : std::string(1, c);
                     }
                     return out;
                 }},
        HandEdit{"NoteAfterAValue",
                 [](const std::string& text) {
                     std::string out = text;
                     return out.replace(out.find("\"Second\"=\"2\""), 12,
                                        "  \"Second\" = \"2\" ; why");
                 }},
        HandEdit{"SaveWithOldMacintoshLineEnds",
                 [](const std::string& text) {
                     std::string out = text;
                     std::replace(out.begin(), out.end(), '\n', '\r');
                     return out;
                 }},
        HandEdit{"ChangeAValueToAShorterOne",
                 [](const std::string& text) {
                     std::string out = text;
                     return out.replace(out.find("\"Third\"=\"3\""), 11, "\"Third\"=\"\"");
                 }}),
    [](const auto& row) { return std::string(row.param.label); });

class HiveDamageTest : public ::testing::Test {
  protected:
    fs::path hive() const { return scratch_ / "HKEY_CURRENT_USER.reg"; }
    fs::path backup() const { return scratch_ / "HKEY_CURRENT_USER.reg.bak"; }
    fs::path lock() const { return scratch_ / "HKEY_CURRENT_USER.reg.lock"; }

    test::ScratchDir scratch_;
};

TEST_F(HiveDamageTest, CutHiveIsMendedByItsBackupWhichHoldsTheFileBeforeTheLastWrite) {
    FileRegistry registry(scratch_.path());
    registry.writeString(hkcu, "A", "V", "1");
    EXPECT_FALSE(fs::exists(backup())) << "there was nothing to keep";
    const std::string first = test::readFile(hive());
    // Appended at the end: the file before is the beginning of the file after.
    registry.writeString(hkcu, "B", "W", "2");
    EXPECT_EQ(test::readFile(backup()), first);

    test::writeFile(hive(), first + "[HKEY_CURRENT_USER\\B]\n");
    FileRegistry other(scratch_.path());
    try {
        other.values(hkcu, "");
        FAIL() << "a cut hive was read";
    } catch (const Error& error) {
        EXPECT_THAT(error.what(), HasSubstr(hive().string() + ", line 6: "));
        EXPECT_THAT(error.what(), HasSubstr("cut short"));
        EXPECT_THAT(error.what(), HasSubstr("last good copy, " + backup().string()));
    }
    const std::string cut = test::readFile(hive());
    EXPECT_THROW(other.writeString(hkcu, "A", "V", "2"), Error);
    EXPECT_EQ(test::readFile(hive()), cut);

    // The copy is the beginning of the hive written last, as a cut there would
    // be; a file the last write replaced is taken for what it is, the hive as
    // it was before that write.
    fs::copy_file(backup(), hive(), fs::copy_options::overwrite_existing);
    EXPECT_EQ(other.readString(hkcu, "A", "V"), "1");
    EXPECT_FALSE(other.keyExists(hkcu, "B"));
    other.writeString(hkcu, "C", "X", "3");
    EXPECT_EQ(test::readFile(backup()), first);
}

TEST_F(HiveDamageTest, EmptiedHiveIsRefusedOnceWrittenButAHandMadeBlankOneIsEmpty) {
    FileRegistry registry(scratch_.path());
    registry.writeString(hkcu, "A", "V", "1");
    test::writeFile(hive(), "");
    try {
        FileRegistry(scratch_.path()).values(hkcu, "");
        FAIL() << "an emptied hive was read";
    } catch (const Error& error) {
        EXPECT_THAT(error.what(), HasSubstr(", line 1: the file is empty"));
    }
    test::writeFile(hive(), "\n");
    EXPECT_TRUE(FileRegistry(scratch_.path()).subKeys(hkcu, "").empty());
}

// Earlier versions keep only the counter in the lock file; they and this
// version may run side by side while both are installed.
TEST_F(HiveDamageTest, LockFileOfAnEarlierVersionIsReadAndKeepsItsCounter) {
    test::writeFile(hive(), "Windows Registry Editor Version 5.00\n\n"
                            "[HKEY_CURRENT_USER\\A]\n\"V\"=\"old\"\n\n"
                            "[HKEY_CURRENT_USER\\Tail]\n\"T\"=\"x\"\n\n");
    const std::uint64_t counter = 41;
    test::writeFile(lock(), std::string_view(reinterpret_cast<const char*>(&counter), 8));

    FileRegistry registry(scratch_.path());
    EXPECT_EQ(registry.readString(hkcu, "A", "V"), "old");
    registry.writeString(hkcu, "A", "V", "new");
    const std::string lockBytes = test::readFile(lock());
    ASSERT_GT(lockBytes.size(), 8u);
    std::uint64_t raised = 0;
    std::memcpy(&raised, lockBytes.data(), 8);
    EXPECT_EQ(raised, counter + 1);

    // An earlier version deletes the last key: its file is the beginning of
    // ours, but it raised the counter, so the record no longer speaks for the hive.
    const std::string ours = test::readFile(hive());
    test::writeFile(hive(), ours.substr(0, ours.find("[HKEY_CURRENT_USER\\Tail]")));
    ++raised;
    test::writeFile(lock(),
                    std::string(reinterpret_cast<const char*>(&raised), 8) + lockBytes.substr(8));
    EXPECT_EQ(FileRegistry(scratch_.path()).readString(hkcu, "A", "V"), "new");
    EXPECT_FALSE(FileRegistry(scratch_.path()).keyExists(hkcu, "Tail"));
}

TEST_F(HiveDamageTest, NextWriterRemovesTheTemporaryFilesOfKilledWritersOnly) {
    FileRegistry registry(scratch_.path());
    registry.writeString(hkcu, "A", "V", "1");
    registry.writeString(Hive::LocalMachine, "A", "V", "1");
    // Made as the writers make theirs, then left behind as by a killed writer.
    std::vector<fs::path> left;
    for (const char* name :
         {".HKEY_CURRENT_USER.reg.XXXXXX", ".HKEY_CURRENT_USER.reg.bak.XXXXXX"}) {
        std::string path = (scratch_ / name).string();
        const int fd = ::mkstemp(path.data());
        ASSERT_GE(fd, 0);
        ::close(fd);
        left.emplace_back(path);
    }
    const std::vector<std::string> kept{
        ".HKEY_LOCAL_MACHINE.reg.Ab12Cd", // the other hive's, for its own writer
        ".HKEY_CURRENT_USER.reg.Ab12C",   // not what mkstemp makes
        ".HKEY_CURRENT_USER.reg.Ab12Cde",
        ".HKEY_CURRENT_USER.reg.Ab-2Cd",
        "HKEY_CURRENT_USER.reg.Ab12Cd",
        ".HKEY_CURRENT_USER.reg.lock.x",
        "notes.txt",
    };
    for (const auto& name : kept) {
        test::writeFile(scratch_ / name, "mine");
    }
    fs::create_directory(scratch_ / ".HKEY_CURRENT_USER.reg.Folder");

    EXPECT_EQ(registry.readString(hkcu, "A", "V"), "1");
    for (const auto& path : left) {
        EXPECT_TRUE(fs::exists(path)) << "a reader removed " << path;
    }
    registry.writeString(hkcu, "A", "V", "2");
    for (const auto& path : left) {
        EXPECT_FALSE(fs::exists(path)) << path;
    }
    for (const auto& name : kept) {
        EXPECT_EQ(test::readFile(scratch_ / name), "mine") << name;
    }
    EXPECT_TRUE(fs::is_directory(scratch_ / ".HKEY_CURRENT_USER.reg.Folder"));
}

} // namespace
} // namespace korvana
