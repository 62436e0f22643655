#include "platform/FileRegistry.h"

#include "platform/Error.h"
#include "support/ScratchDir.h"

#include <chrono>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>

namespace korvana {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr auto hklm = Hive::LocalMachine;
constexpr auto hkcu = Hive::CurrentUser;

class FileRegistryTest : public ::testing::Test {
  protected:
    std::filesystem::path folder() const { return scratch_ / "registry"; }
    std::filesystem::path machineFile() const { return folder() / "HKEY_LOCAL_MACHINE.reg"; }

    test::ScratchDir scratch_;
    FileRegistry registry_{folder()};
};

TEST_F(FileRegistryTest, NamesMatchWithoutRegardToCaseAndKeepTheirFirstCase) {
    registry_.writeString(hklm, "Software\\ARVENTIK GmbH", "Common", "C:\\Common");
    registry_.writeString(hklm, "SOFTWARE\\arventik gmbh", "COMMON", "D:\\Common");
    registry_.writeString(hklm, "Software\\Übersicht", "Größe", "1");
    registry_.writeString(hklm, "Software\\ÜBERSICHT", "GRÖSSE", "2");

    EXPECT_EQ(registry_.readString(hklm, "software\\Arventik GMBH", "common"), "D:\\Common");
    EXPECT_THAT(registry_.subKeys(hklm, "software"), ElementsAre("ARVENTIK GmbH", "Übersicht"));
    const auto values = FileRegistry(folder()).values(hklm, "Software\\ARVENTIK GmbH");
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].name, "Common");
    // Case folding is per character: "ß" is not "SS".
    EXPECT_EQ(registry_.values(hklm, "software\\übersicht").size(), 2u);
    EXPECT_EQ(registry_.readString(hklm, "software\\übersicht", "grÖße"), "1");
}

TEST_F(FileRegistryTest, WritingCreatesTheKeysOnThePathAndDeletingTakesTheSubtree) {
    registry_.writeNumber(hklm, "A\\B\\C", "N", 5);
    registry_.writeNumber(hklm, "A\\Sibling", "N", 6);
    EXPECT_TRUE(registry_.keyExists(hklm, "A\\B"));
    EXPECT_FALSE(registry_.keyExists(hkcu, "A"));

    registry_.deleteKey(hklm, "a\\b");
    registry_.deleteKey(hklm, "A\\Missing\\Deeper");

    FileRegistry reopened(folder());
    EXPECT_FALSE(reopened.keyExists(hklm, "A\\B\\C"));
    EXPECT_FALSE(reopened.keyExists(hklm, "A\\B"));
    EXPECT_EQ(reopened.readNumber(hklm, "A\\Sibling", "N", 0), 6);
    EXPECT_THROW(registry_.deleteKey(hklm, ""), Error);
}

TEST_F(FileRegistryTest, DotNamesAreOrdinaryKeys) {
    registry_.writeString(hklm, "A\\..\\B", "V", "dotdot");
    registry_.writeString(hklm, "A\\.", "V", "dot");
    FileRegistry reopened(folder());
    EXPECT_FALSE(reopened.keyExists(hklm, "B"));
    EXPECT_THAT(reopened.subKeys(hklm, "A"), ElementsAre("..", "."));
    EXPECT_EQ(reopened.readString(hklm, "A\\..\\B", "V"), "dotdot");
    EXPECT_EQ(reopened.readString(hklm, "A\\.", "V"), "dot");
    EXPECT_EQ(reopened.readString(hklm, "A", "V", "none"), "none");
}

TEST_F(FileRegistryTest, KeyPathsWithEmptyPartsAreRefusedAndChangeNothing) {
    registry_.writeString(hklm, "A", "V", "kept");
    const auto before = test::readFile(machineFile());
    for (const char* path : {"A\\\\B", "\\A", "A\\", "\\"}) {
        SCOPED_TRACE(path);
        EXPECT_THROW(registry_.writeString(hklm, path, "V", "x"), Error);
        EXPECT_THROW(registry_.value(hklm, path, "V"), Error);
        EXPECT_THROW(registry_.deleteKey(hklm, path), Error);
    }
    EXPECT_EQ(test::readFile(machineFile()), before);
}

TEST_F(FileRegistryTest, NamesAndTextsTheFileCannotHoldAreRefused) {
    EXPECT_THROW(registry_.writeString(hklm, "A\nB", "V", "x"), Error);
    EXPECT_THROW(registry_.writeString(hklm, "A", "V\r\n", "x"), Error);
    EXPECT_THROW(registry_.writeString(hklm, "A", "V", "\xC3("), Error);
    EXPECT_FALSE(std::filesystem::exists(machineFile()));
}

TEST_F(FileRegistryTest, ValuesSetTogetherAreWrittenAllOrNone) {
    const std::string key = "Software\\ARVENTIK GmbH\\Korvana\\4.0\\Projects\\Plant";
    registry_.writeString(hklm, key, "Path", "old");
    const auto before = test::readFile(machineFile());
    EXPECT_THROW(registry_.setValues(hklm, key,
                                     {{"Path", RegistryValue::string("new")},
                                      {"ProjectType", RegistryValue::string("\xC3(")}}),
                 Error);
    EXPECT_EQ(test::readFile(machineFile()), before);

    registry_.setValues(
        hklm, key, {{"Path", RegistryValue::string("new")}, {"Version", RegistryValue::dword(4)}});
    EXPECT_THAT(FileRegistry(folder()).values(hklm, key),
                ElementsAre(::testing::Field(&NamedValue::name, "Path"),
                            ::testing::Field(&NamedValue::name, "Version")));
    EXPECT_EQ(registry_.readString(hklm, key, "Path"), "new");
}

struct RoundTrip {
    const char* label;
    std::string name;
    RegistryValue value;
};

RegistryValue typed(std::uint32_t type, std::vector<std::uint8_t> bytes) {
    RegistryValue value;
    value.type = type;
    value.data = std::move(bytes);
    return value;
}

class ValueRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(ValueRoundTrip, ReadsBackWhatWasWritten) {
    test::ScratchDir scratch;
    const auto& param = GetParam();
    FileRegistry(scratch.path()).setValue(hkcu, "K", param.name, param.value);
    FileRegistry(scratch.path()).setValue(hkcu, "K", "after", RegistryValue::string("next"));

    FileRegistry reader(scratch.path());
    const auto read = reader.value(hkcu, "K", param.name);
    ASSERT_TRUE(read) << test::readFile(scratch / "HKEY_CURRENT_USER.reg");
    EXPECT_EQ(*read, param.value) << test::readFile(scratch / "HKEY_CURRENT_USER.reg");
    EXPECT_EQ(reader.values(hkcu, "K").size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ValueRoundTrip,
    ::testing::Values(RoundTrip{"Backslashes", "Path", RegistryValue::string("C:\\Korvana\\")},
                      RoundTrip{"Quotes", "Q", RegistryValue::string("say \"hi\" \\\"")},
                      RoundTrip{"CrLf", "Multi", RegistryValue::string("line1\r\nline2\r\n")},
                      RoundTrip{"LoneLf", "Lf", RegistryValue::string("a\nb")},
                      RoundTrip{"Tab", "Tab", RegistryValue::string("a\tb")},
                      RoundTrip{"Empty", "Empty", RegistryValue::string("")},
                      RoundTrip{"Spaces", "Sp", RegistryValue::string("  both ends  ")},
                      RoundTrip{"Unicode", "Grüße", RegistryValue::string("Schön ✓ 𝄞")},
                      RoundTrip{"Brackets", "[x]", RegistryValue::string("]=[\"@\"")},
                      RoundTrip{"DefaultValue", "", RegistryValue::string("default")},
                      RoundTrip{"NameLooksLikeDefault", "@", RegistryValue::string("not default")},
                      RoundTrip{"NameWithEscapes", "a\\\"b", RegistryValue::string("x")}),
    [](const auto& row) { return std::string(row.param.label); });

INSTANTIATE_TEST_SUITE_P(Numbers, ValueRoundTrip,
                         ::testing::Values(RoundTrip{"Zero", "N", RegistryValue::dword(0)},
                                           RoundTrip{"AllBits", "N",
                                                     RegistryValue::dword(0xFFFFFFFFu)},
                                           RoundTrip{"Lcid", "LCID", RegistryValue::dword(1033)}),
                         [](const auto& row) { return std::string(row.param.label); });

INSTANTIATE_TEST_SUITE_P(
    Bytes, ValueRoundTrip,
    ::testing::Values(RoundTrip{"EmptyBinary", "B", RegistryValue::binary({})},
                      RoundTrip{"OneByte", "B", RegistryValue::binary({0xAB})},
                      RoundTrip{"WrappedOverLines", "Layout",
                                RegistryValue::binary(std::vector<std::uint8_t>(300, 0x5A))},
                      RoundTrip{"ExpandString", "E", typed(2, {'%', 0, 'P', 0, '%', 0, 0, 0})},
                      RoundTrip{"MultiString", "M", typed(7, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0})},
                      RoundTrip{"Qword", "Q", typed(11, {1, 2, 3, 4, 5, 6, 7, 8})},
                      RoundTrip{"NoneType", "Z", typed(0, {})},
                      RoundTrip{"BigTypeNumber", "T", typed(0x1234, {9})},
                      RoundTrip{"Utf16WithLoneSurrogate", "S", typed(1, {0x00, 0xD8, 0, 0})}),
    [](const auto& row) { return std::string(row.param.label); });

TEST_F(FileRegistryTest, HandEditedFileKeepsItsKeyOrderWhenWrittenBack) {
    test::writeFile(machineFile(), "Windows Registry Editor Version 5.00\r\n\r\n"
                                   "[HKEY_LOCAL_MACHINE\\Zeta]\r\n\"z\"=\"1\"\r\n\r\n"
                                   "[HKEY_LOCAL_MACHINE\\Alpha]\r\n\"a\"=dword:0000000A\r\n");
    registry_.writeString(hklm, "Mid", "m", "2");
    EXPECT_EQ(test::readFile(machineFile()), "Windows Registry Editor Version 5.00\n\n"
                                             "[HKEY_LOCAL_MACHINE\\Zeta]\n\"z\"=\"1\"\n\n"
                                             "[HKEY_LOCAL_MACHINE\\Alpha]\n\"a\"=dword:0000000a\n\n"
                                             "[HKEY_LOCAL_MACHINE\\Mid]\n\"m\"=\"2\"\n\n");
}

struct BrokenHive {
    const char* label;
    std::string content;
    int line;
};

class BrokenHiveFile : public ::testing::TestWithParam<BrokenHive> {};

TEST_P(BrokenHiveFile, FailsNamingFileAndLineAndIsNeverOverwritten) {
    test::ScratchDir scratch;
    const auto file = scratch / "HKEY_LOCAL_MACHINE.reg";
    test::writeFile(file, GetParam().content);
    FileRegistry registry(scratch.path());
    const std::string where = file.string() + ", line " + std::to_string(GetParam().line);

    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            registry.writeString(hklm, "New", "V", "x");
            FAIL() << "the write went through";
        } catch (const Error& error) {
            EXPECT_THAT(error.what(), HasSubstr(where));
        }
        EXPECT_THROW(registry.value(hklm, "A", "V"), Error);
        EXPECT_THROW(registry.deleteKey(hklm, "A"), Error);
    }
    EXPECT_EQ(test::readFile(file), GetParam().content);
    // The other hive is a file of its own and keeps working.
    registry.writeString(hkcu, "K", "V", "fine");
    EXPECT_EQ(registry.readString(hkcu, "K", "V"), "fine");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BrokenHiveFile,
    ::testing::Values(
        BrokenHive{"NoHeader", "[HKEY_LOCAL_MACHINE\\A]\n", 1},
        BrokenHive{"Garbage",
                   "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\A]\n"
                   "\"V\"=\"x\"\nthis is not a value\n",
                   5},
        BrokenHive{"SingleBackslash",
                   "Windows Registry Editor Version 5.00\n"
                   "[HKEY_LOCAL_MACHINE\\A]\n\"P\"=\"C:\\x\"\n",
                   3},
        BrokenHive{"Unterminated", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"P\"=\"abc\n", 3},
        BrokenHive{"OtherHive", "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n",
                   2},
        BrokenHive{"EmptyPart",
                   "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\A\\\\B]\n", 2},
        BrokenHive{"BadDword",
                   "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\A]\n"
                   "\"N\"=dword:123456789\n",
                   3},
        BrokenHive{"BadHex",
                   "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\A]\n"
                   "\"B\"=hex:01,\\\n  0g\n",
                   3},
        BrokenHive{"Deletion", "Windows Registry Editor Version 5.00\n[-HKEY_LOCAL_MACHINE\\A]\n",
                   2},
        BrokenHive{"ValueBeforeKey", "Windows Registry Editor Version 5.00\n\"V\"=\"x\"\n", 2},
        BrokenHive{"NotUtf8",
                   "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\A]\n"
                   "\"V\"=\"\xE4\"\n",
                   3}),
    [](const auto& row) { return std::string(row.param.label); });

// What a file cut short, or damaged on its way, tends to end or look like.
INSTANTIATE_TEST_SUITE_P(
    Damage, BrokenHiveFile,
    ::testing::Values(BrokenHive{"LastLineWithoutLineEnd",
                                 "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\A]\n"
                                 "\"V\"=\"complete\"",
                                 4},
                      BrokenHive{
                          "LastLineEndsInCarriageReturn",
                          "Windows Registry Editor Version 5.00\r\n[HKEY_LOCAL_MACHINE\\A]\r", 2},
                      BrokenHive{"HeaderWithoutLineEnd", "Windows Registry Editor Version 5.00", 1},
                      BrokenHive{"HexEndsInComma",
                                 "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\A]\n"
                                 "\"B\"=hex:01,02,\n\n",
                                 3},
                      BrokenHive{"HexContinuedOntoABlankLine",
                                 "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\A]\n"
                                 "\"B\"=hex:01,02,\\\n\n",
                                 3},
                      BrokenHive{"HexContinuedOntoNothing",
                                 "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\A]\n"
                                 "\"B\"=hex(3):01,02,\\\n  03,\\\n",
                                 3},
                      BrokenHive{"HexByteOfOneDigit",
                                 "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\A]\n"
                                 "\"B\"=hex:01,\\\n  02,0\n",
                                 3},
                      BrokenHive{"DwordOfSevenDigits",
                                 "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\A]\n"
                                 "\"N\"=dword:0000001\n",
                                 3},
                      BrokenHive{"EmptyDword",
                                 "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\A]\n"
                                 "\"N\"=dword:\n",
                                 3},
                      BrokenHive{"UnclosedSection",
                                 "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\A]\n"
                                 "\"V\"=\"x\"\n\n[HKEY_LOCAL_MACHINE\\Software\\Korv\n",
                                 6}),
    [](const auto& row) { return std::string(row.param.label); });

TEST_F(FileRegistryTest, MendedFileIsReadAgain) {
    test::writeFile(machineFile(), "Windows Registry Editor Version 5.00\n[broken\n");
    EXPECT_THROW(registry_.value(hklm, "A", "V"), Error);
    test::writeFile(machineFile(), "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\A]\n"
                                   "\"V\"=\"mended\"\n");
    EXPECT_EQ(registry_.readString(hklm, "A", "V"), "mended");
}

TEST_F(FileRegistryTest, MissingOrBlankFileIsAnEmptyHive) {
    EXPECT_TRUE(registry_.subKeys(hklm, "").empty());
    EXPECT_FALSE(registry_.keyExists(hklm, "Software"));
    test::writeFile(machineFile(), "\n\n");
    EXPECT_TRUE(registry_.subKeys(hklm, "").empty());
    registry_.writeString(hklm, "A", "V", "x");
    EXPECT_EQ(FileRegistry(folder()).readString(hklm, "A", "V"), "x");
}

TEST_F(FileRegistryTest, SeesEveryChangeOfAnotherInstance) {
    FileRegistry other(folder());
    EXPECT_EQ(other.readString(hklm, "K", "V", "none"), "none");
    // Same size and written within the same clock tick: only the file identity tells.
    for (const char* text : {"1", "2", "3", "4"}) {
        registry_.writeString(hklm, "K", "V", text);
        EXPECT_EQ(other.readString(hklm, "K", "V"), text);
    }
    other.deleteValue(hklm, "K", "V");
    EXPECT_EQ(registry_.readString(hklm, "K", "V", "gone"), "gone");
}

TEST_F(FileRegistryTest, SeesAFileReplacedByAnotherProgramWithinASecond) {
    registry_.writeString(hklm, "K", "V", "ours");
    EXPECT_EQ(registry_.readString(hklm, "K", "V"), "ours");
    const auto replacement = folder() / "edited.reg";
    test::writeFile(replacement, "Windows Registry Editor Version 5.00\n\n"
                                 "[HKEY_LOCAL_MACHINE\\K]\n\"V\"=\"edited\"\n");
    std::filesystem::rename(replacement, machineFile());
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    EXPECT_EQ(registry_.readString(hklm, "K", "V"), "edited");
    // A write always starts from the file as it is now.
    test::writeFile(machineFile(), "Windows Registry Editor Version 5.00\n\n"
                                   "[HKEY_LOCAL_MACHINE\\K]\n\"V\"=\"again\"\n");
    registry_.writeString(hklm, "K", "W", "added");
    EXPECT_EQ(FileRegistry(folder()).readString(hklm, "K", "V"), "again");
}

TEST_F(FileRegistryTest, ExportNamesKeysAsStoredAndSkipsMissingKeys) {
    registry_.writeString(hklm, "Software\\Korvana\\Projects\\Demo", "Path", "/p");
    const auto text = registry_.exportKey(hklm, "SOFTWARE\\korvana");
    ASSERT_TRUE(text);
    EXPECT_EQ(*text,
              "[HKEY_LOCAL_MACHINE\\Software\\Korvana]\n\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Korvana\\Projects]\n\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Korvana\\Projects\\Demo]\n\"Path\"=\"/p\"\n\n");
    EXPECT_FALSE(registry_.exportKey(hklm, "Software\\Other"));
}

} // namespace
} // namespace korvana
