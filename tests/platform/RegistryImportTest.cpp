#include "platform/Error.h"
#include "platform/FileRegistry.h"
#include "platform/RegFileParser.h"
#include "platform/RegFileWriter.h"
#include "support/ScratchDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace korvana {
namespace {

using ::testing::ElementsAre;
using ::testing::Field;

constexpr auto hklm = Hive::LocalMachine;
constexpr auto hkcu = Hive::CurrentUser;

RegFileContent readImport(std::string_view bytes) {
    RegFileParser::Options options;
    options.strict = false;
    return RegFileParser::parse(RegFileParser::decode(bytes, "in.reg"), "in.reg", options);
}

std::string exportAll(const FileRegistry& registry) {
    std::string text(RegFileWriter::header);
    text += "\n\n";
    for (const Hive hive : {hklm, hkcu}) {
        text += registry.exportKey(hive, "").value_or("");
    }
    return text;
}

class RegistryImportTest : public ::testing::Test {
  protected:
    test::ScratchDir scratch_;
    FileRegistry registry_{scratch_.path()};
};

TEST_F(RegistryImportTest, TakesWhatRegeditWritesAndKeepsWhatItDoesNotMention) {
    registry_.writeString(hklm, "Software\\Kept", "Old", "stays");
    registry_.writeString(hklm, "Software\\Doomed\\Child", "X", "goes");
    registry_.writeString(hkcu, "Software\\Prefs", "Drop", "goes");
    registry_.writeString(hkcu, "Software\\Prefs", "Keep", "stays");

    registry_.import(readImport("REGEDIT4\r\n\r\n"
                                "; exported by hand\r\n"
                                "[HKEY_LOCAL_MACHINE\\Software\\New]\r\n"
                                "\"Text\"=\"C:\\\\x \\\"y\\\"\"\r\n"
                                "@=\"default\"\r\n"
                                "\"Num\"=dword:0000001F\r\n"
                                "\"Bin\"=hex:01,02,\\\r\n"
                                "    03,04\r\n"
                                "\"Expand\"=hex(2):25,00,50,00,25,00,00,00\r\n"
                                "\"Multi\"=hex(7):61,00,00,00,00,00\r\n"
                                "\"Q\"=hex(b):01,00,00,00,00,00,00,00\r\n"
                                "\"Line\"=hex(1):61,00,0d,00,0a,00,62,00,00,00\r\n"
                                "[-HKEY_LOCAL_MACHINE\\Software\\DOOMED]\r\n"
                                "[HKEY_CURRENT_USER\\Software\\Prefs]\r\n"
                                "\"drop\"=-\r\n"));

    EXPECT_EQ(registry_.readString(hklm, "Software\\Kept", "Old"), "stays");
    EXPECT_FALSE(registry_.keyExists(hklm, "Software\\Doomed"));
    EXPECT_EQ(registry_.readString(hklm, "Software\\New", "Text"), "C:\\x \"y\"");
    EXPECT_EQ(registry_.readString(hklm, "Software\\New", ""), "default");
    EXPECT_EQ(registry_.readNumber(hklm, "Software\\New", "Num", 0), 31);
    EXPECT_EQ(registry_.value(hklm, "Software\\New", "Bin"), RegistryValue::binary({1, 2, 3, 4}));
    EXPECT_EQ(registry_.value(hklm, "Software\\New", "Expand")->type, 2u);
    EXPECT_EQ(registry_.value(hklm, "Software\\New", "Multi")->type, 7u);
    EXPECT_EQ(registry_.value(hklm, "Software\\New", "Q")->type, 11u);
    EXPECT_EQ(registry_.readString(hklm, "Software\\New", "Line"), "a\r\nb");
    EXPECT_THAT(registry_.values(hkcu, "Software\\Prefs"),
                ElementsAre(Field(&NamedValue::name, "Keep")));
}

TEST_F(RegistryImportTest, ReadsUtf16AndTheWindowsCodePage) {
    const std::u16string text = u"\uFEFFWindows Registry Editor Version 5.00\r\n\r\n"
                                u"[HKEY_CURRENT_USER\\Software\\Grüße]\r\n\"Wert\"=\"Größe €\"\r\n";
    std::string bytes;
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    registry_.import(readImport(bytes));
    registry_.import(readImport("REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\Ansi]\r\n"
                                "\"Wert\"=\"Gr\xF6\xDF\x65 \x80\"\r\n"));

    EXPECT_EQ(registry_.readString(hkcu, "Software\\grüße", "Wert"), "Größe €");
    EXPECT_EQ(registry_.readString(hkcu, "Software\\Ansi", "Wert"), "Größe €");
}

TEST_F(RegistryImportTest, ReportsUnreadableLinesByNumberAndImportsTheRest) {
    const auto content = readImport("Windows Registry Editor Version 5.00\n"
                                    "\"Orphan\"=\"before any key\"\n" // 2
                                    "[HKEY_LOCAL_MACHINE\\A]\n"
                                    "\"Good1\"=\"1\"\n"
                                    "\"Bad\"=dword:xyz\n"     // 5
                                    "nonsense\n"              // 6
                                    "\"Path\"=\"C:\\temp\"\n" // 7
                                    "\"Wrapped\"=hex:01,\\\n"
                                    "  02\n"
                                    "[HKEY_CLASSES_ROOT\\.kvs]\n"    // 10
                                    "@=\"skipped with its key\"\n"   // 11
                                    "[HKEY_LOCAL_MACHINE\\A\\\\B]\n" // 12
                                    "[-HKEY_LOCAL_MACHINE]\n"        // 13
                                    "[HKEY_LOCAL_MACHINE\\A]\n"
                                    "\"Good2\"=\"2\"\n");
    std::vector<std::size_t> lines;
    for (const auto& problem : content.problems) {
        lines.push_back(problem.line);
        EXPECT_FALSE(problem.message.empty());
    }
    EXPECT_THAT(lines, ElementsAre(2, 5, 6, 7, 10, 11, 12, 13));

    registry_.import(content);
    EXPECT_THAT(registry_.values(hklm, "A"),
                ElementsAre(Field(&NamedValue::name, "Good1"), Field(&NamedValue::name, "Wrapped"),
                            Field(&NamedValue::name, "Good2")));
}

// Key lines that follow each other under one parent share its lookup; a
// deleted parent must be made again for the keys after it, and the parent
// named in another case is still the same key.
TEST_F(RegistryImportTest, KeysBesideEachOtherLandUnderTheRightParent) {
    const auto problems = registry_.import("Windows Registry Editor Version 5.00\n"
                                           "[HKEY_CURRENT_USER\\P\\A]\n\"v\"=\"1\"\n"
                                           "[HKEY_CURRENT_USER\\P\\B]\n\"v\"=\"2\"\n"
                                           "[-HKEY_CURRENT_USER\\P]\n"
                                           "[HKEY_CURRENT_USER\\P\\C]\n\"v\"=\"3\"\n"
                                           "[HKEY_CURRENT_USER\\p\\D]\n\"v\"=\"4\"\n"
                                           "[HKEY_CURRENT_USER\\Q\\C]\n\"v\"=\"5\"\n"
                                           "[HKEY_CURRENT_USER\\P\\E]\n\"v\"=\"6\"\n",
                                           "in.reg");
    EXPECT_TRUE(problems.empty());
    EXPECT_THAT(registry_.subKeys(hkcu, ""), ElementsAre("P", "Q"));
    EXPECT_THAT(registry_.subKeys(hkcu, "P"), ElementsAre("C", "D", "E"));
    EXPECT_EQ(registry_.readString(hkcu, "P\\E", "v"), "6");
    EXPECT_EQ(registry_.readString(hkcu, "Q\\C", "v"), "5");
}

// A file made to cost memory or time: a line of megabytes, a wrap that goes
// on to the end of the file, and more bad lines than any report should hold.
TEST_F(RegistryImportTest, HugeLinesAndEndlessWrapsCostNoMoreThanTheirSize) {
    const std::string longLine = "\"V\"=dword:" + std::string(4u << 20, '7') + "\n";
    auto content = readImport("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n" + longLine);
    ASSERT_EQ(content.problems.size(), 1u);
    EXPECT_LT(content.problems[0].message.size(), 300u);

    std::string wrap = "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"W\"=hex:\\\n";
    for (int i = 0; i < 100000; ++i) {
        wrap += "  01,02,03,04,\\\n";
    }
    content = readImport(wrap);
    ASSERT_EQ(content.entries.size(), 2u);
    EXPECT_EQ(std::get<std::vector<std::uint8_t>>(content.entries[1].value.data).size(), 400000u);
    EXPECT_THAT(content.problems, ElementsAre(Field(&RegFileProblem::line, 3u)));

    std::string bad = "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n";
    for (int i = 0; i < 25000; ++i) {
        bad += "x\n";
    }
    content = readImport(bad + "\"Good\"=\"1\"\n");
    ASSERT_EQ(content.problems.size(), 10001u);
    EXPECT_EQ(content.problems.back().line, 10003u);
    EXPECT_THAT(content.problems.back().message, ::testing::HasSubstr("15000 more lines"));
    EXPECT_EQ(content.entries.size(), 2u);
}

TEST_F(RegistryImportTest, RefusesAFileThatIsNotARegistryFile) {
    registry_.writeString(hklm, "A", "V", "x");
    for (const std::string_view bytes :
         {std::string_view(""), std::string_view("[HKEY_LOCAL_MACHINE\\A]\n"),
          std::string_view("\xFF\xFE\x00\xD8", 4)}) {
        EXPECT_THROW(readImport(bytes), Error);
    }
    EXPECT_EQ(registry_.readString(hklm, "A", "V"), "x");
}

TEST_F(RegistryImportTest, ExportThenImportGivesIdenticalContent) {
    registry_.writeString(hklm, "Software\\ARVENTIK GmbH\\Korvana\\4.0", "Path", "C:\\Korvana\\");
    registry_.writeNumber(hklm, "Software\\ARVENTIK GmbH\\Korvana\\4.0", "LCID", 1033);
    registry_.writeString(hklm, "Software\\ARVENTIK GmbH\\Korvana\\4.0\\Projects\\Demo", "",
                          "multi\r\nline \"quoted\"");
    registry_.writeBinary(hkcu, "Software\\VB and VBA Program Settings\\Layout", "Dock",
                          std::vector<std::uint8_t>(200, 0x7F));
    RegistryValue expand;
    expand.type = 2;
    expand.data = std::vector<std::uint8_t>{'%', 0, 0, 0};
    registry_.setValue(hkcu, "Software\\Empty\\Leaf", "E", expand);
    registry_.writeString(hkcu, "Software\\Empty\\Key Without Values\\Leaf", "V", "");
    registry_.deleteValue(hkcu, "Software\\Empty\\Key Without Values\\Leaf", "V");

    const std::string exported = exportAll(registry_);
    test::ScratchDir elsewhere;
    FileRegistry copy(elsewhere.path());
    copy.import(readImport(exported));

    EXPECT_EQ(exportAll(copy), exported);
    for (const Hive hive : {hklm, hkcu}) {
        EXPECT_EQ(test::readFile(copy.hiveFile(hive)), test::readFile(registry_.hiveFile(hive)));
    }
}

} // namespace
} // namespace korvana
