#include "project/SystemLanguages.h"

#include "project/KVProject.h"
#include "project/LanguageName.h"
#include "text/PadLeft.h"

#include <array>
#include <cstdint>
#include <unicode/uloc.h>

namespace korvana {

namespace {

// An LCID keeps the primary language in bits 0-9 and the sublanguage (the
// country or script) in bits 10-15; sublanguage 0 is the language alone.
// Higher bits choose another sort order, which no project language has.
constexpr std::uint32_t firstSpecificLcid = 1u << 10;
constexpr std::uint32_t lcidLimit = 1u << 16;

// ICU holds the Windows table of locale identifiers but offers no way to walk
// it, so every identifier is asked for. ICU answers an identifier it does not
// know exactly with the nearest locale, so only one that comes back from its
// locale is a locale of its own.
bool isCountryLocale(std::uint32_t lcid) {
    std::array<char, ULOC_FULLNAME_CAPACITY> locale{};
    UErrorCode status = U_ZERO_ERROR;
    const auto length =
        uloc_getLocaleForLCID(lcid, locale.data(), static_cast<int32_t>(locale.size()), &status);
    if (U_FAILURE(status) || length <= 0 || length >= static_cast<int32_t>(locale.size()) ||
        uloc_getLCID(locale.data()) != lcid) {
        return false;
    }
    std::array<char, ULOC_COUNTRY_CAPACITY> country{};
    status = U_ZERO_ERROR;
    const auto countryLength = uloc_getCountry(locale.data(), country.data(),
                                               static_cast<int32_t>(country.size()), &status);
    return U_SUCCESS(status) && countryLength > 0;
}

} // namespace

LanguageRow languageRow(Lcid language, Lcid userInterfaceLanguage) {
    const bool own = language == germanLanguage || language == englishLanguage;
    return {languageKey(language), PadLeft(language.value, 5),
            languageName(language, userInterfaceLanguage), own, false};
}

std::vector<LanguageRow> ListSystemLanguages(Lcid userInterfaceLanguage) {
    std::vector<LanguageRow> rows;
    for (std::uint32_t lcid = firstSpecificLcid; lcid < lcidLimit; ++lcid) {
        if (isCountryLocale(lcid)) {
            rows.push_back(
                languageRow(Lcid{static_cast<std::int32_t>(lcid)}, userInterfaceLanguage));
        }
    }
    return rows;
}

} // namespace korvana
