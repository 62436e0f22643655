#pragma once

#include "project/ProjectLanguages.h"

#include <vector>

namespace korvana {

// The languages to offer for adding: those of `available` whose key `existing`
// does not hold, in their order.
std::vector<LanguageRow> languagesNotIn(const std::vector<LanguageRow>& available,
                                        const std::vector<LanguageRow>& existing);

// Appends the chosen languages to a project's list in their order. A key the
// list holds already is skipped, so no language is listed twice. The added
// rows come unchecked: the check mark of a project's list marks the developer
// language, which adding languages does not change.
void addLanguages(std::vector<LanguageRow>& languages, const std::vector<LanguageRow>& chosen);

} // namespace korvana
