#include "platform/RegistryNames.h"

#include "platform/Error.h"
#include "platform/ErrorNumbers.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace korvana {

namespace {

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// A tab may stand in a name: it keeps a line of the hive file one line, and
// regedit takes it as part of the name.
bool hasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t'; });
}

std::string quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

} // namespace

std::string foldRegistryName(std::string_view name) {
    if (isAscii(name)) {
        return toLowerAscii(name);
    }
    std::string folded;
    folded.reserve(name.size());
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(name.data());
    const auto length = static_cast<std::int32_t>(name.size());
    std::int32_t offset = 0;
    while (offset < length) {
        const std::int32_t start = offset;
        UChar32 c = 0;
        U8_NEXT(bytes, offset, length, c);
        if (c < 0) {
            folded.append(
                name.substr(static_cast<size_t>(start), static_cast<size_t>(offset - start)));
            continue;
        }
        const UChar32 lower = u_foldCase(c, U_FOLD_CASE_DEFAULT);
        char buffer[U8_MAX_LENGTH];
        std::int32_t written = 0;
        U8_APPEND_UNSAFE(reinterpret_cast<std::uint8_t*>(buffer), written, lower);
        folded.append(buffer, static_cast<size_t>(written));
    }
    return folded;
}

std::size_t foldedRegistryNameHash(std::string_view name) {
    // Short ASCII names, the most of them, are folded on the stack.
    char folded[64];
    if (name.size() <= sizeof folded && isAscii(name)) {
        std::transform(name.begin(), name.end(), folded, asciiLower);
        return std::hash<std::string_view>{}(std::string_view(folded, name.size()));
    }
    return std::hash<std::string>{}(foldRegistryName(name));
}

bool sameRegistryName(std::string_view a, std::string_view b) {
    if (isAscii(a) && isAscii(b)) {
        return equalsIgnoreCase(a, b);
    }
    return foldRegistryName(a) == foldRegistryName(b);
}

bool isValidUtf8(std::string_view text) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    std::int32_t offset = 0;
    while (offset < length) {
        // Whole files pass through here, and they are mostly ASCII: eight
        // bytes at a time while none has its high bit set.
        std::uint64_t block = 0;
        if (length - offset >= 8 &&
            (std::memcpy(&block, bytes + offset, 8), (block & 0x8080808080808080u) == 0)) {
            offset += 8;
            continue;
        }
        UChar32 c = 0;
        U8_NEXT(bytes, offset, length, c);
        if (c < 0) {
            return false;
        }
    }
    return true;
}

std::vector<std::string_view> splitKeyPath(std::string_view path) {
    std::vector<std::string_view> parts;
    if (path.empty()) {
        return parts;
    }
    size_t start = 0;
    while (true) {
        const size_t end = path.find('\\', start);
        const auto part = path.substr(start, end == std::string_view::npos ? end : end - start);
        if (part.empty()) {
            throw Error("The registry key path " + quoted(path) + " has an empty part",
                        runtimeErrors::invalidProcedureCall);
        }
        parts.push_back(part);
        if (end == std::string_view::npos) {
            return parts;
        }
        start = end + 1;
    }
}

void checkKeyDepth(std::size_t depth) {
    if (depth > maxKeyDepth) {
        throw Error("The registry key is " + std::to_string(depth) +
                        " levels deep; keys are kept at most " + std::to_string(maxKeyDepth) +
                        " levels below their hive",
                    runtimeErrors::invalidProcedureCall);
    }
}

void checkKeyName(std::string_view name) {
    if (name.empty() || name.find('\\') != std::string_view::npos) {
        throw Error("Invalid registry key name " + quoted(name),
                    runtimeErrors::invalidProcedureCall);
    }
    if (!isValidUtf8(name) || hasControlCharacter(name)) {
        throw Error("The registry key name " + quoted(name) +
                        " is not UTF-8 text without control characters",
                    5);
    }
}

void checkValueName(std::string_view name) {
    if (!isValidUtf8(name) || hasControlCharacter(name)) {
        throw Error("The registry value name " + quoted(name) +
                        " is not UTF-8 text without control characters",
                    5);
    }
}

} // namespace korvana
