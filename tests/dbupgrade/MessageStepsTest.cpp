#include "LaterStepsTestBed.h"

#include <gtest/gtest.h>
#include <string>

namespace korvana::test {
namespace {

using db::DaoType;

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
