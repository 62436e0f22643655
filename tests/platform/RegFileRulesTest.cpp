// One test per row of the reading rules in RegFileParser.h: what an import of
// a regedit file leaves in the registry, and which lines it names as skipped.

#include "platform/Error.h"
#include "platform/FileRegistry.h"
#include "platform/RegFileParser.h"
#include "platform/RegistryNames.h"
#include "support/ScratchDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace korvana {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

constexpr auto hkcu = Hive::CurrentUser;
constexpr std::string_view header = "Windows Registry Editor Version 5.00\n\n";

RegistryValue text(std::string value) {
    return RegistryValue::string(std::move(value));
}
RegistryValue number(std::uint32_t value) {
    return RegistryValue::dword(value);
}
RegistryValue typed(std::uint32_t type, std::vector<std::uint8_t> bytes) {
    RegistryValue value;
    value.type = type;
    value.data = std::move(bytes);
    return value;
}

class RegFileRules : public ::testing::Test {
  protected:
    // Imports the file's bytes; the numbers of the lines reported as skipped.
    std::vector<std::size_t> import(std::string bytes) {
        std::vector<std::size_t> lines;
        for (const auto& problem :
             registry_.import(RegFileParser::decodeOwned(std::move(bytes), "in.reg"), "in.reg")) {
            lines.push_back(problem.line);
        }
        return lines;
    }

    // A value under HKCU\T, as a case expects it after its import.
    struct Case {
        const char* label;
        std::string body; // from line 4, after the header, a blank line and [HKCU\T]
        std::string name;
        std::optional<RegistryValue> stored; // nothing: the value is not there
        std::vector<std::size_t> skipped = {};
    };

    void expectImports(const std::vector<Case>& cases) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.label);
            test::ScratchDir scratch;
            FileRegistry registry(scratch.path());
            std::vector<std::size_t> lines;
            for (const auto& problem : registry.import(
                     std::string(header) + "[HKEY_CURRENT_USER\\T]\n" + c.body, "in.reg")) {
                lines.push_back(problem.line);
            }
            EXPECT_EQ(registry.value(hkcu, "T", c.name), c.stored);
            EXPECT_THAT(lines, ElementsAreArray(c.skipped));
        }
    }

    test::ScratchDir scratch_;
    FileRegistry registry_{scratch_.path()};
};

TEST_F(RegFileRules, Header) {
    for (const std::string_view start :
         {"REGEDIT4\n", "Windows Registry Editor Version 5.00\n", "\n \t\n  REGEDIT4\n",
          "Windows Registry Editor Version 5.00 ; exported by hand\n", "REGEDIT4\t \n"}) {
        SCOPED_TRACE(start);
        EXPECT_THAT(import(std::string(start) + "[HKEY_CURRENT_USER\\T]\n\"V\"=\"x\"\n"),
                    IsEmpty());
        EXPECT_EQ(registry_.readString(hkcu, "T", "V"), "x");
        registry_.deleteKey(hkcu, "T");
    }
    const auto before = test::readFile(registry_.hiveFile(hkcu));
    for (const std::string_view start :
         {"", "REGEDIT\n", "regedit4\n", "Windows Registry Editor Version 4.00\n",
          "; exported\nREGEDIT4\n", "[HKEY_CURRENT_USER\\T]\n"}) {
        SCOPED_TRACE(start);
        EXPECT_THROW(import(std::string(start) + "[HKEY_CURRENT_USER\\T]\n\"V\"=\"x\"\n"), Error);
    }
    EXPECT_FALSE(registry_.keyExists(hkcu, "T"));
    EXPECT_EQ(test::readFile(registry_.hiveFile(hkcu)), before);
}

std::string utf16le(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

TEST_F(RegFileRules, Encoding) {
    EXPECT_THAT(import("\xEF\xBB\xBFWindows Registry Editor Version 5.00\n"
                       "[HKEY_CURRENT_USER\\T]\n\"Mark\"=\"Grüße\"\n"),
                IsEmpty());
    EXPECT_THAT(import(utf16le(u"Windows Registry Editor Version 5.00\r\n\r\n"
                               u"[HKEY_CURRENT_USER\\T\\Größe]\r\n\"Wide\"=\"€ 5\"\r\n")),
                IsEmpty());
    EXPECT_THAT(import(utf16le(u"REGEDIT4\n[HKEY_CURRENT_USER\\T]\n\"WideLf\"=\"\u00e4\"\n")),
                IsEmpty());
    // Without a mark and not UTF-8: the Windows code page, as regedit reads it.
    EXPECT_THAT(import("REGEDIT4\r\n[HKEY_CURRENT_USER\\T]\r\n\"Old\"=\"Gr\xF6\xDF\x65 \x80\"\r\n"),
                IsEmpty());
    EXPECT_THAT(import("Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\T]\r\n"
                       "\"Ansi\"=\"\xE4\"\r\n"),
                IsEmpty());

    EXPECT_EQ(registry_.readString(hkcu, "T", "Mark"), "Grüße");
    EXPECT_EQ(registry_.readString(hkcu, "T\\grÖße", "Wide"), "€ 5");
    EXPECT_EQ(registry_.readString(hkcu, "T", "WideLf"), "ä");
    EXPECT_EQ(registry_.readString(hkcu, "T", "Old"), "Größe €");
    EXPECT_EQ(registry_.readString(hkcu, "T", "Ansi"), "ä");
    EXPECT_THROW(import(utf16le(u"REGEDIT4\n").append("\x00", 1)), Error);
}

TEST_F(RegFileRules, LineEnds) {
    for (const std::string_view end : {"\r\n", "\n", "\r"}) {
        SCOPED_TRACE(::testing::PrintToString(std::string(end)));
        const std::string e(end);
        const auto skipped =
            import("REGEDIT4" + e + e + "[HKEY_CURRENT_USER\\T]" + e + "\"Bin\"=hex:01,\\" + e +
                   "  02" + e + "nonsense" + e + "\"Last\"=\"x\"" + e);
        EXPECT_THAT(skipped, ElementsAre(6));
        EXPECT_EQ(registry_.value(hkcu, "T", "Bin"), RegistryValue::binary({1, 2}));
        EXPECT_EQ(registry_.readString(hkcu, "T", "Last"), "x");
        registry_.deleteKey(hkcu, "T");
    }
    EXPECT_THAT(
        import("REGEDIT4\r[HKEY_CURRENT_USER\\T]\n\"A\"=\"1\"\r\n\"B\"=\"2\"\r\r\"C\"=\"3\""),
        IsEmpty());
    EXPECT_EQ(registry_.values(hkcu, "T").size(), 3u);
}

TEST_F(RegFileRules, Comments) {
    expectImports({
        {"comment lines", "; one\n  # two\n\t;three\n\"V\"=\"x\"\n", "V", text("x")},
        {"after a string", "\"V\"=\"x\" ;note\n", "V", text("x")},
        {"right after the quote", "\"V\"=\"x\";note\n", "V", text("x")},
        {"hash after a string", "\"V\"=\"x\"\t# note\n", "V", text("x")},
        {"marks within quotes are text", "\"V;#\"=\"a;b # c\"\n", "V;#", text("a;b # c")},
        {"after a dword", "\"V\"=dword:00001234 ; note\n", "V", number(0x1234)},
        {"right after a dword", "\"V\"=dword:1234;note\n", "V", number(0x1234)},
        {"after hex", "\"V\"=hex:01,02 ;note\n", "V", RegistryValue::binary({1, 2})},
        {"after a deletion", "\"V\"=\"x\"\n\"V\"=- ; gone\n", "V", std::nullopt},
        {"after a key", "[HKEY_CURRENT_USER\\T] ; the key\n\"V\"=\"x\"\n", "V", text("x")},
    });
}

TEST_F(RegFileRules, Whitespace) {
    expectImports({
        {"before a value", " \t \"V\"=\"x\"\n", "V", text("x")},
        {"around the equals sign", "\"V\" \t=  \"x\"\n", "V", text("x")},
        {"default value", "@ = \"d\"\n", "", text("d")},
        {"after dword:", "\"V\"=dword:\t 0000000a\n", "V", number(10)},
        {"after hex:", "\"V\"=hex: 01 , 02,03 \n", "V", RegistryValue::binary({1, 2, 3})},
        {"after hex(N):", "\"V\"=hex(2):  41,00,00,00\n", "V", typed(2, {0x41, 0, 0, 0})},
        {"after the data", "\"V\"=\"x\" \t \n", "V", text("x")},
        {"inside a quoted name", "\" V\tW \"=\"x\"\n", " V\tW ", text("x")},
        {"inside quoted text", "\"V\"=\" a\tb \"\n", "V", text(" a\tb ")},
    });
    EXPECT_THAT(import(std::string(header) + "  \t[HKEY_CURRENT_USER\\T\\Tab\t]\n\"V\"=\"1\"\n" +
                       "[HKEY_CURRENT_USER\\T\\Blank ]\n\"V\"=\"2\"\n"),
                IsEmpty());
    EXPECT_THAT(registry_.subKeys(hkcu, "T"), ElementsAre("Tab\t", "Blank "));
    EXPECT_EQ(registry_.readString(hkcu, "T\\Tab\t", "V"), "1");
    EXPECT_FALSE(registry_.keyExists(hkcu, "T\\Tab"));
}

TEST_F(RegFileRules, KeyLines) {
    const auto skipped =
        import(std::string(header) + "[HKEY_CURRENT_USER\\T\\Trailing\\]\n" // 3
                                     "\"V\"=\"1\"\n"                        // 4
                                     "[Software\\NoHive]\n"                 // 5: skipped
                                     "\"V\"=\"2\"\n"                        // 6: with its key
                                     "[HKEY_CLASSES_ROOT\\.kvs]\n"          // 7: not kept here
                                     "@=\"3\"\n"                            // 8
                                     "[HKEY_CURRENT_USER\\T\\\\Empty]\n"    // 9: an empty part
                                     "[HKEY_CURRENT_USER\\T\\Open\n"        // 10: no bracket
                                     "[HKEY_CURRENT_USER\\T\\After] junk\n" // 11
                                     "[HKEY_CURRENT_USER\\T\\In]side]\n"    // 12
                                     "\"V\"=\"4\"\n"                        // 13
                                     "[HKEY_CURRENT_USER]\n"                // 14: the hive
                                     "\"Root\"=\"5\"\n");                   // 15
    EXPECT_THAT(skipped, ElementsAre(5, 6, 7, 8, 9, 10, 11));
    EXPECT_EQ(registry_.readString(hkcu, "T\\Trailing", "V"), "1");
    EXPECT_THAT(registry_.subKeys(hkcu, "T"), ElementsAre("Trailing", "In]side"));
    EXPECT_EQ(registry_.readString(hkcu, "T\\In]side", "V"), "4");
    EXPECT_EQ(registry_.readString(hkcu, "", "Root"), "5");
    EXPECT_FALSE(registry_.keyExists(hkcu, "Software"));
}

TEST_F(RegFileRules, KeyDeletion) {
    registry_.writeString(hkcu, "T\\Old\\Child", "V", "x");
    registry_.writeString(hkcu, "T\\Kept", "V", "x");
    const auto skipped =
        import(std::string(header) + "[-HKEY_CURRENT_USER\\T\\OLD]\n"
                                     "\"Orphan\"=\"no key to go to\"\n"
                                     "[-HKEY_CURRENT_USER\\T\\Missing]\n"
                                     "[-HKEY_CURRENT_USER]\n" // 6: not a whole hive
                                     "[-HKEY_CURRENT_USER\\T\\Again]\n"
                                     "[HKEY_CURRENT_USER\\T\\Again]\n"
                                     "\"V\"=\"new\"\n");
    EXPECT_THAT(skipped, ElementsAre(6));
    EXPECT_THAT(registry_.subKeys(hkcu, "T"), ElementsAre("Kept", "Again"));
    EXPECT_EQ(registry_.readString(hkcu, "T\\Again", "V"), "new");
}

TEST_F(RegFileRules, ValueDeletion) {
    for (const std::string_view line :
         {"\"V\"=-\n", "\"v\" = - \n", "\"V\"=-;note\n", "\"V\"\t=\t-\t; note\n"}) {
        SCOPED_TRACE(line);
        registry_.writeString(hkcu, "T", "V", "x");
        EXPECT_THAT(import(std::string(header) + "[HKEY_CURRENT_USER\\T]\n" + std::string(line)),
                    IsEmpty());
        EXPECT_FALSE(registry_.value(hkcu, "T", "V"));
    }
    registry_.writeString(hkcu, "T", "", "default");
    registry_.writeString(hkcu, "T", "W", "kept");
    EXPECT_THAT(import(std::string(header) + "[HKEY_CURRENT_USER\\T]\n@=-\n\"W\"=-x\n"),
                ElementsAre(5));
    EXPECT_FALSE(registry_.value(hkcu, "T", ""));
    EXPECT_EQ(registry_.readString(hkcu, "T", "W"), "kept");
}

TEST_F(RegFileRules, Strings) {
    expectImports({
        {"escapes", "\"V\"=\"C:\\\\x \\\"y\\\"\"\n", "V", text("C:\\x \"y\"")},
        {"empty", "\"V\"=\"\"\n", "V", text("")},
        {"equals sign and brackets", "\"V=[x]\"=\"a=b\"\n", "V=[x]", text("a=b")},
        {"a single backslash is refused, not dropped",
         "\"V\"=\"C:\\temp\"\n",
         "V",
         std::nullopt,
         {4}},
        {"text after the closing quote", "\"V\"=\"x\" y\n", "V", std::nullopt, {4}},
        {"text does not wrap", "\"V\"=\"abc\\\ndef\"\n\"W\"=\"x\"\n", "V", std::nullopt, {4, 5}},
        {"the line after an open quote is read on its own",
         "\"V\"=\"abc\n\"W\"=\"x\"\n",
         "W",
         text("x"),
         {4}},
        {"a name does not wrap", "\"Na\nme\"=\"x\"\n", "Name", std::nullopt, {4, 5}},
        {"a name with a control character", "\"N\x01\"=\"x\"\n", "N\x01", std::nullopt, {4}},
    });
}

TEST_F(RegFileRules, Dwords) {
    expectImports({
        {"fewer digits", "\"V\"=dword:1\n", "V", number(1)},
        {"largest", "\"V\"=dword:ffffffff\n", "V", number(0xffffffff)},
        {"upper case", "\"V\"=DWORD:0000000A\n", "V", number(10)},
        {"nine digits", "\"V\"=dword:000000001\n", "V", std::nullopt, {4}},
        {"no digits", "\"V\"=dword:\n", "V", std::nullopt, {4}},
        {"not hex", "\"V\"=dword:0000000g\n", "V", std::nullopt, {4}},
        {"a dword does not wrap", "\"V\"=dword:0000\\\n0001\n", "V", std::nullopt, {4, 5}},
    });
}

TEST_F(RegFileRules, HexTypes) {
    expectImports({
        {"binary", "\"V\"=hex:00,ff,7F\n", "V", RegistryValue::binary({0, 0xff, 0x7f})},
        {"empty binary", "\"V\"=hex:\n", "V", RegistryValue::binary({})},
        {"one-digit bytes", "\"V\"=hex:1,a\n", "V", RegistryValue::binary({1, 10})},
        {"comma after the last byte", "\"V\"=hex:01,02,\n", "V", RegistryValue::binary({1, 2})},
        {"none", "\"V\"=hex(0):05\n", "V", typed(0, {5})},
        {"text", "\"V\"=hex(1):61,00,0a,00,62,00,00,00\n", "V", text("a\nb")},
        {"text that is not UTF-16", "\"V\"=hex(1):00,d8,00,00\n", "V", typed(1, {0, 0xd8, 0, 0})},
        {"expandable", "\"V\"=hex(2):25,00,00,00\n", "V", typed(2, {0x25, 0, 0, 0})},
        {"dword as bytes", "\"V\"=hex(4):34,12,00,00\n", "V", number(0x1234)},
        {"dword of other length", "\"V\"=hex(4):34,12\n", "V", typed(4, {0x34, 0x12})},
        {"multi-text", "\"V\"=hex(7):61,00,00,00,00,00\n", "V", typed(7, {0x61, 0, 0, 0, 0, 0})},
        {"qword", "\"V\"=hex(b):01,00,00,00,00,00,00,00\n", "V",
         typed(11, {1, 0, 0, 0, 0, 0, 0, 0})},
        {"unknown type", "\"V\"=hex(100):09\n", "V", typed(0x100, {9})},
        {"largest type", "\"V\"=HEX(FFFFFFFF):09\n", "V", typed(0xffffffff, {9})},
        {"type too large", "\"V\"=hex(100000000):09\n", "V", std::nullopt, {4}},
        {"type not hex", "\"V\"=hex(z):09\n", "V", std::nullopt, {4}},
        {"no colon", "\"V\"=hex 09\n", "V", std::nullopt, {4}},
        {"empty byte", "\"V\"=hex:01,,02\n", "V", std::nullopt, {4}},
        {"three digits", "\"V\"=hex:001\n", "V", std::nullopt, {4}},
        {"bytes without commas", "\"V\"=hex:01 02\n", "V", std::nullopt, {4}},
    });
}

TEST_F(RegFileRules, Regedit4Text) {
    EXPECT_THAT(import("REGEDIT4\n\n[HKEY_CURRENT_USER\\T]\n"
                       "\"Expand\"=hex(2):25,54,25,00\n"
                       "\"Multi\"=hex(7):61,00,e4,80,00,00\n"
                       "\"Text\"=hex(1):47,72,fc,df,65,00\n"
                       "\"Binary\"=hex:e4,00\n"
                       "\"Empty\"=hex(2):\n"
                       "\"Wide\"=hex(1):61,00,0d,00,0a,00,00,00\n"),
                IsEmpty());
    EXPECT_EQ(registry_.value(hkcu, "T", "Expand"), typed(2, {'%', 0, 'T', 0, '%', 0, 0, 0}));
    EXPECT_EQ(registry_.value(hkcu, "T", "Multi"),
              typed(7, {'a', 0, 0, 0, 0xe4, 0, 0xac, 0x20, 0, 0, 0, 0}));
    EXPECT_EQ(registry_.readString(hkcu, "T", "Text"), "Grüße");
    EXPECT_EQ(registry_.value(hkcu, "T", "Binary"), RegistryValue::binary({0xe4, 0}));
    EXPECT_EQ(registry_.value(hkcu, "T", "Empty"), typed(2, {}));
    EXPECT_EQ(registry_.readString(hkcu, "T", "Wide"), "a\r\n");
}

TEST_F(RegFileRules, WrappedHex) {
    expectImports({
        {"continued lines", "\"V\"=hex:01,02,\\\n  03,\\\n\t04\n\"W\"=\"x\"\n", "V",
         RegistryValue::binary({1, 2, 3, 4})},
        {"blank, blank-only and comment lines within", "\"V\"=hex:01,\\\n\n  \t\n; c\n #c\n02\n",
         "V", RegistryValue::binary({1, 2})},
        {"comments on the wrapped lines", "\"V\"=hex:01,\\ ; first\n  02 ; last\n", "V",
         RegistryValue::binary({1, 2})},
        {"typed", "\"V\"=hex(7):61,00,00,\\\n  00,00,00\n", "V", typed(7, {0x61, 0, 0, 0, 0, 0})},
        {"a value line ends the wrap and is read",
         "\"V\"=hex:01,\\\n\"W\"=\"x\"\n",
         "W",
         text("x"),
         {4}},
        {"the broken value is not imported",
         "\"V\"=hex:01,\\\n\"W\"=\"x\"\n",
         "V",
         std::nullopt,
         {4}},
        {"a line that is not hex",
         "\"V\"=hex:01,\\\n  02,zz\n\"W\"=\"x\"\n",
         "V",
         std::nullopt,
         {4, 5}},
        {"end of file after the backslash",
         "\"W\"=\"x\"\n\"V\"=hex:01,02,\\\n",
         "V",
         RegistryValue::binary({1, 2}),
         {5}},
        {"end of file after comments",
         "\"V\"=hex:01,\\\n; nothing more\n\n",
         "V",
         RegistryValue::binary({1}),
         {4}},
    });
    // A key line ends a wrap too; the values after it go to that key.
    EXPECT_THAT(import(std::string(header) + "[HKEY_CURRENT_USER\\T]\n\"V\"=hex:01,\\\n" +
                       "[HKEY_CURRENT_USER\\T\\Next]\n\"W\"=\"x\"\n"),
                ElementsAre(4));
    EXPECT_EQ(registry_.readString(hkcu, "T\\Next", "W"), "x");
    EXPECT_FALSE(registry_.value(hkcu, "T", "V"));
}

} // namespace
} // namespace korvana
