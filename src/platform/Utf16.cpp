#include "platform/Utf16.h"

#include <unicode/ustring.h>

namespace korvana {

std::optional<std::string> utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0) {
        return std::nullopt;
    }
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        units[i] = bigEndian ? static_cast<char16_t>(first << 8 | second)
                             : static_cast<char16_t>(second << 8 | first);
    }
    if (units.empty()) {
        return std::string();
    }
    UErrorCode status = U_ZERO_ERROR;
    std::int32_t needed = 0;
    u_strToUTF8(nullptr, 0, &needed, units.data(), static_cast<std::int32_t>(units.size()),
                &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) {
        return std::nullopt;
    }
    std::string result(static_cast<size_t>(needed), '\0');
    status = U_ZERO_ERROR;
    u_strToUTF8(result.data(), needed, nullptr, units.data(),
                static_cast<std::int32_t>(units.size()), &status);
    if (U_FAILURE(status)) {
        return std::nullopt;
    }
    return result;
}

std::vector<std::uint8_t> utf8ToUtf16leWithTerminator(std::string_view text) {
    std::u16string units;
    if (!text.empty()) {
        UErrorCode status = U_ZERO_ERROR;
        std::int32_t needed = 0;
        u_strFromUTF8WithSub(nullptr, 0, &needed, text.data(),
                             static_cast<std::int32_t>(text.size()), 0xFFFD, nullptr, &status);
        units.assign(static_cast<size_t>(needed), u'\0');
        status = U_ZERO_ERROR;
        u_strFromUTF8WithSub(units.data(), needed, nullptr, text.data(),
                             static_cast<std::int32_t>(text.size()), 0xFFFD, nullptr, &status);
    }
    units.push_back(u'\0');
    std::vector<std::uint8_t> bytes;
    bytes.reserve(units.size() * 2);
    for (const char16_t unit : units) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

} // namespace korvana
