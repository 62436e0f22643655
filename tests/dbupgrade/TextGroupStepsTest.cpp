#include "LaterStepsTestBed.h"
#include "db/Property.h"

#include <gtest/gtest.h>
#include <string>

namespace korvana::test {
namespace {

using db::DaoType;

std::int64_t groupId(const LaterStepsBed& bed, const std::string& where) {
    return number(bed.single("SELECT ID FROM TidxGroups WHERE " + where));
}

// ---- Date and time groups ---------------------------------------------------

struct TimeGroupCase {
    const char* name;
    std::int64_t type;
};

class DateAndTimeGroups : public ::testing::TestWithParam<TimeGroupCase> {};

TEST_P(DateAndTimeGroups, StandBelowKVTimeWithTheirOwnType) {
    LaterStepsBed bed;
    bed.runThrough("4.04.000");
    const auto& param = GetParam();
    const auto rows = bed.rows(std::string("SELECT ParentID, Type FROM TidxGroups WHERE Name = '") +
                               param.name + "'");
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(number(rows[0][0]), 5) << "below KVTime";
    EXPECT_EQ(number(rows[0][1]), param.type);
}

INSTANTIATE_TEST_SUITE_P(Groups, DateAndTimeGroups,
                         ::testing::Values(TimeGroupCase{"WeekdayName", -106},
                                           TimeGroupCase{"MonthName", -107},
                                           TimeGroupCase{"ShortWeekdayName", -108},
                                           TimeGroupCase{"ShortMonthName", -109},
                                           TimeGroupCase{"DateFormats", -113},
                                           TimeGroupCase{"TimeFormats", -114}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(DateAndTimeFormats, MoveIntoTheirGroups) {
    LaterStepsBed bed;
    bed.runThrough("4.04.000");
    const auto dateFormats = groupId(bed, "Name = 'DateFormats'");
    const auto timeFormats = groupId(bed, "Name = 'TimeFormats'");
    for (const auto& [name, parent] :
         {std::pair{"LongDate", dateFormats}, std::pair{"ShortDate", dateFormats},
          std::pair{"LongTime", timeFormats}, std::pair{"ShortTime", timeFormats}}) {
        EXPECT_EQ(number(bed.single(std::string("SELECT ParentID FROM TidxTexts WHERE Name = '") +
                                    name + "'")),
                  parent)
            << name;
    }
    EXPECT_EQ(bed.rows("SELECT ID FROM TidxGroups WHERE Name LIKE '*Abbr'").size(), 0U);
    const auto description = bed.table("TidxTexts").field("Description");
    EXPECT_EQ(description.ordinalPosition, 4);
    EXPECT_TRUE(description.allowZeroLength);
    EXPECT_EQ(bed.table("TchrArchives").field("MaxSizeKb").defaultValue, "0");
}

TEST(DateAndTimeGroups, WithoutASystemRootNothingMoves) {
    LaterStepsBed bed;
    bed.runThrough("4.01.020");
    bed.execute("UPDATE TidxGroups SET Type = 0 WHERE ID = 4");
    bed.run(dbupgrade::Upgrade_4_04_000);
    EXPECT_EQ(bed.rows("SELECT ID FROM TidxGroups WHERE Type < -102 AND Type > -110").size(), 0U);
    EXPECT_EQ(number(bed.single("SELECT ParentID FROM TidxTexts WHERE Name = 'LongDate'")), 5);
    // The schema changes of the step do not depend on the groups.
    EXPECT_NE(bed.table("TidxTexts").findField("Description"), nullptr);
}

// ---- Users ------------------------------------------------------------------

TEST(UserState, IsTakenFromTheEnabledSwitch) {
    LaterStepsBed bed;
    bed.runThrough("4.04.000");
    bed.execute("INSERT INTO TusrUsers (Name, Enabled) VALUES ('anna', True)");
    bed.execute("INSERT INTO TusrUsers (Name, Enabled) VALUES ('bert', False)");
    bed.run(dbupgrade::Upgrade_4_04_001);
    EXPECT_EQ(number(bed.single("SELECT UserState FROM TusrUsers WHERE Name = 'anna'")), 1);
    EXPECT_EQ(number(bed.single("SELECT UserState FROM TusrUsers WHERE Name = 'bert'")), 0);
    const auto users = bed.table("TusrUsers");
    EXPECT_EQ(users.findField("Enabled"), nullptr);
    EXPECT_EQ(users.field("UserState").ordinalPosition, 6);
    EXPECT_EQ(bed.table("TusrUserClasses").field("TextID").defaultValue, "0");
    EXPECT_EQ(bed.table("TusrRightsClasses").field("Deleted").defaultValue, "False");
}

struct RightsCase {
    const char* label;
    bool withOldRightsGroup;
};

class UserAdministrationGroups : public ::testing::TestWithParam<RightsCase> {};

TEST_P(UserAdministrationGroups, AreAddedAndTakeTheOldRightsTexts) {
    LaterStepsBed bed;
    bed.runThrough("4.04.001");
    bed.execute("INSERT INTO TidxTexts (ParentID, Name) VALUES (10, 'MayStart')");
    if (!GetParam().withOldRightsGroup) {
        bed.execute("UPDATE TidxGroups SET Type = 0 WHERE ID = 10");
    }
    bed.run(dbupgrade::Upgrade_4_04_002);
    const auto admin = groupId(bed, "ParentID = 0 AND Type = -4");
    EXPECT_EQ(text(bed.single("SELECT Name FROM TidxGroups WHERE Type = -4")),
              "Benutzerverwaltung");
    EXPECT_EQ(groupId(bed, "Name = 'Benutzerklassen' AND Type = -40 AND ParentID = " +
                               std::to_string(admin)) > 0,
              true);
    const auto rights = groupId(bed, "Name = 'Einzelberechtigungen' AND Type = -41 AND "
                                     "ParentID = " +
                                         std::to_string(admin));
    EXPECT_GT(rights, 0);
    EXPECT_EQ(number(bed.single("SELECT ParentID FROM TidxTexts WHERE Name = 'MayStart'")),
              GetParam().withOldRightsGroup ? rights : 10);
}

INSTANTIATE_TEST_SUITE_P(Projects, UserAdministrationGroups,
                         ::testing::Values(RightsCase{"WithOldRights", true},
                                           RightsCase{"WithoutOldRights", false}),
                         [](const auto& testInfo) { return std::string(testInfo.param.label); });

TEST(UserClassTexts, AreAddedForClassesWithoutOneAndTheLoopEnds) {
    LaterStepsBed bed;
    bed.runThrough("4.04.003");
    const auto classesGroup = groupId(bed, "Type = -40");
    bed.execute("INSERT INTO TidxTexts (ParentID, Name) VALUES (" + std::to_string(classesGroup) +
                ", 'Taken')");
    bed.execute("INSERT INTO TusrUserClasses (Name, TextID) VALUES ('Operator', Null)");
    bed.execute("INSERT INTO TusrUserClasses (Name, TextID) VALUES ('Taken', Null)");
    bed.execute("INSERT INTO TusrUserClasses (Name, TextID) VALUES ('Service', Null)");
    bed.execute("INSERT INTO TusrUserClasses (Name, TextID) VALUES ('Admin', 7)");
    bed.run(dbupgrade::Upgrade_4_04_004);

    for (const char* name : {"Operator", "Service"}) {
        const auto textId = number(bed.single(
            std::string("SELECT TextID FROM TusrUserClasses WHERE Name = '") + name + "'"));
        EXPECT_EQ(
            text(bed.single("SELECT Name FROM TidxTexts WHERE ID = " + std::to_string(textId) +
                            " AND ParentID = " + std::to_string(classesGroup))),
            name);
    }
    // Its name is taken in the group: it keeps no text, the others get theirs.
    EXPECT_TRUE(db::isNull(bed.single("SELECT TextID FROM TusrUserClasses WHERE Name = 'Taken'")));
    EXPECT_EQ(number(bed.single("SELECT TextID FROM TusrUserClasses WHERE Name = 'Admin'")), 7);
    EXPECT_FALSE(bed.log.lines.empty());
}

// ---- Weekday renumbering ----------------------------------------------------

struct WeekdayCase {
    int textId;
    const char* before;
    const char* after;
};

class WeekdayRenumbering : public ::testing::TestWithParam<WeekdayCase> {};

TEST_P(WeekdayRenumbering, CountsFromOneForSundayAndOnlyOnce) {
    const auto& param = GetParam();
    LaterStepsBed bed;
    bed.runThrough("4.04.002");
    const std::string select =
        "SELECT Name FROM TidxTexts WHERE ID = " + std::to_string(param.textId);
    ASSERT_EQ(text(bed.single(select)), param.before);
    bed.run(dbupgrade::Upgrade_4_04_003);
    EXPECT_EQ(text(bed.single(select)), param.after);
    bed.run(dbupgrade::Upgrade_4_04_003);
    EXPECT_EQ(text(bed.single(select)), param.after);
}

INSTANTIATE_TEST_SUITE_P(Days, WeekdayRenumbering,
                         ::testing::Values(WeekdayCase{12, "0", "2"}, WeekdayCase{15, "3", "5"},
                                           WeekdayCase{17, "5", "7"}, WeekdayCase{18, "6", "1"},
                                           WeekdayCase{19, "0", "2"}, WeekdayCase{22, "3", "5"}),
                         [](const auto& testInfo) {
                             return "Text" + std::to_string(testInfo.param.textId);
                         });

TEST(WeekdayRenumbering, LeavesMonthNamesAlone) {
    LaterStepsBed bed;
    bed.runThrough("4.04.002");
    const auto months = bed.rows("SELECT ID, Name FROM TidxTexts WHERE ParentID = 7 ORDER BY ID");
    bed.run(dbupgrade::Upgrade_4_04_003);
    EXPECT_EQ(bed.rows("SELECT ID, Name FROM TidxTexts WHERE ParentID = 7 ORDER BY ID"), months);
}

TEST(ThirdLanguage, IsCompressedAndMayBeEmpty) {
    LaterStepsBed bed;
    bed.runThrough("4.04.005");
    {
        auto database = bed.open();
        database.appendField("TidxTexts", db::FieldDef("L4108", DaoType::Text, 255));
    }
    bed.run(dbupgrade::Upgrade_4_04_006);
    const auto field = bed.table("TidxTexts").field("L4108");
    EXPECT_TRUE(field.allowZeroLength);
    EXPECT_EQ(field.defaultValue, "\"\"");
    ASSERT_NE(field.findProperty("UnicodeCompression"), nullptr);
    EXPECT_EQ(field.findProperty("UnicodeCompression")->value, db::Value(true));
}

// ---- Missing tables ---------------------------------------------------------

struct MissingCase {
    const char* label;
    const char* dropped;
    const char* before;
    dbupgrade::UpgradeStep step;
    const char* table;
    const char* stillAdded;
};

class LaterGuardTable : public ::testing::TestWithParam<MissingCase> {};

TEST_P(LaterGuardTable, SkipsOnlyItsBlock) {
    const auto& param = GetParam();
    LaterStepsBed bed;
    bed.runThrough(param.before);
    bed.dropTable(param.dropped);
    bed.run(param.step);
    EXPECT_FALSE(bed.hasTable(param.dropped));
    EXPECT_NE(bed.table(param.table).findField(param.stillAdded), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, LaterGuardTable,
    ::testing::Values(MissingCase{"Items_UserTables", "TpdbItems", "4.01.018",
                                  dbupgrade::Upgrade_4_01_019, "TusrUsers", "Password"},
                      MissingCase{"Users_RecipeOptions", "TusrUsers", "4.04.000",
                                  dbupgrade::Upgrade_4_04_001, "TrcpRecipe", "Options"},
                      MissingCase{"Controls_UserCode", "TidxControls", "4.04.004",
                                  dbupgrade::Upgrade_4_04_005, "TusrUsers", "Code"},
                      MissingCase{"Archives_TextDescription", "TchrArchives", "4.01.020",
                                  dbupgrade::Upgrade_4_04_000, "TidxTexts", "Description"},
                      MissingCase{"Groups_ArchiveLimits", "TidxGroups", "4.01.020",
                                  dbupgrade::Upgrade_4_04_000, "TchrArchives", "MaxFiles"}),
    [](const auto& testInfo) { return std::string(testInfo.param.label); });

TEST(MissingItems, LeaveOutFormulaAndRecipeTablesButNotUserTables) {
    LaterStepsBed bed;
    bed.dropTable("TpdbItems");
    bed.runThrough("4.01.020");
    for (const char* table :
         {"TvbfAlias", "TvbfFormulas", "TvbfParams", "TrcpRecipe", "TrcpRecipeMember"}) {
        EXPECT_FALSE(bed.hasTable(table)) << table;
    }
    for (const char* table : {"TusrRightsClasses", "TusrUserClasses", "TusrUsers"}) {
        EXPECT_TRUE(bed.hasTable(table)) << table;
    }
}

TEST(MissingTexts, FailEveryOperationButEndTheStep) {
    LaterStepsBed bed;
    bed.runThrough("4.04.005");
    bed.dropTable("TidxTexts");
    const auto before = bed.snapshot();
    EXPECT_NO_THROW(bed.run(dbupgrade::Upgrade_4_04_006));
    EXPECT_EQ(bed.snapshot(), before);
    EXPECT_GE(bed.log.lines.size(), 8U);
}

// ---- Running a step twice -------------------------------------------------

class LaterStepTwice : public ::testing::TestWithParam<NamedStep> {};

TEST_P(LaterStepTwice, LeavesTheDatabaseAsAfterOneRun) {
    LaterStepsBed bed;
    bed.runThrough(GetParam().version);
    const auto once = bed.snapshot();
    bed.run(GetParam().step);
    EXPECT_EQ(bed.snapshot(), once);
}

INSTANTIATE_TEST_SUITE_P(Steps, LaterStepTwice, ::testing::ValuesIn(laterSteps),
                         [](const auto& testInfo) {
                             std::string name = testInfo.param.version;
                             for (auto& c : name) {
                                 c = c == '.' ? '_' : c;
                             }
                             return "Step" + name;
                         });

} // namespace
} // namespace korvana::test
