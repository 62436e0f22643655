#include "project/LanguageChoice.h"

#include <gtest/gtest.h>

namespace korvana {
namespace {

LanguageRow row(const std::string& key, bool bold = false, bool checked = false) {
    return {key, key.substr(1), "name of " + key, bold, checked};
}

std::vector<std::string> keys(const std::vector<LanguageRow>& rows) {
    std::vector<std::string> result;
    for (const auto& each : rows) {
        result.push_back(each.key);
    }
    return result;
}

TEST(LanguageChoice, LanguagesOfTheProjectAreNotOfferedAgain) {
    const std::vector<LanguageRow> available{row("L1031", true), row("L1033", true), row("L1036"),
                                             row("L3082")};
    EXPECT_EQ(keys(languagesNotIn(available, {row("L1031"), row("L1033"), row("L9999")})),
              (std::vector<std::string>{"L1036", "L3082"}));
    EXPECT_EQ(languagesNotIn(available, {}), available);
}

TEST(LanguageChoice, ChosenLanguagesAreAppendedUncheckedInOrderAndNeverTwice) {
    std::vector<LanguageRow> project{row("L1031", true, true), row("L1036")};
    addLanguages(project,
                 {row("L3082", false, true), row("L1036", false, true), row("L1033", true, true)});
    const std::vector<LanguageRow> expected{row("L1031", true, true), row("L1036"), row("L3082"),
                                            row("L1033", true)};
    EXPECT_EQ(project, expected);
}

} // namespace
} // namespace korvana
