#include "project/LanguageOffer.h"

#include <algorithm>
#include <iterator>

namespace korvana {

namespace {

bool holdsKey(const std::vector<LanguageRow>& rows, const std::string& key) {
    return std::ranges::any_of(rows, [&](const LanguageRow& row) { return row.key == key; });
}

} // namespace

std::vector<LanguageRow> languagesNotIn(const std::vector<LanguageRow>& available,
                                        const std::vector<LanguageRow>& existing) {
    std::vector<LanguageRow> offered;
    std::ranges::copy_if(available, std::back_inserter(offered),
                         [&](const LanguageRow& row) { return !holdsKey(existing, row.key); });
    return offered;
}

void addLanguages(std::vector<LanguageRow>& languages, const std::vector<LanguageRow>& chosen) {
    for (LanguageRow row : chosen) {
        if (holdsKey(languages, row.key)) {
            continue;
        }
        row.checked = false;
        languages.push_back(std::move(row));
    }
}

} // namespace korvana
