#include "project/SystemLanguages.h"

#include "project/LanguageName.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace korvana {
namespace {

std::optional<LanguageRow> find(const std::vector<LanguageRow>& rows, const std::string& key) {
    const auto found =
        std::ranges::find_if(rows, [&](const LanguageRow& row) { return row.key == key; });
    return found == rows.end() ? std::nullopt : std::optional(*found);
}

class SystemLanguages : public ::testing::Test {
  protected:
    const std::vector<LanguageRow> german = ListSystemLanguages(germanLanguage);
};

// The LCID must come back from the text: the list sorts by it, and the key
// and the shown number must never name two languages.
TEST_F(SystemLanguages, EachLanguageOnceInLcidOrderWithKeyTextAndName) {
    ASSERT_GT(german.size(), 150u);
    int previous = 0;
    for (const LanguageRow& row : german) {
        SCOPED_TRACE(row.key);
        ASSERT_EQ(row.text.size(), 5u);
        const int lcid = std::stoi(row.text);
        EXPECT_GT(lcid, previous);
        previous = lcid;
        EXPECT_EQ(row.key, "L" + std::to_string(lcid));
        EXPECT_EQ(row.name, languageName(Lcid{lcid}, germanLanguage));
        EXPECT_FALSE(row.name.empty());
        EXPECT_EQ(row.bold, lcid == 1031 || lcid == 1033);
        EXPECT_FALSE(row.checked);
    }
}

TEST_F(SystemLanguages, CountryLocalesAreListedAndLanguagesOrScriptsAloneAreNot) {
    struct Case {
        const char* key;
        std::optional<std::string> text; // nothing: not listed
    };
    const Case cases[] = {
        {"L1031", " 1031"},       {"L1033", " 1033"},
        {"L1036", " 1036"},       {"L3082", " 3082"}, // Spanish, international sort
        {"L1034", " 1034"},       // Spanish, traditional sort: ICU has no locale data of its own
        {"L1094", " 1094"},       // Punjabi (India), which ICU files under its script
        {"L20490", "20490"},      // five digits fill the field
        {"L7", std::nullopt},     // German alone
        {"L127", std::nullopt},   // the invariant locale
        {"L1151", std::nullopt},  // ICU's nearest locale to it is the invariant one
        {"L1024", std::nullopt},  // no language
        {"L31748", std::nullopt}, // Chinese (Traditional), a script alone
        {"L30724", std::nullopt}, // Chinese alone, as Windows numbers it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        const auto row = find(german, c.key);
        ASSERT_EQ(row.has_value(), c.text.has_value());
        if (row) {
            EXPECT_EQ(row->text, *c.text);
        }
    }
}

TEST_F(SystemLanguages, NamesAreInTheUserInterfaceLanguage) {
    const auto english = ListSystemLanguages(englishLanguage);
    ASSERT_EQ(english.size(), german.size());
    EXPECT_EQ(find(german, "L1036")->name, "Französisch (Frankreich)");
    EXPECT_EQ(find(english, "L1036")->name, "French (France)");
    EXPECT_EQ(find(english, "L1031")->name, "German (Germany)");
}

} // namespace
} // namespace korvana
