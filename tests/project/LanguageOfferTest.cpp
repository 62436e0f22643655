#include "project/LanguageOffer.h"

#include <gtest/gtest.h>

namespace korvana {
namespace {

LanguageRow row(const std::string& key, bool bold = false, bool checked = false) {
    return {key, key.substr(1), "name of " + key, bold, checked};
}

TEST(LanguageOffer, ChosenLanguagesAreAppendedUncheckedInOrderAndNeverTwice) {
    std::vector<LanguageRow> project{row("L1031", true, true), row("L1036")};
    addLanguages(project,
                 {row("L3082", false, true), row("L1036", false, true), row("L1033", true, true)});
    const std::vector<LanguageRow> expected{row("L1031", true, true), row("L1036"), row("L3082"),
                                            row("L1033", true)};
    EXPECT_EQ(project, expected);
}

} // namespace
} // namespace korvana
