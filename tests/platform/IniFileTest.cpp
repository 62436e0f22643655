#include "platform/IniFile.h"

#include "platform/Error.h"
#include "support/ScratchDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace korvana {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::ScratchDir;
using test::writeFile;
using namespace std::string_literals;

IniFile document(std::string text) {
    return IniFile("test.ini", std::move(text));
}

// --- reading -------------------------------------------------------------

struct ReadCase {
    const char* name;
    const char* text;
    const char* section;
    const char* key;
    const char* expected; // nullptr: the default
};

class IniReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(IniReadTest, ReadsLikeTheWindowsProfileFunctions) {
    const ReadCase& c = GetParam();
    const IniFile ini = document(c.text);
    EXPECT_EQ(ini.read(c.section, c.key, "<default>"), c.expected ? c.expected : "<default>");
}

INSTANTIATE_TEST_SUITE_P(
    IniFile, IniReadTest,
    ::testing::Values(
        ReadCase{"plain", "[Korvana4]\nProjectName=Demo\n", "Korvana4", "ProjectName", "Demo"},
        ReadCase{"namesIgnoreCase", "[KORVANA4]\nprojectname=Demo\n", "korvana4", "ProjectNAME",
                 "Demo"},
        ReadCase{"valueTrimmed", "[S]\n  Key \t=   a value  \t\n", "S", "Key", "a value"},
        ReadCase{"crlf", "[S]\r\nKey=Value\r\nNext=2\r\n", "S", "Key", "Value"},
        ReadCase{"loneCr", "[S]\rKey=Value\rNext=2\r", "S", "Next", "2"},
        ReadCase{"loneCrBeforeCrlf", "[S]\r\rKey=Value\r\n", "S", "Key", "Value"},
        ReadCase{"mixedLineEnds", "[S]\rA=1\r\nB=2\nKey=3", "S", "Key", "3"},
        ReadCase{"bomBeforeFirstSection", "\xEF\xBB\xBF[S]\r\nKey=Value\r\n", "S", "Key", "Value"},
        ReadCase{"firstKeyWins", "[S]\nKey=first\nKEY=second\n", "S", "Key", "first"},
        ReadCase{"firstSectionWins", "[S]\nKey=first\n[s]\nKey=second\n", "S", "Key", "first"},
        ReadCase{"laterSectionOfSameName", "[S]\nOther=1\n[T]\nKey=t\n[S]\nKey=later\n", "S", "Key",
                 "later"},
        ReadCase{"quotesRemoved", "[S]\nKey=\"quoted value\"\n", "S", "Key", "quoted value"},
        ReadCase{"singleQuotesRemoved", "[S]\nKey='x'\n", "S", "Key", "x"},
        ReadCase{"unbalancedQuoteKept", "[S]\nKey=\"x\n", "S", "Key", "\"x"},
        ReadCase{"emptyValue", "[S]\nKey=\n", "S", "Key", ""},
        ReadCase{"valueWithEquals", "[S]\nKey=a=b\n", "S", "Key", "a=b"},
        ReadCase{"semicolonInValueKept", "[S]\nKey=a;b\n", "S", "Key", "a;b"},
        ReadCase{"commentedKeyIgnored", "[S]\n;Key=off\nKey=on\n", "S", "Key", "on"},
        ReadCase{"spacedSectionName", "[ Add-Ins32 ]\nKey=1\n", "Add-Ins32", "Key", "1"},
        ReadCase{"keyBeforeAnySection", "Key=orphan\n[S]\n", "S", "Key", nullptr},
        ReadCase{"keyInOtherSection", "[T]\nKey=t\n", "S", "Key", nullptr},
        ReadCase{"noFinalLineBreak", "[S]\nKey=last", "S", "Key", "last"},
        ReadCase{"windowsCodePageBytes",
                 "[S]\nTitle=Gr\xF6\xDF"
                 "e\n",
                 "S", "Title",
                 "Gr\xF6\xDF"
                 "e"},
        ReadCase{"emptyFile", "", "S", "Key", nullptr}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

// --- changing, keeping everything else byte for byte ---------------------

struct ChangeCase {
    const char* name;
    const char* before;
    const char* section;
    const char* key;
    const char* value; // nullptr: delete the key
    const char* after;
};

class IniChangeTest : public ::testing::TestWithParam<ChangeCase> {};

TEST_P(IniChangeTest, TouchesOnlyTheLineConcerned) {
    const ChangeCase& c = GetParam();
    IniFile ini = document(c.before);
    if (c.value) {
        ini.set(c.section, c.key, c.value);
        EXPECT_EQ(ini.read(c.section, c.key, "<default>"), c.value);
    } else {
        ini.remove(c.section, c.key);
        EXPECT_EQ(ini.read(c.section, c.key, "<default>"), "<default>");
    }
    EXPECT_EQ(ini.text(), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    IniFile, IniChangeTest,
    ::testing::Values(
        ChangeCase{"replaceKeepsSpacingAndCrlf",
                   "; shared with other programs\r\n[Add-Ins32]\r\nA.Connect = 0  \r\nB=1\r\n",
                   "add-ins32", "a.connect", "1",
                   "; shared with other programs\r\n[Add-Ins32]\r\nA.Connect = 1  \r\nB=1\r\n"},
        ChangeCase{"replaceQuotedValue", "[S]\nKey=\"old\"\n", "S", "Key", "new", "[S]\nKey=new\n"},
        ChangeCase{"replaceFirstOfDuplicates", "[S]\nKey=1\nKey=2\n", "S", "KEY", "3",
                   "[S]\nKey=3\nKey=2\n"},
        ChangeCase{"fillEmptyValue", "[S]\r\nKey=\r\n", "S", "Key", "v", "[S]\r\nKey=v\r\n"},
        ChangeCase{"appendAfterLastKeyNotAfterBlankOrComment",
                   "[A]\r\na=1\r\n\r\n; about B\r\n[B]\r\nb=2\r\n", "A", "New", "x",
                   "[A]\r\na=1\r\nNew=x\r\n\r\n; about B\r\n[B]\r\nb=2\r\n"},
        ChangeCase{"appendToEmptySection", "[A]\n\n[B]\n", "a", "k", "v", "[A]\nk=v\n\n[B]\n"},
        ChangeCase{"appendToUnterminatedLastLine", "[A]\r\na=1", "A", "b", "2",
                   "[A]\r\na=1\r\nb=2\r\n"},
        ChangeCase{"newSectionAtEnd", "[A]\r\na=1\r\n", "B", "b", "2",
                   "[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n"},
        ChangeCase{"newSectionAfterUnterminatedLine", "[A]\na=1", "B", "b", "2",
                   "[A]\na=1\n\n[B]\nb=2\n"},
        ChangeCase{"newSectionInEmptyFile", "", "S", "k", "v", "[S]\r\nk=v\r\n"},
        ChangeCase{"newSectionKeepsBom", "\xEF\xBB\xBF", "S", "k", "v",
                   "\xEF\xBB\xBF[S]\r\nk=v\r\n"},
        ChangeCase{"deleteRemovesEveryDuplicate",
                   "[S]\r\nKey=1\r\nkeep=1\r\n[T]\r\nKey=t\r\n[s]\r\nKEY=2\r\n", "S", "key",
                   nullptr, "[S]\r\nkeep=1\r\n[T]\r\nKey=t\r\n[s]\r\n"},
        ChangeCase{"deleteUnterminatedLastLine", "[S]\nA=1\nKey=2", "S", "Key", nullptr,
                   "[S]\nA=1\n"},
        ChangeCase{"appendBeforeEndOfFileMark", "[A]\r\na=1\r\n\x1A", "A", "b", "2",
                   "[A]\r\na=1\r\nb=2\r\n\x1A"},
        ChangeCase{"newSectionBeforeEndOfFileMark", "[A]\r\na=1\r\n\x1A", "B", "b", "2",
                   "[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n\x1A"},
        ChangeCase{"appendAfterLoneCrHeader", "[S]\r", "S", "k", "v", "[S]\rk=v\r"},
        ChangeCase{"appendInLoneCrSection", "[S]\ra=1\r[T]\rb=2\r", "S", "k", "v",
                   "[S]\ra=1\rk=v\r[T]\rb=2\r"},
        ChangeCase{"replaceInLoneCrFile", "[S]\ra=1\rb=2\r", "S", "a", "3", "[S]\ra=3\rb=2\r"},
        ChangeCase{"newSectionInLoneCrFile", "[A]\ra=1\r", "B", "b", "2", "[A]\ra=1\r\r[B]\rb=2\r"},
        ChangeCase{"deleteInLoneCrFile", "[S]\rKey=1\rkeep=1\r", "S", "Key", nullptr,
                   "[S]\rkeep=1\r"},
        ChangeCase{"newLineTakesTheFirstLineEnd", "[A]\na=1\r\nc=3\r", "A", "b", "2",
                   "[A]\na=1\r\nc=3\rb=2\n"},
        ChangeCase{"tabAndFormFeedInValue", "[S]\r\n", "S", "k", "a\tb\fc", "[S]\r\nk=a\tb\fc\r\n"},
        ChangeCase{"deleteMissingKeyChangesNothing", "[S]\r\n; Key=1\r\n", "S", "Key", nullptr,
                   "[S]\r\n; Key=1\r\n"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(IniSetTest, SameValueLeavesTheTextAlone) {
    IniFile ini = document("[S]\nKey = \"v\"\n");
    EXPECT_FALSE(ini.set("S", "Key", "v"));
    EXPECT_EQ(ini.text(), "[S]\nKey = \"v\"\n");
}

TEST(IniSetTest, RefusesNamesAndValuesThatWouldNotReadBack) {
    IniFile ini = document("[S]\nKey=1\n");
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } bad[] = {{"", "k", "v"},         {"S]x", "k", "v"},       {"S\nT", "k", "v"},
               {"S", "", "v"},         {"S", "a=b", "v"},       {"S", " k", "v"},
               {"S", "[k", "v"},       {"S", ";k", "v"},        {"S", "k", "line\r\nInjected=1"},
               {"S", "k\n[T]", "v"},   {"S", "k", "a\x01z"},    {"S", "k", "\x1A"},
               {"S", "k", "\xC2\x85"}, {"S", "Key", "\x1B[0m"}, {"S\x01", "k", "v"},
               {"S", "k\x02", "v"},    {"S", "k", "\x7F"},      {"S", "k", "v\r"}};
    for (const auto& c : bad) {
        EXPECT_THROW(ini.set(c.section, c.key, c.value), Error) << c.section << "/" << c.key;
    }
    EXPECT_EQ(ini.text(), "[S]\nKey=1\n");
}

// The rule for text looks at the whole file: a mostly-ASCII Windows-1252 file
// that loses its ASCII would read as binary data afterwards.
TEST(IniSetTest, RefusesChangesThatWouldLeaveNoText) {
    std::string high;
    for (int i = 0; i < 64; ++i) {
        high.push_back(static_cast<char>(0xC0 + i % 0x30)); // letters with accents, not UTF-8
    }
    const std::string text = "[S]\r\nK=" + high + "\r\nPad=" + std::string(60, 'x') + "\r\n";
    IniFile ini = document(text);
    EXPECT_THROW(ini.set("S", "Pad", ""), Error);
    EXPECT_THROW(ini.remove("S", "Pad"), Error);
    EXPECT_EQ(ini.text(), text);
    EXPECT_EQ(ini.read("S", "K"), high);
}

// --- files -----------------------------------------------------------------

class IniFileOnDiskTest : public ::testing::Test {
  protected:
    ScratchDir scratch;
    fs::path file = scratch / "VBAddIn.ini";
};

TEST_F(IniFileOnDiskTest, RoundTripKeepsForeignContent) {
    const std::string foreign = "\xEF\xBB\xBF; written by another program\r\n"
                                "[Add-Ins32]\r\n"
                                "Other.Connect=3\r\n"
                                "\r\n"
                                "[Foreign]\r\n"
                                "Odd line without equals\r\n"
                                "x = 1 ; not a comment\r\n";
    writeFile(file, foreign);
    IniFile::writeKey(file, "ADD-INS32", "Korvana.Connect", "0");
    EXPECT_EQ(IniFile::readKey(file, "Add-Ins32", "korvana.connect"), "0");
    EXPECT_TRUE(IniFile::deleteKey(file, "Add-Ins32", "Korvana.Connect"));
    EXPECT_EQ(readFile(file), foreign);
}

TEST_F(IniFileOnDiskTest, MissingFileReadsDefaultAndIsCreatedOnWrite) {
    EXPECT_EQ(IniFile::readKey(file, "S", "Key", "dflt"), "dflt");
    EXPECT_FALSE(IniFile::deleteKey(file, "S", "Key"));
    EXPECT_FALSE(fs::exists(file));
    IniFile::writeKey(file, "S", "Key", "v");
    EXPECT_EQ(readFile(file), "[S]\r\nKey=v\r\n");
}

TEST_F(IniFileOnDiskTest, BinaryFileIsRefusedAndUntouched) {
    const std::string binary("Standard JET DB\0\x01\x02[S]\nKey=1\n", 29);
    writeFile(file, binary);
    try {
        IniFile::writeKey(file, "S", "Key", "2");
        FAIL() << "a binary file was accepted";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find(file.string()), std::string::npos) << error.what();
    }
    EXPECT_THROW(IniFile::readKey(file, "S", "Key"), Error);
    EXPECT_THROW(IniFile::deleteKey(file, "S", "Key"), Error);
    EXPECT_EQ(readFile(file), binary);
    // UTF-16, as some Windows tools write INI files, is not taken for text either.
    writeFile(file, std::string("\xFF\xFE[\0S\0]\0", 8));
    EXPECT_THROW(IniFile::load(file), Error);
}

struct TextCase {
    const char* name;
    std::string bytes;
    bool text;
    const char* place = ""; // what the refusal says of where the file is no text
};

class IniTextTest : public ::testing::TestWithParam<TextCase> {};

// What the reader cannot take for text is neither read nor written; what it can
// is changed like any INI file.
TEST_P(IniTextTest, OnlyTextIsReadAndWritten) {
    const TextCase& c = GetParam();
    ScratchDir scratch;
    const fs::path file = scratch / "Project.vbp";
    writeFile(file, c.bytes);
    if (c.text) {
        IniFile::writeKey(file, "Korvana4", "Added", "1");
        EXPECT_EQ(IniFile::readKey(file, "korvana4", "added"), "1");
        // Byte for byte: nothing is converted (the end-of-file mark stays last).
        EXPECT_TRUE(readFile(file).starts_with(c.bytes.substr(0, c.bytes.find('\x1A'))));
        return;
    }
    try {
        IniFile::writeKey(file, "Korvana4", "Added", "1");
        FAIL() << "a file that is not text was written";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find(file.string()), std::string::npos);
        EXPECT_NE(std::string(error.what()).find(c.place), std::string::npos) << error.what();
    }
    EXPECT_THROW(IniFile::readKey(file, "Korvana4", "Added"), Error);
    EXPECT_EQ(readFile(file), c.bytes);
}

std::string highBytes(std::size_t count) {
    std::string bytes;
    for (std::size_t i = 0; i < count; ++i) {
        bytes.push_back(static_cast<char>(0xA0 + (i * 37) % 0x60));
    }
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    IniFile, IniTextTest,
    ::testing::Values(
        TextCase{"windows1252Umlauts",
                 "[Korvana4]\r\nTitle=Gr\xF6\xDF"
                 "e \xC4nderung f\xFCr M\xFCller\r\n",
                 true},
        TextCase{"windows1252Typography", "; \x84Kessel\x93 \x96 5 \x80\r\n[S]\r\nK=1\r\n", true},
        TextCase{"utf8WithMark",
                 "\xEF\xBB\xBF[S]\r\nK=Gr\xC3\xB6\xC3\x9F"
                 "e\r\n",
                 true},
        TextCase{"utf8MostlyBeyondAscii",
                 "[S]\nK=\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE2\x9C\x93\n", true},
        TextCase{"crlfTabsAndFormFeed", "; page one\f\r\n[S]\r\n\tK = 1\r\n", true},
        TextCase{"endOfFileMarkLast", "[S]\r\nK=1\r\n\x1A", true},
        TextCase{"markOnly", "\xEF\xBB\xBF", true},
        TextCase{"nul", "Standard JET DB\0[S]\nK=1\n"s, false,
                 "at byte offset 15: the control character 0x00"},
        TextCase{"imageHeaderWithoutNul", "\x89PNG\r\n\x1A\n\xAB\xCD\xEF[S]\r\nK=1\r\n", false},
        TextCase{"endOfFileMarkInside", "[S]\r\n\x1AK=1\r\n", false, "at byte offset 5"},
        TextCase{"verticalTab", "[S]\r\nK=1\v\r\n", false},
        TextCase{"escape", "[S]\r\nK=\x1B[31m\r\n", false},
        TextCase{"delete", "[S]\r\nK=\x7F\r\n", false},
        TextCase{"c1ControlInUtf8", "[S]\nK=\xC2\x85\n", false, "at byte offset 6: a control"},
        TextCase{"markThenNotUtf8",
                 "\xEF\xBB\xBF[S]\r\nK=Gr\xF6\xDF"
                 "e\r\n",
                 false, "at byte offset 12: not UTF-8"},
        TextCase{"byteUnassignedIn1252", "[S]\r\nK=\x81\r\n", false, "at byte offset 7"},
        TextCase{"mostlyHighBytes", "[S]\r\nK=" + highBytes(64) + "\r\n", false, "above 7F"},
        TextCase{"utf16WithMark", "\xFF\xFE[\0S\0]\0"s, false}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(IniFileOnDiskTest, ReadOnlyFileIsRefusedAndUntouched) {
    writeFile(file, "[S]\nKey=1\n");
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_THROW(IniFile::writeKey(file, "S", "Key", "2"), Error);
    EXPECT_EQ(readFile(file), "[S]\nKey=1\n");
}

TEST_F(IniFileOnDiskTest, WriteKeepsModeAndSymlinkAndLeavesNoTemporaryFile) {
    writeFile(scratch / "real" / "addins.ini", "[S]\nKey=1\n");
    fs::permissions(scratch / "real" / "addins.ini",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(scratch / "real" / "addins.ini", file);

    IniFile::writeKey(file, "S", "Key", "2");

    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(readFile(scratch / "real" / "addins.ini"), "[S]\nKey=2\n");
    EXPECT_EQ(fs::status(scratch / "real" / "addins.ini").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(scratch / "real")) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST_F(IniFileOnDiskTest, StoredPathsWithBackslashesReachTheFile) {
    writeFile(scratch / "Demo" / "Demo.vbp", "[Korvana4]\r\nProjectName=Demo\r\n");
    std::string stored = (scratch / "Demo" / "Demo.vbp").string();
    for (char& c : stored) {
        c = c == '/' ? '\\' : c;
    }
    EXPECT_EQ(IniFile::readKey(stored, "Korvana4", "ProjectName"), "Demo");
    IniFile::writeKey(stored, "Korvana4", "ProjectName", "Renamed");
    EXPECT_EQ(readFile(scratch / "Demo" / "Demo.vbp"), "[Korvana4]\r\nProjectName=Renamed\r\n");

    // A Windows drive names nothing here: read gives the default, write fails.
    EXPECT_EQ(IniFile::readKey("Q:\\Demo\\Demo.vbp", "Korvana4", "ProjectName", "none"), "none");
    EXPECT_THROW(IniFile::writeKey("Q:\\Demo\\Demo.vbp", "Korvana4", "ProjectName", "x"), Error);
}

TEST_F(IniFileOnDiskTest, FolderOrMissingParentIsAnError) {
    EXPECT_THROW(IniFile::readKey(scratch.path(), "S", "Key"), Error);
    EXPECT_THROW(IniFile::writeKey(scratch / "missing" / "x.ini", "S", "Key", "v"), Error);
}

} // namespace
} // namespace korvana
