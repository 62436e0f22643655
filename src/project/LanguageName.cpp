#include "project/LanguageName.h"

#include <array>
#include <unicode/uloc.h>
#include <unicode/unistr.h>

namespace korvana {

namespace {

// ICU's locale name of a Windows LCID ("de_DE"), or empty.
std::string localeOf(Lcid language) {
    if (language.value <= 0) {
        return {};
    }
    std::array<char, ULOC_FULLNAME_CAPACITY> name{};
    UErrorCode status = U_ZERO_ERROR;
    const auto length =
        uloc_getLocaleForLCID(static_cast<std::uint32_t>(language.value), name.data(),
                              static_cast<int32_t>(name.size()), &status);
    if (U_FAILURE(status) || length <= 0) {
        return {};
    }
    return std::string(name.data(), static_cast<std::size_t>(length));
}

} // namespace

std::string languageName(Lcid language, Lcid userInterfaceLanguage) {
    const std::string locale = localeOf(language);
    if (locale.empty()) {
        return {};
    }
    std::string shownIn = localeOf(userInterfaceLanguage);
    if (shownIn.empty()) {
        shownIn = "en";
    }
    std::array<UChar, 256> buffer{};
    UErrorCode status = U_ZERO_ERROR;
    const auto length = uloc_getDisplayName(locale.c_str(), shownIn.c_str(), buffer.data(),
                                            static_cast<int32_t>(buffer.size()), &status);
    if (U_FAILURE(status) || length <= 0) {
        return {};
    }
    std::string utf8;
    icu::UnicodeString(buffer.data(), length).toUTF8String(utf8);
    return utf8;
}

} // namespace korvana
