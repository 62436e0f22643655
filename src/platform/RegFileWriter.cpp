#include "platform/RegFileWriter.h"

#include "platform/RegistryKey.h"
#include "platform/Utf16.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace korvana {

namespace {

// regedit wraps hex data so that no line is much longer than 80 characters.
constexpr size_t wrapColumn = 76;

void appendQuoted(std::string& out, std::string_view text) {
    out.push_back('"');
    // Runs without a character to escape are appended whole.
    std::size_t from = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' || text[i] == '"') {
            out.append(text.substr(from, i - from));
            out.push_back('\\');
            from = i;
        }
    }
    out.append(text.substr(from));
    out.push_back('"');
}

bool fitsBetweenQuotes(std::string_view text) {
    return std::none_of(text.begin(), text.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t'; });
}

void appendHex(std::string& out, std::uint32_t type, const std::vector<std::uint8_t>& bytes,
               size_t lineStart) {
    static constexpr char digits[] = "0123456789abcdef";
    if (type == static_cast<std::uint32_t>(ValueType::Binary)) {
        out += "hex:";
    } else {
        out += "hex(";
        char buffer[9];
        int length = 0;
        std::uint32_t rest = type;
        do {
            buffer[length++] = digits[rest % 16];
            rest /= 16;
        } while (rest != 0);
        while (length > 0) {
            out.push_back(buffer[--length]);
        }
        out += "):";
    }
    // Hex data is most of a large hive, so it is written straight into its
    // place, a whole line at a time: a byte takes three columns ("xx,"), and
    // the line wraps before a byte that would pass the wrap column.
    static constexpr auto pairs = [] {
        std::array<std::array<char, 2>, 256> table{};
        for (std::size_t b = 0; b < table.size(); ++b) {
            table[b] = {digits[b >> 4], digits[b & 0xF]};
        }
        return table;
    }();
    constexpr std::size_t perLine = (wrapColumn - 2) / 3;
    constexpr std::string_view wrap = "\\\n  ";
    const std::size_t column = out.size() - lineStart;
    const std::size_t firstLine = column + 3 <= wrapColumn ? (wrapColumn - column) / 3 : 0;
    const std::size_t count = bytes.size();
    const std::size_t wraps = count > firstLine ? (count - firstLine + perLine - 1) / perLine : 0;
    const std::size_t at = out.size();
    out.resize(at + (count == 0 ? 0 : 3 * count - 1) + wraps * wrap.size());
    char* next = out.data() + at;
    std::size_t room = firstLine;
    for (std::size_t i = 0; i < count; ++i) {
        if (room == 0) {
            std::memcpy(next, wrap.data(), wrap.size());
            next += wrap.size();
            room = perLine;
        }
        std::memcpy(next, pairs[bytes[i]].data(), 2);
        next += 2;
        if (i + 1 != count) {
            *next++ = ',';
        }
        --room;
    }
}

void appendSection(std::string& out, Hive hive, std::string_view path, const RegistryKey& key) {
    out.push_back('[');
    out += hiveName(hive);
    if (!path.empty()) {
        out.push_back('\\');
        out += path;
    }
    out += "]\n";
    for (const auto& value : key.values()) {
        RegFileWriter::appendValue(out, value);
        out.push_back('\n');
    }
    out.push_back('\n');
}

// About as many characters as the hive's text takes, rather more than fewer:
// reserving them spares copying a large hive's text each time it outgrows
// its buffer, and what is reserved but not written is never touched.
std::size_t estimatedSize(const RegistryKey& root) {
    std::size_t size = 0;
    std::vector<std::pair<const RegistryKey*, std::size_t>> keys{{&root, root.name().size()}};
    while (!keys.empty()) {
        const auto [key, pathLength] = keys.back();
        keys.pop_back();
        size += pathLength + 4;
        for (const auto& value : key->values()) {
            size += 2 * value.name.size() + 16;
            if (const auto* text = std::get_if<std::string>(&value.value.data)) {
                size += text->size() + 8;
            } else if (const auto* bytes =
                           std::get_if<std::vector<std::uint8_t>>(&value.value.data)) {
                size += bytes->size() * 3 + bytes->size() / 16 + 16;
            }
        }
        for (const auto& child : key->children()) {
            keys.emplace_back(child.get(), pathLength + 1 + child->name().size());
        }
    }
    return size;
}

// appendTree, calling `afterSection` after each section (to pass on what is
// written so far).
template <typename AfterSection>
void writeTree(std::string& out, Hive hive, std::string_view path, const RegistryKey& key,
               bool includeEmptyRoot, AfterSection afterSection) {
    if (!path.empty() || includeEmptyRoot || !key.values().empty()) {
        appendSection(out, hive, path, key);
        afterSection();
    }
    // Depth first with a stack of its own and one path that grows and shrinks
    // with it: a recursion (or a path copied per level) would cost stack and
    // time with every level of a deep hive.
    struct Level {
        const RegistryKey* key;
        std::size_t nextChild;
        std::size_t pathLength;
    };
    std::string childPath(path);
    std::vector<Level> levels{{&key, 0, childPath.size()}};
    while (!levels.empty()) {
        Level& level = levels.back();
        const auto& children = level.key->children();
        if (level.nextChild == children.size()) {
            levels.pop_back();
            continue;
        }
        const RegistryKey& child = *children[level.nextChild++];
        childPath.resize(level.pathLength);
        if (!childPath.empty()) {
            childPath.push_back('\\');
        }
        childPath += child.name();
        appendSection(out, hive, childPath, child);
        afterSection();
        levels.push_back({&child, 0, childPath.size()});
    }
}

} // namespace

void RegFileWriter::appendValue(std::string& out, const NamedValue& value) {
    const size_t lineStart = out.size();
    if (value.name.empty()) {
        out.push_back('@');
    } else {
        appendQuoted(out, value.name);
    }
    out.push_back('=');
    const auto type = value.value.type;
    if (const auto* text = std::get_if<std::string>(&value.value.data)) {
        if (type == static_cast<std::uint32_t>(ValueType::String) && fitsBetweenQuotes(*text)) {
            appendQuoted(out, *text);
        } else {
            appendHex(out, type, utf8ToUtf16leWithTerminator(*text), lineStart);
        }
    } else if (const auto* number = std::get_if<std::uint32_t>(&value.value.data)) {
        if (type == static_cast<std::uint32_t>(ValueType::Dword)) {
            static constexpr char digits[] = "0123456789abcdef";
            out += "dword:";
            for (int shift = 28; shift >= 0; shift -= 4) {
                out.push_back(digits[(*number >> shift) & 0xF]);
            }
        } else {
            const std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>(*number & 0xFF),
                                                  static_cast<std::uint8_t>((*number >> 8) & 0xFF),
                                                  static_cast<std::uint8_t>((*number >> 16) & 0xFF),
                                                  static_cast<std::uint8_t>(*number >> 24)};
            appendHex(out, type, bytes, lineStart);
        }
    } else {
        appendHex(out, type, std::get<std::vector<std::uint8_t>>(value.value.data), lineStart);
    }
}

void RegFileWriter::appendTree(std::string& out, Hive hive, std::string_view path,
                               const RegistryKey& key, bool includeEmptyRoot) {
    writeTree(out, hive, path, key, includeEmptyRoot, [] {});
}

std::string RegFileWriter::hive(Hive hive, const RegistryKey& root) {
    std::string out;
    out.reserve(estimatedSize(root));
    out += header;
    out += "\n\n";
    appendTree(out, hive, {}, root, false);
    return out;
}

void RegFileWriter::hive(Hive hive, const RegistryKey& root,
                         const std::function<void(std::string_view piece)>& sink) {
    constexpr std::size_t pieceSize = 1u << 20;
    std::string out;
    out.reserve(pieceSize + pieceSize / 4);
    out += header;
    out += "\n\n";
    writeTree(out, hive, {}, root, false, [&] {
        if (out.size() >= pieceSize) {
            sink(out);
            out.clear();
        }
    });
    if (!out.empty()) {
        sink(out);
    }
}

} // namespace korvana
