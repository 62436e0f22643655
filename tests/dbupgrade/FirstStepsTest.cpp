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
#include <optional>
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

// --- Schema after all eight steps -------------------------------------------

// The schema tables only read, so they share one upgraded project.
LegacyProject& upgradedProject() {
    static LegacyProject project;
    static const bool upgraded = [] {
        project.runThrough(firstSteps.size() - 1);
        return true;
    }();
    EXPECT_TRUE(upgraded);
    return project;
}

struct ColumnCase {
    const char* table;
    const char* column;
    db::DaoType type;
    int size;
    bool required;
    bool allowZeroLength;
    std::optional<std::string> defaultValue;
    std::optional<int> position;
    bool unicodeCompression;
    const char* description;
};

class ColumnAfterSteps : public ::testing::TestWithParam<ColumnCase> {};

TEST_P(ColumnAfterSteps, HasItsDefinition) {
    const auto& expected = GetParam();
    const db::TableDef table = upgradedProject().table(expected.table);
    const db::FieldDef* field = table.findField(expected.column);
    ASSERT_NE(field, nullptr) << expected.table << "." << expected.column;
    EXPECT_EQ(field->name, expected.column);
    EXPECT_EQ(field->type, expected.type);
    if (db::hasSize(expected.type)) {
        EXPECT_EQ(field->size, expected.size);
    }
    EXPECT_EQ(field->required, expected.required);
    EXPECT_EQ(field->allowZeroLength, expected.allowZeroLength);
    EXPECT_EQ(field->defaultValue, expected.defaultValue);
    if (expected.position) {
        EXPECT_EQ(field->ordinalPosition, expected.position);
    }
    const db::Property* compression = field->findProperty("UnicodeCompression");
    if (expected.unicodeCompression) {
        ASSERT_NE(compression, nullptr);
        EXPECT_EQ(compression->type, db::DaoType::Boolean);
        EXPECT_EQ(compression->value, db::Value(true));
    } else {
        EXPECT_EQ(compression, nullptr);
    }
    const db::Property* description = field->findProperty("Description");
    if (expected.description) {
        ASSERT_NE(description, nullptr);
        EXPECT_EQ(description->type, db::DaoType::Text);
        EXPECT_EQ(description->value, text(expected.description));
    } else {
        EXPECT_EQ(description, nullptr);
    }
}

using db::DaoType;
const std::optional<std::string> none;
const std::string empty = "\"\"";

INSTANTIATE_TEST_SUITE_P(
    Steps, ColumnAfterSteps,
    ::testing::Values(
        ColumnCase{"TalaMessages",
                   "Parameter1",
                   DaoType::FixedText,
                   255,
                   false,
                   true,
                   empty,
                   {},
                   false,
                   nullptr},
        ColumnCase{
            "TalaMessages", "Parameter2", DaoType::Text, 255, false, true, none, {}, true, nullptr},
        ColumnCase{
            "TidxFonts", "FontName", DaoType::Text, 50, true, false, none, {}, false, nullptr},
        ColumnCase{
            "TidxFonts", "Name", DaoType::FixedText, 255, false, false, none, {}, false, nullptr},
        ColumnCase{"TchrTrends", "Unit", DaoType::Text, 255, false, true, none, 16, true,
                   "Einheitenbezeichnung"},
        ColumnCase{"TchrTrends", "Name", DaoType::Text, 50, true, false, none, 31, true,
                   "Name des Objektes"},
        ColumnCase{"TchrArchives",
                   "FilePath",
                   DaoType::Text,
                   255,
                   false,
                   true,
                   "\"<ProjectDir>\"",
                   {},
                   true,
                   "Dateipfad der Archivdatei"},
        ColumnCase{"TchrArchives",
                   "RedundancyFilePath",
                   DaoType::Text,
                   255,
                   false,
                   true,
                   none,
                   {},
                   true,
                   "Dateipfad der Redundanzdatei"},
        ColumnCase{"TchrArchives",
                   "CacheSize",
                   DaoType::Long,
                   0,
                   false,
                   false,
                   "0",
                   {},
                   false,
                   "Aufzeichnungspuffergröße (wieviele Werte werden intern aufgezeichnet, bevor "
                   "das Abspeichern erfolgt)"},
        ColumnCase{
            "TchrArchives", "FileName", DaoType::Text, 255, false, true, none, {}, true, nullptr},
        ColumnCase{"TchrArchives",
                   "MaxSamples",
                   DaoType::Long,
                   0,
                   false,
                   false,
                   "1000",
                   {},
                   false,
                   nullptr},
        ColumnCase{"TpdbDevices",
                   "HierarchBrowseSeparator",
                   DaoType::Text,
                   1,
                   false,
                   true,
                   ".",
                   {},
                   true,
                   "Trennzeichen zur Kennzeichnung der Itemstruktur"},
        ColumnCase{"TpdbDevices",
                   "IsBrowsed",
                   DaoType::Boolean,
                   0,
                   false,
                   false,
                   "False",
                   {},
                   true,
                   "OPC-Server, die einmal gebrowst wurden, dürfen nicht mehr in der ProgID "
                   "geändert werden"},
        ColumnCase{
            "TidxTextFlags", "L1031", DaoType::Long, 0, false, false, "0", {}, false, nullptr},
        ColumnCase{"TcfgBinary", "Entry", DaoType::Text, 255, true, false, none, {}, true, nullptr},
        ColumnCase{
            "TcfgBinary", "Value", DaoType::LongBinary, 0, false, false, none, {}, false, nullptr},
        ColumnCase{"TpdbItems", "UnitClassIDItemDependent", DaoType::Long, 0, false, false, "0", 11,
                   false, "Verweis auf Einheitentabelle"},
        ColumnCase{"TpdbStructMembers", "UnitClassIDItemDependent", DaoType::Long, 0, false, false,
                   "0", 8, false, "Verweis auf Einheitentabelle"},
        ColumnCase{"TpdbUnitClasses", "SwitchType", DaoType::Long, 0, false, false, "0", 2, false,
                   "0=variablen- / 1=sprachabhängige Einheitenumschaltung"},
        ColumnCase{"TpdbUnits",
                   "x2",
                   DaoType::Text,
                   255,
                   false,
                   true,
                   "1",
                   {},
                   true,
                   "Zweiter Geradenpunkt x-Koordinate"},
        ColumnCase{"TpdbSimulation", "ItemID", DaoType::Long, 0, true, false, "0", 0, false,
                   "Verweis auf Item in TpdbItems"},
        ColumnCase{"TpdbSimulation",
                   "SimulationParameters",
                   DaoType::Memo,
                   0,
                   false,
                   true,
                   empty,
                   {},
                   true,
                   "Parameter der Simulationsfunktion"},
        ColumnCase{"TpdbAlign", "ItemID", DaoType::Long, 0, false, false, none, 0, false,
                   nullptr}));

struct IndexCase {
    const char* table;
    const char* index;
    std::vector<std::string> fields;
    bool primary;
    bool unique;
    bool required;
};

class IndexAfterSteps : public ::testing::TestWithParam<IndexCase> {};

TEST_P(IndexAfterSteps, HasItsFieldsAndFlags) {
    const auto& expected = GetParam();
    const db::TableDef table = upgradedProject().table(expected.table);
    const db::IndexDef* index = table.findIndex(expected.index);
    ASSERT_NE(index, nullptr) << expected.table << "." << expected.index;
    EXPECT_EQ(index->fields, expected.fields);
    EXPECT_EQ(index->primary, expected.primary);
    EXPECT_EQ(index->unique, expected.unique);
    EXPECT_EQ(index->required, expected.required);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, IndexAfterSteps,
    ::testing::Values(
        IndexCase{"TidxGroups", "PIDName", {"ParentID", "Name"}, false, true, false},
        IndexCase{"TidxFonts", "Name", {"Name"}, false, true, false},
        IndexCase{"TchrTrends", "Name", {"ArchiveID", "Name"}, false, true, false},
        IndexCase{"TchrArchives", "FileNameID", {"FileName"}, false, false, false},
        IndexCase{"TpdbItems", "UniqueItemAccess", {"ItemAccess", "DeviceID"}, false, true, false},
        IndexCase{"TpdbItems", "UniqueName", {"Name", "DeviceID"}, false, true, false},
        IndexCase{"TcfgBinary", "ID", {"ID"}, true, false, false},
        IndexCase{
            "TcfgBinary", "PIDSectionEntry", {"ParentID", "Section", "Entry"}, false, true, false},
        IndexCase{"TpdbSimulation", "ItemID", {"ItemID"}, true, true, true},
        IndexCase{"TpdbAlign", "ItemID", {"ItemID"}, true, true, false}));

TEST(FirstSteps, RemoveAndRenameTheOldColumns) {
    LegacyProject project;
    project.runThrough(firstSteps.size() - 1);
    const std::vector<std::pair<const char*, const char*>> gone = {
        {"TalaMessages", "MessageHelpID"},    {"TalaMessages", "HelpIndex"},
        {"TchrArchives", "FileNameID"},       {"TpdbItems", "UnitClassID"},
        {"TpdbStructMembers", "UnitClassID"}, {"TpdbUnits", "PhysicalMaxVal"},
        {"TpdbUnits", "PhysicalMinVal"}};
    for (const auto& [table, column] : gone) {
        EXPECT_EQ(project.table(table).findField(column), nullptr) << table << "." << column;
    }
    EXPECT_NE(project.table("TpdbItems").findField("UnitClassIDDisplayDependent"), nullptr);
    EXPECT_NE(project.table("TpdbStructMembers").findField("UnitClassIDDisplayDependent"), nullptr);
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
