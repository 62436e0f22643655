// Build tool: turns the readable string table (strings.json) into C++ data
// that is compiled into korvana_text. It refuses a table with a mistake in it
// (a duplicate number, an English text without a German one, an unknown field)
// so that such a table never reaches the program.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

// The English block starts here; German numbers must stay below it.
constexpr std::int64_t englishOffset = 10000;

struct Texts {
    std::map<std::int64_t, std::string> byNumber;
};

[[noreturn]] void fail(const std::string& message) {
    throw std::runtime_error(message);
}

std::string describe(const nlohmann::json& record) {
    return record.dump();
}

std::string readText(const nlohmann::json& record, const char* field) {
    const auto& value = record.at(field);
    if (!value.is_string()) {
        fail(std::string("\"") + field + "\" is not a string in " + describe(record));
    }
    auto text = value.get<std::string>();
    if (text.empty()) {
        fail(std::string("\"") + field + "\" is empty in " + describe(record) +
             " (leave the field out instead)");
    }
    return text;
}

Texts readTable(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        fail("cannot open " + path);
    }
    const auto document = nlohmann::json::parse(in);
    if (!document.is_object() || !document.contains("texts") || !document["texts"].is_array()) {
        fail(path + ": expected an object with a \"texts\" array");
    }
    Texts texts;
    for (const auto& record : document["texts"]) {
        if (!record.is_object()) {
            fail("a text record is not an object: " + describe(record));
        }
        for (const auto& [key, unused] : record.items()) {
            if (key != "id" && key != "de" && key != "en") {
                fail("unknown field \"" + key + "\" in " + describe(record));
            }
        }
        if (!record.contains("id") || !record["id"].is_number_integer()) {
            fail("missing or non-integer \"id\" in " + describe(record));
        }
        const auto id = record["id"].get<std::int64_t>();
        if (id <= 0 || id >= englishOffset) {
            fail("\"id\" out of range 1..9999 in " + describe(record));
        }
        if (!record.contains("de")) {
            fail("every text needs its German wording (\"de\"): " + describe(record));
        }
        if (!texts.byNumber.emplace(id, readText(record, "de")).second) {
            fail("text " + std::to_string(id) + " appears twice");
        }
        if (record.contains("en")) {
            texts.byNumber.emplace(id + englishOffset, readText(record, "en"));
        }
    }
    return texts;
}

// Every byte that is not plain printable ASCII becomes a three-digit octal
// escape, so that UTF-8 and line breaks survive any compiler and editor and
// no escape can swallow the character after it.
std::string cppLiteral(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && c != '"' && c != '\\' && c != '?') {
            out += c;
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\%03o", static_cast<unsigned>(byte));
            out += escaped;
        }
    }
    out += '"';
    return out;
}

void writeSource(const Texts& texts, const std::string& path) {
    std::ostringstream out;
    out << "// Generated from strings.json by korvana_make_string_table. Do not edit.\n"
        << "#include \"text/StringTable.h\"\n\n"
        << "namespace korvana {\n"
        << "namespace {\n\n"
        << "constexpr StringTableEntry builtInEntries[] = {\n";
    for (const auto& [number, text] : texts.byNumber) {
        out << "    {" << number << ", " << cppLiteral(text) << "},\n";
    }
    out << "};\n\n"
        << "} // namespace\n\n"
        << "StringTable StringTable::builtIn() { return StringTable(builtInEntries); }\n\n"
        << "} // namespace korvana\n";

    const auto generated = out.str();
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << generated;
    if (!file.flush()) {
        fail("cannot write " + path);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: korvana_make_string_table strings.json output.cpp\n";
        return 2;
    }
    try {
        writeSource(readTable(argv[1]), argv[2]);
    } catch (const std::exception& error) {
        std::cerr << argv[1] << ": " << error.what() << '\n';
        return 1;
    }
    return 0;
}
