#include "LaterStepsTestBed.h"
#include "db/Property.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace korvana::test {
namespace {

std::optional<std::string> description(const db::FieldDef& field) {
    if (const auto* property = field.findProperty("Description")) {
        return text(property->value);
    }
    return std::nullopt;
}

bool compressed(const db::FieldDef& field) {
    const auto* property = field.findProperty("UnicodeCompression");
    return property && property->value == db::Value(true);
}

// ---- Columns of the new tables -------------------------------------------

struct ColumnCase {
    const char* table;
    const char* column;
    db::DaoType type;
    int size;
    bool allowZeroLength;
    std::optional<std::string> defaultValue;
    bool unicodeCompression;
    std::optional<std::string> description;
};

class NewColumns : public ::testing::TestWithParam<ColumnCase> {};

TEST_P(NewColumns, AreDefinedAsTheTableDescribesThem) {
    const auto& param = GetParam();
    LaterStepsBed bed;
    bed.runThrough("4.01.020");
    const auto field = bed.table(param.table).field(param.column);
    EXPECT_EQ(field.type, param.type);
    if (db::hasSize(param.type)) {
        EXPECT_EQ(field.size, param.size);
    }
    EXPECT_FALSE(field.required);
    EXPECT_EQ(field.allowZeroLength, param.allowZeroLength);
    EXPECT_EQ(field.defaultValue, param.defaultValue);
    EXPECT_EQ(compressed(field), param.unicodeCompression);
    EXPECT_EQ(description(field), param.description);
}

using db::DaoType;
INSTANTIATE_TEST_SUITE_P(
    Tables, NewColumns,
    ::testing::Values(
        ColumnCase{"TvbfAlias", "VBAlias", DaoType::Text, 255, true, "\"\"", true,
                   "In der VB-Klasse verwendeter Variablenname"},
        ColumnCase{"TvbfFormulas", "ProgID", DaoType::Text, 39, true, "\"\"", true,
                   "Zugehöriger VB-Klassenname (Formelserver)"},
        ColumnCase{"TvbfFormulas", "Type", DaoType::Long, 0, false, "2", false,
                   "Funktionstyp (0:vor Init, 1: nach Init, 2: vor Zyklus, 3: nach Zyklus, 4: "
                   "vor Exit, 5: nach Exit, 6: Variablenänderung, 7: asynchron)"},
        ColumnCase{"TvbfFormulas", "Enabled", DaoType::Boolean, 0, false, "True", false,
                   "Funktion aktiv/deaktiv"},
        ColumnCase{"TvbfParams", "In", DaoType::Boolean, 0, false, std::nullopt, false,
                   "Eingangsparameter"},
        ColumnCase{"TrcpRecipe", "FilePath", DaoType::Text, 255, true, "\"<ProjectDir>\\Rezepte\"",
                   true, "Pfad der Rezeptdateien (optional)"},
        ColumnCase{"TrcpRecipe", "FileExtension", DaoType::Text, 2, true, std::nullopt, true,
                   "Die letzten zwei Buchstaben der Dateiendung"},
        ColumnCase{"TrcpRecipe", "StandardValue", DaoType::Double, 0, false, "0", false,
                   "Normwertvorgabe (optional: 0)"},
        ColumnCase{"TrcpRecipe", "CryptEngine", DaoType::Boolean, 0, false, "False", false,
                   std::nullopt},
        ColumnCase{"TrcpRecipeMember", "ChildID", DaoType::Long, 0, false, "0", false,
                   "Verweis auf ein Unterrezept (0: kein Unterrezept)"},
        ColumnCase{"TalaMessageChannels", "Description", DaoType::Text, 255, true, "\"\"", true,
                   std::nullopt},
        ColumnCase{"TusrUsers", "Password", DaoType::Text, 20, true, std::nullopt, true,
                   std::nullopt},
        ColumnCase{"TusrUsers", "FirstLogOn", DaoType::DateTime, 0, false, std::nullopt, false,
                   std::nullopt},
        ColumnCase{"TusrUserClasses", "PermitDelete", DaoType::Boolean, 0, false, "True", false,
                   std::nullopt},
        ColumnCase{"TpdbItems", "TextID", DaoType::Long, 0, false, "0", false, std::nullopt}),
    [](const auto& testInfo) {
        return std::string(testInfo.param.table) + "_" + testInfo.param.column;
    });

TEST(NewIndexes, CarryTheirKeysAndFlags) {
    LaterStepsBed bed;
    bed.runThrough("4.01.020");
    const auto params = bed.table("TvbfParams").index("Unique");
    EXPECT_EQ(params.fields, (std::vector<std::string>{"AliasID", "ParentID"}));
    EXPECT_TRUE(params.primary);
    const auto channel = bed.table("TalaMessageOutput").index("ChannelData");
    EXPECT_EQ(channel.fields, (std::vector<std::string>{"ParentID", "ChannelID"}));
    EXPECT_TRUE(channel.unique);
    EXPECT_FALSE(channel.primary);
    const auto access = bed.table("TpdbItems").index("SecondItemAccess");
    EXPECT_EQ(access.fields, (std::vector<std::string>{"ItemAccess", "DeviceID"}));
    EXPECT_FALSE(access.unique);
    EXPECT_TRUE(bed.table("TvbfAlias").index("VBAlias").unique);
    EXPECT_FALSE(bed.table("TusrUsers").index("ParentID").unique);
}

// ---- Message classes become text groups ------------------------------------

struct LanguageCase {
    const char* label;
    std::int32_t lcid;
    const char* messages;
    const char* classes;
    const char* groups;
};

class MessageClassesRegrouped : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(MessageClassesRegrouped, IntoGroupsNamedInTheInterfaceLanguage) {
    const auto& param = GetParam();
    LaterStepsBed bed{Lcid{param.lcid}};
    bed.run(dbupgrade::Upgrade_4_01_013);

    EXPECT_EQ(text(bed.single("SELECT Name FROM TidxGroups WHERE ID = 1")), param.messages);
    const auto classesId =
        number(bed.single("SELECT ID FROM TidxGroups WHERE ParentID = 1 AND Type = -10"));
    const auto groupsId =
        number(bed.single("SELECT ID FROM TidxGroups WHERE ParentID = 1 AND Type = -11"));
    EXPECT_EQ(text(bed.single("SELECT Name FROM TidxGroups WHERE Type = -10")), param.classes);
    EXPECT_EQ(text(bed.single("SELECT Name FROM TidxGroups WHERE Type = -11")), param.groups);

    // The old message groups now stand below the group of message groups.
    EXPECT_EQ(number(bed.single("SELECT ParentID FROM TidxGroups WHERE Name = 'Kessel'")),
              groupsId);
    EXPECT_EQ(number(bed.single("SELECT ParentID FROM TidxGroups WHERE Name = 'Pumpen'")),
              groupsId);
    // One group per class, below the group of classes, not moved along.
    const auto classGroups =
        bed.rows("SELECT Name FROM TidxGroups WHERE ParentID = " + std::to_string(classesId) +
                 " AND Type = -1 ORDER BY Name");
    ASSERT_EQ(classGroups.size(), 3U);
    EXPECT_EQ(text(classGroups[0][0]), "Alarm");
    EXPECT_EQ(text(classGroups[1][0]), "Betrieb");
    EXPECT_EQ(text(classGroups[2][0]), "Warnung");
}

INSTANTIATE_TEST_SUITE_P(Languages, MessageClassesRegrouped,
                         ::testing::Values(LanguageCase{"German", 1031, "Meldungen", "Meldeklassen",
                                                        "Meldegruppen"},
                                           LanguageCase{"English", 1033, "Messages",
                                                        "Message Classes", "Message Groups"}),
                         [](const auto& testInfo) { return std::string(testInfo.param.label); });

TEST(MessageClassSigns, MoveOnlyTheTextsTheyName) {
    LaterStepsBed bed;
    bed.run(dbupgrade::Upgrade_4_01_013);
    const auto groupOf = [&](const char* name) {
        return number(bed.single(std::string("SELECT ID FROM TidxGroups WHERE Type = -1 AND "
                                             "Name = '") +
                                 name + "'"));
    };
    const auto parentOf = [&](int textId) {
        return number(
            bed.single("SELECT ParentID FROM TidxTexts WHERE ID = " + std::to_string(textId)));
    };
    // "Alarm" names texts 1 to 3; "Warnung" names 4, an empty sign and 9999.
    EXPECT_EQ(parentOf(1), groupOf("Alarm"));
    EXPECT_EQ(parentOf(2), groupOf("Alarm"));
    EXPECT_EQ(parentOf(3), groupOf("Alarm"));
    EXPECT_EQ(parentOf(4), groupOf("Warnung"));
    EXPECT_EQ(parentOf(5), 2);
    EXPECT_TRUE(
        bed.rows("SELECT ID FROM TidxTexts WHERE ParentID = " + std::to_string(groupOf("Betrieb")))
            .empty());
}

TEST(MessageClassSigns, WithoutAMessageRootNothingIsRenamedOrAdded) {
    LaterStepsBed bed;
    bed.execute("UPDATE TidxGroups SET Type = 0 WHERE ID = 1");
    const auto groupsBefore = bed.rows("SELECT ID, ParentID, Name, Type FROM TidxGroups");
    bed.run(dbupgrade::Upgrade_4_01_013);
    EXPECT_EQ(bed.rows("SELECT ID, ParentID, Name, Type FROM TidxGroups"), groupsBefore);
    EXPECT_EQ(number(bed.single("SELECT ParentID FROM TidxTexts WHERE ID = 1")), 1);
}

// ---- Changed columns --------------------------------------------------------

TEST(StructureMemberPositions, BecomeSinglesAndKeepTheirValues) {
    LaterStepsBed bed;
    const auto before = bed.rows("SELECT ID, OrderNum FROM TpdbStructMembers ORDER BY ID");
    ASSERT_FALSE(before.empty());
    bed.run(dbupgrade::Upgrade_4_01_015);
    const auto field = bed.table("TpdbStructMembers").field("OrderNum");
    EXPECT_EQ(field.type, DaoType::Single);
    EXPECT_TRUE(field.required);
    EXPECT_EQ(field.ordinalPosition, 4);
    const auto after = bed.rows("SELECT ID, OrderNum FROM TpdbStructMembers ORDER BY ID");
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        const auto* value = std::get_if<double>(&after[i][1]);
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(*value, static_cast<double>(number(before[i][1])));
    }
}

TEST(FontClassDefaults, BecomeOne) {
    LaterStepsBed bed;
    bed.run(dbupgrade::Upgrade_4_01_017);
    EXPECT_EQ(bed.table("TidxFontClasses").field("L1031").defaultValue, "1");
    EXPECT_EQ(bed.table("TidxFontClasses").field("L1033").defaultValue, "1");
}

TEST(MessageOutputLanguages, GainOnlyTheLanguagesTheyLack) {
    LaterStepsBed bed;
    {
        auto database = bed.open();
        database.appendField("TidxTexts", db::FieldDef("L4108", DaoType::Text, 255));
        database.appendField("TidxTexts", db::FieldDef("lower", DaoType::Text, 255));
    }
    bed.run(dbupgrade::Upgrade_4_01_016);
    bed.run(dbupgrade::Upgrade_4_01_018);
    std::vector<std::string> names;
    for (const auto& field : bed.table("TalaMessageOutput").fields) {
        names.push_back(field.name);
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"ID", "ParentID", "ChannelID", "L1031", "L1033", "L4108"}));
    EXPECT_EQ(bed.table("TalaMessageOutput").field("L4108").type, DaoType::LongBinary);
}

TEST(Formulas, AreAllSwitchedOnWhenTheSwitchArrives) {
    LaterStepsBed bed;
    bed.run(dbupgrade::Upgrade_4_01_012);
    bed.execute("INSERT INTO TvbfFormulas (Name, ProgID) VALUES ('Mix', 'Plant.Mix')");
    bed.run(dbupgrade::Upgrade_4_01_014);
    EXPECT_EQ(bed.single("SELECT Enabled FROM TvbfFormulas"), db::Value(true));
}

} // namespace
} // namespace korvana::test
