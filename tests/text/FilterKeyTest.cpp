#include "text/FilterKey.h"

#include "text/PadLeft.h"

#include <gtest/gtest.h>
#include <string>

namespace korvana {
namespace {

struct KeyCase {
    const char* mask;
    const char* text;
    std::size_t caret;
    KeyCode key;
    bool allowed;
};

std::string describe(const KeyCase& c) {
    return std::string("mask \"") + c.mask + "\" text \"" + c.text + "\" caret " +
           std::to_string(c.caret) + " key " + std::to_string(c.key);
}

constexpr KeyCode aUmlaut = 0xE4; // ä
constexpr KeyCode eAcute = 0xE9;  // é
constexpr KeyCode euroSign = 0x20AC;

TEST(FilterKey, MasksAllowExactlyTheirCharacters) {
    const KeyCase cases[] = {
        // File-name characters (the project name box).
        {"d", "", 0, ':', false},
        {"d", "", 0, ' ', false},
        {"d", "", 0, '\\', false},
        {"d", "", 0, '/', false},
        {"d", "", 0, '*', false},
        {"d", "", 0, '?', false},
        {"d", "", 0, '"', false},
        {"d", "", 0, '<', false},
        {"d", "", 0, '>', false},
        {"d", "", 0, '|', false},
        {"d", "Plant", 5, 'P', true},
        {"d", "", 0, '-', true},
        {"d", "", 0, aUmlaut, true},
        {"d", "", 0, euroSign, true},
        // Path characters (the project folder box): one colon at most.
        {"p", "C", 1, ':', true},
        {"p", "C:", 2, ':', false},
        {"p", "C:\\x", 1, ':', false},
        {"p", "C:", 2, '\\', true},
        {"p", "", 0, ' ', false},
        {"p", "", 0, '/', false},
        {"p", "", 0, '"', false},
        {"p", "", 0, '|', false},
        {"p", "", 0, aUmlaut, true},
        // Number masks.
        {"9", "", 0, '7', true},
        {"9", "", 0, 'a', false},
        {"9", "", 0, '-', false},
        {"h", "", 0, 'F', true},
        {"h", "", 0, 'f', true},
        {"h", "", 0, 'g', false},
        {"&", "", 0, '+', true},
        {"&", "", 0, '.', false},
        {"#", "", 0, 'E', true},
        {"#", "", 0, 'e', true},
        {"#", "", 0, '.', true},
        {"#", "", 0, ',', false},
        // Identifier masks: ASCII letters only, any case.
        {"a", "", 0, '_', true},
        {"a", "", 0, 'Z', true},
        {"a", "", 0, '-', false},
        {"a", "", 0, '*', false},
        {"a", "", 0, eAcute, false},
        {"b", "", 0, '*', true},
        {"b", "", 0, '.', false},
        {"c", "", 0, '.', true},
        {"c", "", 0, '*', false},
        // Anything but quotes and hashes.
        {"?", "", 0, ' ', true},
        {"?", "", 0, '"', false},
        {"?", "", 0, '#', false},
        {"*", "", 0, ' ', false},
        {"*", "", 0, 'x', true},
        // Mask letters are matched without regard to case.
        {"D", "", 0, ':', false},
        {"D", "", 0, 'x', true},
        // A mask character without a meaning refuses everything.
        {"x", "", 0, 'x', false},
        {"", "", 0, 'x', false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FilterKey(c.key, c.text, c.caret, c.mask), c.allowed ? c.key : KeyCode{0})
            << describe(c);
    }
}

TEST(FilterKey, LongerMaskGivesOneCharacterPerPosition) {
    const KeyCase cases[] = {
        {"9a", "", 0, '5', true},
        {"9a", "", 0, 'x', false},
        {"9a", "5", 1, 'x', true},
        {"9a", "5", 1, '5', true},
        // Past the end of the mask nothing but backspace gets in.
        {"9a", "5x", 2, '5', false},
        {"9a", "5x", 2, 'x', false},
        {"9a", "5x", 2, backspaceKey, true},
        {"x", "", 7, backspaceKey, true},
        {"", "", 0, backspaceKey, true},
        // Positions count characters, not UTF-8 bytes.
        {"\xc3\xa4"
         "9",
         "", 1, '5', true},
        {"\xc3\xa4"
         "9",
         "", 0, '5', false},
        {"\xc3\xa4"
         "9",
         "", 2, '5', false},
        {"\xc3\xa4", "", 3, 'x', false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FilterKey(c.key, c.text, c.caret, c.mask), c.allowed ? c.key : KeyCode{0})
            << describe(c);
    }
}

TEST(FilterKey, UnknownMaskCharactersAreReported) {
    EXPECT_TRUE(isKnownMask("d"));
    EXPECT_TRUE(isKnownMask("P"));
    EXPECT_TRUE(isKnownMask("?*9h&#abcdp"));
    EXPECT_FALSE(isKnownMask(""));
    EXPECT_FALSE(isKnownMask("dx"));
    EXPECT_FALSE(isKnownMask("\xc3\xa4"));
}

TEST(PadLeft, RightAlignsInAFieldAndCutsOnTheLeft) {
    EXPECT_EQ(PadLeft(1031, 5), " 1031");
    EXPECT_EQ(PadLeft(20490, 5), "20490");
    EXPECT_EQ(PadLeft(123456, 5), "23456");
    EXPECT_EQ(PadLeft("2", 2), " 2");
    EXPECT_EQ(PadLeft("10", 2), "10");
    EXPECT_EQ(PadLeft("", 3), "   ");
    EXPECT_EQ(PadLeft("abc", 0), "");
    EXPECT_EQ(PadLeft("abc", -4), "");
    // Characters, not bytes: umlauts take one place each and are never split.
    EXPECT_EQ(PadLeft("Gr\xc3\xb6\xc3\x9f"
                      "e",
                      6),
              " Gr\xc3\xb6\xc3\x9f"
              "e");
    EXPECT_EQ(PadLeft("Gr\xc3\xb6\xc3\x9f"
                      "e",
                      3),
              "\xc3\xb6\xc3\x9f"
              "e");
}

} // namespace
} // namespace korvana
