// Whatever an import reads, an export writes so that an import reads back the
// same keys and values: checked over generated regedit files that use every
// form the reader takes (odd names, every value type, wraps, comments, blanks,
// deletions, each kind of line end).

#include "platform/FileRegistry.h"
#include "platform/RegFileParser.h"
#include "platform/RegFileWriter.h"
#include "support/ScratchDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <random>

namespace korvana {
namespace {

using ::testing::IsEmpty;

constexpr int files = 60;

class RegFileGenerator {
  public:
    explicit RegFileGenerator(unsigned seed) : random_(seed) {}

    std::string file() {
        static constexpr const char* lineEnds[] = {"\r\n", "\n", "\r"};
        end_ = lineEnds[pick(3)];
        std::string out = pick(2) ? "Windows Registry Editor Version 5.00" : "REGEDIT4";
        out += end_;
        const int keys = 1 + pick(12);
        for (int k = 0; k < keys; ++k) {
            filler(out);
            const bool deletion = pick(8) == 0;
            out += std::string(pick(2) ? "" : " \t") + (deletion ? "[-" : "[") + keyPath() + "]";
            out += (pick(4) == 0 ? " ; key" : "") + end_;
            const int values = pick(6);
            for (int v = 0; v < values; ++v) {
                filler(out);
                value(out);
            }
        }
        return out;
    }

  private:
    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }

    // Comments and blank lines between the lines that matter.
    void filler(std::string& out) {
        static constexpr const char* lines[] = {"", "  \t", "; comment [x]", "\t# \"quoted\"=1"};
        if (pick(4) == 0) {
            out += lines[pick(4)] + end_;
        }
    }

    std::string name(bool forKey) {
        static const std::vector<std::string> parts{
            "a", "Z", "0", " ", "\t", "\"", "\\", "[", "]", ";", "#",  "=",   "@",
            "-", ",", ".", "(", ")",  "%",  "ä",  "€", "𝄞", "ß", "ss", "Key", "hex:"};
        std::string result;
        const int length = 1 + pick(8);
        while (static_cast<int>(result.size()) < length) {
            const auto& part =
                parts[static_cast<std::size_t>(pick(static_cast<int>(parts.size())))];
            if (!forKey || part != "\\") {
                result += part;
            }
        }
        return result;
    }

    std::string keyPath() {
        std::string path = pick(2) ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
        const int depth = 1 + pick(4);
        for (int i = 0; i < depth; ++i) {
            path += "\\" + name(true);
        }
        return path;
    }

    static std::string quoted(std::string_view text) {
        std::string out = "\"";
        for (const char c : text) {
            if (c == '\\' || c == '"') {
                out += '\\';
            }
            out += c;
        }
        return out + "\"";
    }

    std::string hexDigits(unsigned value, int width) {
        static constexpr char lower[] = "0123456789abcdef";
        static constexpr char upper[] = "0123456789ABCDEF";
        const char* digits = pick(2) ? lower : upper;
        std::string out;
        for (int shift = (width - 1) * 4; shift >= 0; shift -= 4) {
            out += digits[(value >> shift) & 0xF];
        }
        return out;
    }

    // hex bytes, wrapped now and then over lines with blanks and comments.
    std::string hexBytes(const std::vector<std::uint8_t>& bytes) {
        std::string out;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            out += hexDigits(bytes[i], 2);
            if (i + 1 < bytes.size()) {
                out += pick(6) == 0 ? " , " : ",";
                if (pick(10) == 0) {
                    out += pick(2) ? "\\" : "\\ ; more";
                    out += end_;
                    if (pick(3) == 0) {
                        out += "; inside" + end_;
                    }
                    out += pick(2) ? "  " : "\t";
                }
            }
        }
        return out;
    }

    std::vector<std::uint8_t> randomBytes(int most) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(pick(most + 1)));
        for (auto& byte : bytes) {
            byte = static_cast<std::uint8_t>(pick(256));
        }
        return bytes;
    }

    std::vector<std::uint8_t> utf16(std::string_view ascii, bool terminated) {
        std::vector<std::uint8_t> bytes;
        for (const char c : ascii) {
            bytes.push_back(static_cast<std::uint8_t>(c));
            bytes.push_back(0);
        }
        if (terminated) {
            bytes.insert(bytes.end(), {0, 0});
        }
        return bytes;
    }

    void value(std::string& out) {
        out += pick(3) == 0 ? " " : "";
        out += pick(6) == 0 ? std::string("@") : quoted(name(false));
        out += pick(4) == 0 ? " = " : "=";
        switch (pick(7)) {
        case 0:
            out += "-";
            break;
        case 1:
            out += quoted(name(false));
            break;
        case 2:
            out += (pick(2) ? "dword:" : "dword: ") +
                   hexDigits(static_cast<unsigned>(random_()), 1 + pick(8));
            break;
        case 3:
            out += "hex:" + hexBytes(randomBytes(120));
            break;
        case 4: {
            // Text with line breaks can only be written as UTF-16 bytes.
            out += "hex(1):" + hexBytes(utf16("two\r\nlines;\t\"x\"", pick(2)));
            break;
        }
        case 5: {
            static constexpr unsigned types[] = {0, 1, 2, 4, 7, 0xb, 0x100, 0xffffffff};
            const unsigned type = pick(3) ? types[pick(8)] : static_cast<unsigned>(random_());
            out += "hex(" + hexDigits(type, 1 + pick(2) * 7) + "):" + hexBytes(randomBytes(40));
            break;
        }
        default:
            out += "hex(4):" + hexBytes(randomBytes(4));
            break;
        }
        out += (pick(4) == 0 ? "\t; note" : "") + end_;
    }

    std::mt19937 random_;
    std::string end_;
};

std::string exportAll(const FileRegistry& registry) {
    std::string text(RegFileWriter::header);
    text += "\n\n";
    for (const Hive hive : {Hive::LocalMachine, Hive::CurrentUser}) {
        text += registry.exportKey(hive, "").value_or("");
    }
    return text;
}

// Every key, value name, type and datum of `key` and below, in stored order.
void expectSameTree(const FileRegistry& a, const FileRegistry& b, Hive hive,
                    const std::string& key) {
    SCOPED_TRACE(key);
    const auto values = a.values(hive, key);
    const auto others = b.values(hive, key);
    ASSERT_EQ(values.size(), others.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(values[i].name, others[i].name);
        EXPECT_EQ(values[i].value, others[i].value) << values[i].name;
    }
    const auto subKeys = a.subKeys(hive, key);
    ASSERT_EQ(subKeys, b.subKeys(hive, key));
    for (const auto& sub : subKeys) {
        expectSameTree(a, b, hive, key.empty() ? sub : key + "\\" + sub);
    }
}

TEST(RegFileRoundTrip, WhatIsImportedExportsAndImportsBackTheSame) {
    for (int seed = 1; seed <= files; ++seed) {
        const std::string file = RegFileGenerator(static_cast<unsigned>(seed)).file();
        SCOPED_TRACE("seed " + std::to_string(seed) + ":\n" + file);
        test::ScratchDir first;
        FileRegistry imported(first.path());
        ASSERT_THAT(imported.import(file, "generated.reg"), IsEmpty());
        const std::string exported = exportAll(imported);

        test::ScratchDir second;
        FileRegistry again(second.path());
        ASSERT_THAT(again.import(exported, "exported.reg"), IsEmpty());
        EXPECT_EQ(exportAll(again), exported);
        for (const Hive hive : {Hive::LocalMachine, Hive::CurrentUser}) {
            expectSameTree(imported, again, hive, "");
        }
    }
}

} // namespace
} // namespace korvana
