#pragma once

#include "project/ProjectLanguages.h"
#include "text/TextTypes.h"

#include <vector>

namespace korvana {

// A language as a language list shows it: key "L" and the LCID, the LCID
// right-aligned in five characters, its name in the user-interface language,
// bold for German and English. Unchecked.
LanguageRow languageRow(Lcid language, Lcid userInterfaceLanguage);

// Every language a project can be given, ordered by LCID: each Windows locale
// identifier of a language as spoken in a country or region. Identifiers of a
// language or a script alone ("de", "zh-Hant") and the invariant locale are
// left out, as Windows leaves them out of its supported locales.
std::vector<LanguageRow> ListSystemLanguages(Lcid userInterfaceLanguage);

} // namespace korvana
