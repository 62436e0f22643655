#include "text/FilterKey.h"

#include "text/PadLeft.h"

#include <gtest/gtest.h>
#include <string>

namespace korvana {
namespace {

// Each key of `keys` typed at `caret` into a box holding `text`.
struct KeyCase {
    const char* mask;
    const char* text;
    std::size_t caret;
    std::u16string_view keys;
    bool allowed;
};

void expectKeys(const KeyCase& c) {
    for (const char16_t key : c.keys) {
        const auto code = static_cast<KeyCode>(key);
        EXPECT_EQ(FilterKey(code, c.text, c.caret, c.mask), c.allowed ? code : KeyCode{0})
            << "mask \"" << c.mask << "\" text \"" << c.text << "\" caret " << c.caret << " key "
            << code;
    }
}

TEST(FilterKey, MasksAllowExactlyTheirCharacters) {
    const KeyCase cases[] = {
        // File-name characters (the project name box); capitals and umlauts pass.
        {"d", "", 0, u":\\/*?\"<>| ", false},
        {"d", "Plant", 5, u"PZz-_.ä€", true},
        // Path characters (the project folder box): backslash and one colon.
        {"p", "C", 1, u":\\", true},
        {"p", "C:", 2, u":", false},
        {"p", "C:\\x", 1, u":", false},
        {"p", "", 0, u" /*?<>|\"", false},
        {"p", "", 0, u"ä.", true},
        // Number masks.
        {"9", "", 0, u"0123456789", true},
        {"9", "", 0, u"a-+.", false},
        {"h", "", 0, u"09afAF", true},
        {"h", "", 0, u"gG-", false},
        {"&", "", 0, u"+-5", true},
        {"&", "", 0, u".e", false},
        {"#", "", 0, u"+-5.eE", true},
        {"#", "", 0, u",x", false},
        // Identifier masks: ASCII letters only, any case.
        {"a", "", 0, u"_aZ9", true},
        {"a", "", 0, u"-*. é", false},
        {"b", "", 0, u"*_", true},
        {"b", "", 0, u".", false},
        {"c", "", 0, u"._", true},
        {"c", "", 0, u"*", false},
        // Anything but quotes and hashes; "*" no blank either.
        {"?", "", 0, u" xä", true},
        {"?", "", 0, u"\"#", false},
        {"*", "", 0, u"xä", true},
        {"*", "", 0, u" \"#", false},
        // Mask letters are matched without regard to case.
        {"D", "", 0, u":", false},
        {"D", "", 0, u"x", true},
        // A mask character without a meaning refuses everything.
        {"x", "", 0, u"x ", false},
        {"", "", 0, u"x", false},
    };
    for (const auto& c : cases) {
        expectKeys(c);
    }
}

TEST(FilterKey, LongerMaskGivesOneCharacterPerPosition) {
    const KeyCase cases[] = {
        {"9a", "", 0, u"5", true},
        {"9a", "", 0, u"x", false},
        {"9a", "5", 1, u"x5", true},
        // Past the end of the mask nothing but backspace gets in.
        {"9a", "5x", 2, u"5x", false},
        {"9a", "5x", 2, u"\b", true},
        {"x", "", 7, u"\b", true},
        {"", "", 0, u"\b", true},
        // Positions count characters, not UTF-8 bytes.
        {"ä9", "", 1, u"5", true},
        {"ä9", "", 0, u"5", false},
        {"ä9", "", 2, u"5", false},
    };
    for (const auto& c : cases) {
        expectKeys(c);
    }
}

TEST(FilterKey, UnknownMaskCharactersAreReported) {
    EXPECT_TRUE(isKnownMask("d"));
    EXPECT_TRUE(isKnownMask("P"));
    EXPECT_TRUE(isKnownMask("?*9h&#abcdp"));
    EXPECT_FALSE(isKnownMask(""));
    EXPECT_FALSE(isKnownMask("dx"));
    EXPECT_FALSE(isKnownMask("ä"));
}

TEST(PadLeft, RightAlignsInAFieldAndCutsOnTheLeft) {
    EXPECT_EQ(PadLeft(1031, 5), " 1031");
    EXPECT_EQ(PadLeft(20490, 5), "20490");
    EXPECT_EQ(PadLeft(123456, 5), "23456");
    EXPECT_EQ(PadLeft("2", 2), " 2");
    EXPECT_EQ(PadLeft("", 3), "   ");
    EXPECT_EQ(PadLeft("abc", 0), "");
    EXPECT_EQ(PadLeft("abc", -4), "");
    // Characters, not bytes: umlauts take one place each and are never split.
    EXPECT_EQ(PadLeft("Größe", 6), " Größe");
    EXPECT_EQ(PadLeft("Größe", 3), "öße");
}

} // namespace
} // namespace korvana
