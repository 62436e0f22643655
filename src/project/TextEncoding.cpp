#include "project/TextEncoding.h"

#include <cstdint>
#include <memory>
#include <unicode/ucnv.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>
#include <vector>

namespace korvana {

namespace {

constexpr std::string_view utf8ByteOrderMark = "\xEF\xBB\xBF";

bool isAscii(std::string_view bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

bool isValidUtf8(std::string_view bytes) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const auto length = static_cast<std::int32_t>(bytes.size());
    for (std::int32_t offset = 0; offset < length;) {
        UChar32 c = 0;
        U8_NEXT(data, offset, length, c);
        if (c < 0) {
            return false;
        }
    }
    return true;
}

struct ConverterClose {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterClose>;

// A converter that stops at a character it cannot convert instead of putting
// in a substitute: a wrong name must not be written silently.
Converter windows1252() {
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open("windows-1252", &status));
    if (U_FAILURE(status)) {
        return nullptr;
    }
    ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                          &status);
    return U_FAILURE(status) ? nullptr : std::move(converter);
}

} // namespace

TextEncoding detectEncoding(std::string_view bytes) {
    if (bytes.starts_with(utf8ByteOrderMark)) {
        return TextEncoding::Utf8;
    }
    if (isAscii(bytes) || !isValidUtf8(bytes)) {
        return TextEncoding::Windows1252;
    }
    return TextEncoding::Utf8;
}

std::optional<std::string> encodeText(std::string_view utf8, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8 || isAscii(utf8)) {
        return std::string(utf8);
    }
    if (!isValidUtf8(utf8)) {
        return std::nullopt;
    }
    const auto converter = windows1252();
    if (!converter) {
        return std::nullopt;
    }
    const icu::UnicodeString text = icu::UnicodeString::fromUTF8(utf8);
    // One byte per UTF-16 unit is enough for a single-byte code page.
    std::string result(static_cast<std::size_t>(text.length()), '\0');
    UErrorCode status = U_ZERO_ERROR;
    const std::int32_t written =
        ucnv_fromUChars(converter.get(), result.data(), static_cast<std::int32_t>(result.size()),
                        text.getBuffer(), text.length(), &status);
    if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING) {
        return std::nullopt;
    }
    result.resize(static_cast<std::size_t>(written));
    return result;
}

std::string decodeText(std::string_view bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8 || isAscii(bytes)) {
        return std::string(bytes);
    }
    const icu::UnicodeString text(bytes.data(), static_cast<std::int32_t>(bytes.size()),
                                  "windows-1252");
    std::string result;
    text.toUTF8String(result);
    return result;
}

} // namespace korvana
