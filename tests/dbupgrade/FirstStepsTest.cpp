#include "db/Database.h"
#include "db/json/DatabaseJson.h"
#include "dbupgrade/steps/UpgradeSteps.h"
#include "services/ResolveProjectFile.h"
#include "support/MemoryRegistry.h"
#include "support/RecordingLog.h"
#include "support/ScratchDir.h"
#include "text/TextService.h"

#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace korvana::dbupgrade {
namespace {

using namespace korvana::test;

constexpr std::array<UpgradeStep, 8> firstSteps = {
    Upgrade_4_01_001, Upgrade_4_01_002, Upgrade_4_01_003, Upgrade_4_01_004,
    Upgrade_4_01_005, Upgrade_4_01_006, Upgrade_4_01_007, Upgrade_4_01_010};

// The legacy project registered as "Plant", worked on by the steps.
class LegacyProject {
  public:
    LegacyProject() {
        std::filesystem::create_directories(projectFile.parent_path());
        registry.setValue(Hive::LocalMachine, std::string(keys::projects) + "\\Plant", "Path",
                          RegistryValue::string(projectFile.parent_path().string()));
        db::json::createDatabaseFromJson(projectFile.string(),
                                         readFile(std::filesystem::path(KORVANA_SOURCE_DIR) /
                                                  "tests/fixtures" / "legacy-project.json"));
    }

    void run(UpgradeStep step) { step(environment, "Plant"); }
    // Runs the steps up to and including the one at `last`.
    void runThrough(std::size_t last) {
        for (std::size_t i = 0; i <= last; ++i) {
            run(firstSteps[i]);
        }
    }

    db::Database open() { return db::Database::open(projectFile.string()); }
    db::TableDef table(std::string_view name) { return open().tableDef(name); }
    bool hasTable(std::string_view name) { return open().hasTable(name); }
    std::vector<std::vector<db::Value>> rows(std::string_view sql) {
        return open().query(sql).rows;
    }
    void execute(std::string_view sql) { open().execute(sql); }
    std::string dump() { return db::json::dumpDatabase(projectFile.string(), true); }

    ScratchDir scratch;
    std::filesystem::path projectFile = scratch / "Projects" / "Plant" / "Plant.kvs";
    MemoryRegistry registry;
    TextService texts;
    RecordingLog log;
    UpgradeEnvironment environment{registry, texts, log};
};

db::Value text(const char* value) {
    return db::Value(std::string(value));
}

using db::DaoType;

// --- Schema after all eight steps -------------------------------------------

// The schema the steps end with is the template's (LadderSchemaTest), which
// compares the order of the columns only. The positions the steps choose
// matter on their own: Jet places a column there and leaves the others alone.
TEST(FirstSteps, PlaceColumnsAtTheirChosenPositions) {
    LegacyProject project;
    project.runThrough(firstSteps.size() - 1);
    struct Placed {
        const char* table;
        const char* column;
        int position;
    };
    // "Unit" keeps its old place; "Name" lands behind all 31 old columns.
    for (const auto& [table, column, position] :
         {Placed{"TchrTrends", "Unit", 16}, Placed{"TchrTrends", "Name", 31},
          Placed{"TpdbItems", "UnitClassIDItemDependent", 11},
          Placed{"TpdbStructMembers", "UnitClassIDItemDependent", 8},
          Placed{"TpdbUnitClasses", "SwitchType", 2}, Placed{"TpdbSimulation", "ItemID", 0},
          Placed{"TpdbAlign", "ItemID", 0}}) {
        EXPECT_EQ(project.table(table).field(column).ordinalPosition, position)
            << table << "." << column;
    }
}

// --- Data ---------------------------------------------------------------------

TEST(FirstSteps, NameEveryFontAndTrendAfterItsIdAndKeepTheFaces) {
    LegacyProject project;
    const auto facesBefore = project.rows("SELECT ID, Name FROM TidxFonts ORDER BY ID");
    project.run(Upgrade_4_01_001);
    const auto fonts = project.rows("SELECT ID, FontName, Name FROM TidxFonts ORDER BY ID");
    ASSERT_EQ(fonts.size(), facesBefore.size());
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        const auto id = std::get<std::int64_t>(fonts[i][0]);
        EXPECT_EQ(fonts[i][1], facesBefore[i][1]);
        EXPECT_EQ(fonts[i][2], db::Value("Font" + std::to_string(id)));
    }
    const auto trends = project.rows("SELECT ID, Name FROM TchrTrends");
    ASSERT_FALSE(trends.empty());
    for (const auto& row : trends) {
        EXPECT_EQ(row[1], db::Value("Trd" + std::to_string(std::get<std::int64_t>(row[0]))));
    }
}

TEST(FirstSteps, MoveTheHelpIdsIntoTheFirstParameter) {
    LegacyProject project;
    const auto before = project.rows("SELECT ID, MessageHelpID, HelpIndex FROM TalaMessages");
    project.run(Upgrade_4_01_001);
    const auto after = project.rows("SELECT ID, Parameter1, Parameter2 FROM TalaMessages");
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after[0][1], text("1201"));
    for (std::size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i][2], before[i][2]);
    }
}

TEST(FirstSteps, KeepTrendUnitsAndCutNamesToFiftyCharacters) {
    LegacyProject project;
    project.runThrough(2);
    const std::string longName(60, 'x');
    project.execute("UPDATE TchrTrends SET Name = '" + longName + "' WHERE ID = 1");
    const auto units = project.rows("SELECT ID, Unit FROM TchrTrends ORDER BY ID");
    project.run(Upgrade_4_01_004);
    EXPECT_EQ(project.rows("SELECT ID, Unit FROM TchrTrends ORDER BY ID"), units);
    EXPECT_EQ(project.rows("SELECT Name FROM TchrTrends WHERE ID = 1").at(0).at(0),
              db::Value(std::string(50, 'x')));
    EXPECT_EQ(project.rows("SELECT Name FROM TchrTrends WHERE ID = 2").at(0).at(0), text("Trd2"));
}

TEST(FirstSteps, NewRowsGetTheNewDefaultsAndStoredRowsKeepTheirValues) {
    LegacyProject project;
    project.runThrough(firstSteps.size() - 1);
    EXPECT_EQ(project.rows("SELECT MaxSamples, FileName FROM TchrArchives WHERE ID = 1").at(0),
              (std::vector<db::Value>{db::Value(std::int64_t{86400}), text("Kessel.arc")}));
    project.execute("INSERT INTO TchrArchives (Name, NewFile) VALUES ('Neu', 'Daily')");
    EXPECT_EQ(project
                  .rows("SELECT MaxSamples, FilePath, ParamNames, CacheSize FROM TchrArchives "
                        "WHERE Name = 'Neu'")
                  .at(0),
              (std::vector<db::Value>{db::Value(std::int64_t{1000}), text("<ProjectDir>"), text(""),
                                      db::Value(std::int64_t{0})}));
    project.execute("INSERT INTO TpdbUnits (Name) VALUES ('Neu')");
    EXPECT_EQ(project.rows("SELECT x1, y1, x2, y2 FROM TpdbUnits WHERE Name = 'Neu'").at(0),
              (std::vector<db::Value>{text("0"), text("0"), text("1"), text("1")}));
}

// --- Running a step twice -------------------------------------------------------

class StepRunTwice : public ::testing::TestWithParam<std::size_t> {};

TEST_P(StepRunTwice, LeavesTheDatabaseAsAfterOneRun) {
    LegacyProject project;
    project.runThrough(GetParam());
    const std::string once = project.dump();
    project.run(firstSteps[GetParam()]);
    EXPECT_EQ(project.dump(), once);
}

INSTANTIATE_TEST_SUITE_P(EachStep, StepRunTwice, ::testing::Range<std::size_t>(0, 8));

TEST(FirstSteps, ARepeatedFirstStepLeavesChosenFontNames) {
    LegacyProject project;
    project.run(Upgrade_4_01_001);
    project.execute("UPDATE TidxFonts SET Name = 'Titel' WHERE ID = 1");
    project.run(Upgrade_4_01_001);
    EXPECT_EQ(project.rows("SELECT Name FROM TidxFonts WHERE ID = 1").at(0).at(0), text("Titel"));
}

// --- Missing tables and tables already there -------------------------------------

struct GuardCase {
    const char* label;
    std::size_t step;
    const char* missingTable;
    const char* table;  // a table the rest of the step still changes
    const char* column; // ... by adding this column
};

class MissingGuardTable : public ::testing::TestWithParam<GuardCase> {};

TEST_P(MissingGuardTable, SkipsOnlyItsBlock) {
    const auto& param = GetParam();
    LegacyProject project;
    if (param.step > 0) {
        project.runThrough(param.step - 1);
    }
    project.open().deleteTableDef(param.missingTable);
    project.run(firstSteps[param.step]);
    EXPECT_FALSE(project.hasTable(param.missingTable));
    EXPECT_NE(project.table(param.table).findField(param.column), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, MissingGuardTable,
    ::testing::Values(GuardCase{"NoMessages", 0, "TalaMessages", "TchrTrends", "Name"},
                      GuardCase{"NoFonts", 0, "TidxFonts", "TalaMessages", "Parameter1"},
                      GuardCase{"NoTrends", 3, "TchrTrends", "TchrArchives", "FilePath"},
                      GuardCase{"NoItems", 4, "TpdbItems", "TpdbDevices", "IsBrowsed"},
                      GuardCase{"NoTextFlags", 5, "TidxTextFlags", "TcfgBinary", "Entry"},
                      GuardCase{"NoUnitClasses", 6, "TpdbUnitClasses", "TpdbUnits", "x1"}),
    [](const ::testing::TestParamInfo<GuardCase>& guard) {
        return std::string(guard.param.label);
    });

TEST(FirstSteps, WithoutItemsNoSimulationOrAlignmentTableIsMade) {
    LegacyProject project;
    project.runThrough(5);
    project.open().deleteTableDef("TpdbItems");
    project.run(Upgrade_4_01_007);
    project.run(Upgrade_4_01_010);
    EXPECT_FALSE(project.hasTable("TpdbSimulation"));
    EXPECT_FALSE(project.hasTable("TpdbAlign"));
    EXPECT_NE(project.table("TpdbStructMembers").findField("UnitClassIDItemDependent"), nullptr);
    EXPECT_EQ(project.table("TchrArchives").field("MaxSamples").defaultValue, "1000");
}

TEST(FirstSteps, AnExistingConfigurationStoreIsLeftAsItIs) {
    LegacyProject project;
    project.runThrough(4);
    {
        auto database = project.open();
        db::TableDef own("TcfgBinary");
        own.fields.emplace_back("Key", DaoType::Text, 20);
        database.appendTableDef(own);
        database.execute("INSERT INTO TcfgBinary (Key) VALUES ('kept')");
    }
    project.run(Upgrade_4_01_006);
    const db::TableDef table = project.table("TcfgBinary");
    ASSERT_EQ(table.fields.size(), 1u);
    EXPECT_EQ(table.fields[0].name, "Key");
    EXPECT_TRUE(table.indexes.empty());
    EXPECT_EQ(project.rows("SELECT Key FROM TcfgBinary").at(0).at(0), text("kept"));
    EXPECT_TRUE(project.table("TidxTextFlags").field("L1033").required == false);
}

// --- Failed copies keep the old data ----------------------------------------------

TEST(FirstSteps, HelpIdsStayWhenTheFirstParameterWasThereBefore) {
    LegacyProject project;
    {
        auto database = project.open();
        db::FieldDef parameter("Parameter1", DaoType::Text, 255);
        parameter.allowZeroLength = true;
        database.appendField("TalaMessages", parameter);
        database.execute("UPDATE TalaMessages SET Parameter1 = 'eigen'");
    }
    project.run(Upgrade_4_01_001);
    const db::TableDef table = project.table("TalaMessages");
    EXPECT_NE(table.findField("MessageHelpID"), nullptr);
    EXPECT_EQ(project.rows("SELECT Parameter1 FROM TalaMessages WHERE ID = 1").at(0).at(0),
              text("eigen"));
    EXPECT_NE(table.findField("Parameter2"), nullptr);
}

TEST(FirstSteps, ATrendWithoutNameKeepsTheOldNameColumnAndItsValues) {
    LegacyProject project;
    project.runThrough(2);
    project.execute("UPDATE TchrTrends SET Name = Null WHERE ID = 1");
    const auto names = project.rows("SELECT ID, Name FROM TchrTrends ORDER BY ID");
    project.run(Upgrade_4_01_004);
    const db::TableDef table = project.table("TchrTrends");
    EXPECT_EQ(table.field("Name").type, DaoType::FixedText);
    EXPECT_EQ(table.findField("NameTemp"), nullptr);
    EXPECT_EQ(project.rows("SELECT ID, Name FROM TchrTrends ORDER BY ID"), names);
    EXPECT_EQ(table.field("Unit").size, 255);
    EXPECT_TRUE(project.log.mentions("TchrTrends.Name"));
}

} // namespace
} // namespace korvana::dbupgrade
