#pragma once

#include "text/TextTypes.h"

#include <string>
#include <vector>

namespace korvana {

// Gives a new project's database exactly the chosen languages where the
// template's database has one column or row per language: German (1031) and
// English (1033), which every template brings, are removed when not chosen,
// and each chosen language gets its text column in "TidxTexts" (empty text,
// compressed), its font-class column in "TidxFontClasses" (class 1) and its
// row in "TcfgLanguages" (German keyboard, the default font). A table the
// template lacks is skipped, and so is any single change that fails: the
// database layer makes each one whole or not at all.
void adaptProjectLanguages(const std::string& projectFile, const std::vector<Lcid>& languages);

} // namespace korvana
