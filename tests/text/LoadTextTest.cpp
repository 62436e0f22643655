#include "text/TextService.h"

#include <array>
#include <climits>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace korvana {
namespace {

// A small table of our own, so that every escape and placeholder rule can be
// tried on a text made for it.
constexpr std::array<StringTableEntry, 3> languageEntries{{
    {1, "Deutsch"},
    {2, "nur Deutsch"},
    {10001, "English"},
}};

struct ExpansionCase {
    const char* name;
    std::string_view text;
    std::vector<std::string> args;
    std::string expected;
};

// Keeps test names readable in listings instead of a byte dump.
void PrintTo(const ExpansionCase& c, std::ostream* os) {
    *os << c.name;
}

std::string expand(std::string_view text, const std::vector<std::string>& args) {
    const std::array entries{StringTableEntry{1, text}};
    const TextService service(Lcid{1031}, StringTable(entries));
    const std::vector<TextArgument> arguments(args.begin(), args.end());
    return service.LoadText(TextId{1}, arguments);
}

class Expansion : public ::testing::TestWithParam<ExpansionCase> {};

TEST_P(Expansion, ResolvesEscapesAndPlaceholdersOnce) {
    const auto& c = GetParam();
    EXPECT_EQ(expand(c.text, c.args), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    LoadText, Expansion,
    ::testing::Values(
        ExpansionCase{"DoubledBackslash", "a\\\\b", {}, "a\\b"},
        ExpansionCase{"EscapedAt", "\\@x", {}, "@x"},
        ExpansionCase{"LineFeedAlone", "a\\nb", {}, "a\nb"},
        ExpansionCase{"Tab", "a\\tb", {}, "a\tb"},
        ExpansionCase{"EscapeLetterIgnoresCase", "\\N\\T", {}, "\n\t"},
        ExpansionCase{"OtherLetterLosesBackslash", "\\q\\d", {}, "qd"},
        ExpansionCase{"BackslashAtTheEnd", "end\\", {}, "end"},
        ExpansionCase{"ResolvedBackslashNotScannedAgain", "\\\\n", {}, "\\n"},
        ExpansionCase{"EscapedAtDoesNotOpenAPlaceholder", "\\@1@", {"X"}, "@1"},
        ExpansionCase{"BackslashBeforeUmlautKeepsItWhole", "\\ü", {}, "ü"},
        ExpansionCase{"Placeholder", "x@1@y", {"A"}, "xAy"},
        ExpansionCase{"PlaceholdersInAnyOrder", "@2@-@1@-@2@", {"a", "b"}, "b-a-b"},
        ExpansionCase{"InsertedPlaceholderNotFilled", "@1@ @2@", {"@2@", "B"}, "@2@ B"},
        ExpansionCase{"InsertedBackslashNotResolved", "@1@\\n", {"C:\\new"}, "C:\\new\n"},
        ExpansionCase{"InsertedLoneAtKept", "@1@ @", {"a@b"}, "a@b "},
        ExpansionCase{"LoneAtRemoved", "a@b", {}, "ab"},
        ExpansionCase{"DoubledAtIsNoEscape", "a@@b", {"X"}, "ab"},
        ExpansionCase{"MissingArgumentInsertsNothing", "[@3@]", {"a"}, "[]"},
        ExpansionCase{"PlaceholderZeroInsertsNothing", "[@0@]", {"a"}, "[]"},
        ExpansionCase{"NonNumericPlaceholderInsertsNothing", "[@x@]", {"a"}, "[]"},
        ExpansionCase{"LeadingDigitsNameTheArgument", "[@2nd@]", {"a", "b"}, "[b]"},
        ExpansionCase{"HugePlaceholderNumber", "[@99999999999999999999@]", {"a"}, "[]"},
        ExpansionCase{"AtBeforeBackslashIsAPlaceholderFirst", "@1@\\\\", {"\\"}, "\\\\"},
        ExpansionCase{"Utf8AroundPlaceholder", "Größe @1@ €", {"ä"}, "Größe ä €"},
        ExpansionCase{"RealLineBreakKept", "a\r\nb", {}, "a\r\nb"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(LoadText, PicksTheBlockOfTheLanguageAndFallsBackToGerman) {
    struct Case {
        std::int32_t lcid;
        std::int32_t id;
        const char* expected;
    };
    for (const auto& c : {Case{1031, 1, "Deutsch"}, Case{0, 1, "Deutsch"}, Case{1033, 1, "English"},
                          Case{1033, 2, "nur Deutsch"}, Case{1034, 1, "Deutsch"},
                          Case{2057, 1, "Deutsch"}, Case{-1, 1, "Deutsch"}}) {
        const TextService service(Lcid{c.lcid}, StringTable(languageEntries));
        EXPECT_EQ(service.LoadText(TextId{c.id}), c.expected) << "LCID " << c.lcid;
    }
}

TEST(LoadText, NumberWithoutTextGivesAtAndTheNumber) {
    for (const auto lcid : {1031, 1033, 1034}) {
        const TextService texts{Lcid{lcid}};
        EXPECT_EQ(texts.LoadText(TextId{4711}), "@4711");
        EXPECT_EQ(texts.LoadText(TextId{4711}, {"ignored"}), "@4711");
        EXPECT_EQ(texts.LoadText(TextId{-3}), "@-3");
        // Near the top of the range the block offset must not wrap around.
        EXPECT_EQ(texts.LoadText(TextId{INT32_MAX}), "@2147483647");
    }
}

TEST(LoadText, BuiltInTextsInBothLanguages) {
    const TextService german{Lcid{1031}};
    const TextService english{Lcid{1033}};
    EXPECT_EQ(english.LoadText(TextId{391}, {"C:\\P"}),
              "The projekt directory 'C:\\P' cannot be created!\r\nPlease correct/change the "
              "input!");
    EXPECT_EQ(german.LoadText(TextId{391}, {"C:\\P"}),
              "Das Projektverzeichnis 'C:\\P' konnte nicht erstellt werden!\r\n"
              "Korrigieren/ändern Sie bitte die Eingabe!");
    // German only: every language shows it in German.
    const std::string text900 = "Die Vorlage kann nicht in das Projektverzeichnis kopiert "
                                "werden!\r\n(76: Pfad nicht gefunden)";
    EXPECT_EQ(english.LoadText(TextId{900}, {76, "Pfad nicht gefunden"}), text900);
    EXPECT_EQ(TextService{Lcid{1034}}.LoadText(TextId{900}, {76, "Pfad nicht gefunden"}), text900);
    EXPECT_EQ(german.LoadText(TextId{907}, {"Plant1"}),
              "Das Projekt 'Plant1' ist nicht registriert!");
    EXPECT_EQ(english.LoadText(TextId{90}, {91}), "KorvanaStudio   (Message 91)");
    EXPECT_EQ(german.LoadText(TextId{90}, {91}), "KorvanaStudio   (Meldung 91)");
}

TEST(LoadText, CommandLineHelpShowsOneBackslash) {
    EXPECT_EQ(TextService{}.LoadText(TextId{905}),
              "Über die Kommandozeile sind nur folgende Befehle gültig:\r\n"
              "/p=ProjectName\r\nProjectPath\\ProjectName.kvs");
}

TEST(LoadText, LongTextsFullOfPlaceholdersAndEscapesFillInOnePass) {
    // Filled in place, each of these would move the rest of the text again:
    // minutes for a text of this size instead of a blink.
    std::string text;
    std::string expected;
    for (int i = 0; i < 100000; ++i) {
        text += "@1@\\n\\q";
        expected += "ab\nq";
    }
    EXPECT_EQ(expand(text, {"ab"}), expected);
}

TEST(TextArgument, NumbersInTheirOrdinaryTextForm) {
    EXPECT_EQ(TextArgument(std::int32_t{-42}).text(), "-42");
    EXPECT_EQ(TextArgument(std::int64_t{1} << 40).text(), "1099511627776");
    EXPECT_EQ(TextArgument(2.5).text(), "2.5");
    EXPECT_EQ(TextArgument(3.0).text(), "3");
    EXPECT_EQ(TextArgument(0.1).text(), "0.1");
    EXPECT_EQ(TextArgument(1e20).text(), "1E+20");
}

} // namespace
} // namespace korvana
