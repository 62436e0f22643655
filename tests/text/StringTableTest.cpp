#include "text/StringTable.h"

#include "platform/Error.h"
#include "text/TextService.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace korvana {
namespace {

constexpr std::int32_t english = 10000;

const StringTable& table() {
    static const StringTable builtIn = StringTable::builtIn();
    return builtIn;
}

// Texts as stored, before LoadText: line breaks are real CR LF, escapes are
// still there.
TEST(StringTable, HandPickedTextsAreStoredExactly) {
    struct Case {
        std::int32_t number;
        std::string_view stored;
    };
    const Case cases[] = {
        {10, "OK"},
        {english + 11, "Cancel"},
        {90, "KorvanaStudio   (Meldung @1@)"},
        {english + 90, "KorvanaStudio   (Message @1@)"},
        {91, "Das Korvana-Verzeichnis ist nicht registriert!\r\nMöglicherweise ist Korvana "
             "nicht vollständig installiert.\r\nFühren Sie eine Neuinstallation "
             "durch und starten das Programm erneut."},
        {99, "\r\n(@1@: @2@)"},
        {101, "   Neu    "},
        {english + 101, "   New    "},
        {english + 104, "  Actual  "},
        {110, "Ö&ffnen"},
        {142, "KorvanaStudio-Dateien (*@1@)|*@2@"},
        {english + 142, "KorvanaStudio Files (*@1@)|*@2@"},
        {145, "Gruppen-Dateien (*@1@)|*@2@"},
        {203, "Korvana®Studio Installation"},
        {english + 251, "for Visual Basic 5.0 and 6.0"},
        {300, "KorvanaStudio - Neues '@1@'-Projekt anlegen"},
        {english + 300, "KorvanaStudio - Create new '@1@' Project"},
        {english + 330, "General "},
        {337, "Projekte "},
        {english + 392, "The projekt directory '@1@' is already existing and is not empty!\r\n"
                        "Maybe files will be overwritten!"},
        {394, "Mindestens eine der Sprachen '1031 Deutsch (Deutschland)' oder '1033 Englisch "
              "(USA)' muss im Projekt verbleiben!"},
        {english + 398, "The component '@1@' cannot be deselected since it is used by the "
                        "components '@2@'!"},
        {511, "Visual Basic-Oberfläche nicht anpassen"},
        {english + 511, "Visual Basic-Oberfläche nicht anpassen"},
        {english + 512, "This option only should be selected if a project doesn't load correctly "
                        "in Visual Basic.\r\nThe settings will not be saved and is only valid "
                        "during the actual program run."},
        {english + 603, "Message Groups"},
        {905, "Über die Kommandozeile sind nur folgende Befehle gültig:\r\n/p=ProjectName"
              "\r\nProjectPath\\\\ProjectName.kvs"},
        {908, "Das Projekt '@1@' ist bereits im Verzeichnis '@2@' registriert!\r\nSoll es auf "
              "das Verzeichnis '@3@' umregistriert werden?"},
        {910, "Projektparameter können in die Datei '@3@' nicht eingetragen werden!\r\n"
              "(@1@: @2@)"},
        {913, "Die Datei '@1@' exisitiert nicht!"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(table().find(c.number), c.stored) << "text " << c.number;
    }
}

TEST(StringTable, TextsThatExistOnlyInGermanHaveNoEnglishTwin) {
    std::set<std::int32_t> germanOnly = {91, 92, 93, 94, 99, 145};
    for (std::int32_t n = 900; n <= 917; ++n) {
        germanOnly.insert(n);
    }
    for (const auto n : germanOnly) {
        EXPECT_TRUE(table().find(english + n).empty()) << "text " << n;
    }
    for (const auto n : {91,  92,  93,  94,  99,  145, 900, 901, 903, 904, 905,
                         906, 907, 908, 910, 912, 913, 914, 915, 916, 917}) {
        EXPECT_FALSE(table().find(n).empty()) << "text " << n;
    }
}

// The placeholder numbers of a stored text, escapes skipped like LoadText does.
std::multiset<std::string> placeholders(std::string_view text) {
    std::multiset<std::string> found;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (text[i] == '@') {
            const auto closing = text.find('@', i + 1);
            if (closing == std::string_view::npos) {
                found.insert("lone @");
                break;
            }
            found.insert(std::string(text.substr(i + 1, closing - i - 1)));
            i = closing;
        }
    }
    return found;
}

TEST(StringTable, EveryTextIsWellFormed) {
    const auto entries = table().entries();
    ASSERT_GT(entries.size(), 150u);
    for (const auto& entry : entries) {
        SCOPED_TRACE("text " + std::to_string(entry.number));
        EXPECT_FALSE(entry.text.empty());
        // German below 10000, English twins below 20000; the third block is empty.
        EXPECT_GT(entry.number, 0);
        EXPECT_LT(entry.number, 2 * english);
        if (entry.number > english) {
            EXPECT_FALSE(table().find(entry.number - english).empty())
                << "English text without its German twin";
        }
        // Line breaks are CR LF pairs, nothing else.
        for (std::size_t i = 0; i < entry.text.size(); ++i) {
            if (entry.text[i] == '\r') {
                EXPECT_EQ(entry.text.substr(i, 2), "\r\n");
            } else if (entry.text[i] == '\n') {
                EXPECT_TRUE(i > 0 && entry.text[i - 1] == '\r');
            }
        }
        // Placeholders are "@n@" with n counting from 1.
        for (const auto& p : placeholders(entry.text)) {
            EXPECT_TRUE(p.size() == 1 && p[0] >= '1' && p[0] <= '9') << "placeholder " << p;
        }
    }
}

TEST(StringTable, TwinsUseTheSamePlaceholders) {
    for (const auto& entry : table().entries()) {
        if (entry.number > english) {
            EXPECT_EQ(placeholders(entry.text), placeholders(table().find(entry.number - english)))
                << "text " << entry.number - english;
        }
    }
}

TEST(StringTable, EveryGermanTextLoads) {
    const TextService german{Lcid{1031}};
    const TextService inEnglish{Lcid{1033}};
    for (const auto& entry : table().entries()) {
        const auto id = TextId{entry.number % english};
        const auto marker = "@" + std::to_string(id.value);
        EXPECT_NE(german.LoadText(id), marker);
        EXPECT_NE(inEnglish.LoadText(id), marker);
    }
}

TEST(StringTable, RefusesAnUnsortedTable) {
    const StringTableEntry unsorted[] = {{2, "b"}, {1, "a"}};
    EXPECT_THROW(StringTable{unsorted}, Error);
    const StringTableEntry duplicate[] = {{1, "a"}, {1, "b"}};
    EXPECT_THROW(StringTable{duplicate}, Error);
}

} // namespace
} // namespace korvana
