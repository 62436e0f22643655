#include "db/Database.h"
#include "db/InternalTables.h"
#include "db/json/DatabaseJson.h"
#include "db/json/DescriptionReader.h"
#include "platform/Error.h"
#include "platform/ErrorNumbers.h"
#include "platform/TextUtil.h"
#include "support/ScratchDir.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>

namespace korvana::db::json {
namespace {

using korvana::test::readFile;
using korvana::test::ScratchDir;
using korvana::test::writeFile;
using nlohmann::json;

std::string fixture(const char* name) {
    return readFile(std::filesystem::path(KORVANA_SOURCE_DIR) / "tests" / "fixtures" / name);
}

const json* findNamed(const json& list, const std::string& name) {
    for (const json& item : list) {
        if (item.at("name") == name) {
            return &item;
        }
    }
    return nullptr;
}

// Every key the description gives must come back with the same value; keys it
// leaves out may come back with their defaults.
void expectContains(const json& dump, const json& given, const std::string& where) {
    if (given.is_object()) {
        ASSERT_TRUE(dump.is_object()) << where;
        for (const auto& item : given.items()) {
            ASSERT_TRUE(dump.contains(item.key())) << where << "." << item.key();
            expectContains(dump[item.key()], item.value(), where + "." + item.key());
        }
    } else if (given.is_array() && !given.empty() && given[0].is_object() &&
               given[0].contains("name")) {
        ASSERT_EQ(dump.size(), given.size()) << where;
        for (const json& item : given) {
            const json* match = findNamed(dump, item["name"]);
            ASSERT_NE(match, nullptr) << where << ": " << item["name"];
            expectContains(*match, item, where + "[" + item["name"].get<std::string>() + "]");
        }
    } else if (given.is_array()) {
        ASSERT_EQ(dump.size(), given.size()) << where;
        for (std::size_t i = 0; i < given.size(); ++i) {
            expectContains(dump[i], given[i], where + "[" + std::to_string(i) + "]");
        }
    } else {
        EXPECT_EQ(dump, given) << where;
    }
}

class DescriptionTest : public ::testing::Test {
  protected:
    std::string path(const char* name = "project.kvs") const { return (scratch_ / name).string(); }

    json createAndDump(const std::string& description, bool rows = true) {
        createDatabaseFromJson(path(), description);
        return json::parse(dumpDatabase(path(), rows));
    }

    ScratchDir scratch_;
};

TEST_F(DescriptionTest, LegacyFixtureLoadsAndDumpsWhatItDescribes) {
    const std::string text = fixture("legacy-project.json");
    const json dump = createAndDump(text);
    json given = json::parse(text);
    expectContains(dump["tables"], given["tables"], "tables");
    // Settings come back by section and key.
    std::sort(given["settings"].begin(), given["settings"].end(), [](const json& a, const json& b) {
        return toLowerAscii(a["section"].get<std::string>() + "/" + a["key"].get<std::string>()) <
               toLowerAscii(b["section"].get<std::string>() + "/" + b["key"].get<std::string>());
    });
    expectContains(dump["settings"], given["settings"], "settings");

    // Dumping what was dumped changes nothing: the format reads its own output.
    const std::string first = dumpDatabase(path(), true);
    createDatabaseFromJson(path("again.kvs"), first);
    EXPECT_EQ(dumpDatabase(path("again.kvs"), true), first);
}

TEST_F(DescriptionTest, LegacyFixtureHoldsWhatTheUpgradeStartsFrom) {
    const json dump = createAndDump(fixture("legacy-project.json"));
    const json& tables = dump["tables"];
    const struct {
        const char* table;
        const char* column; // nullptr: the table must not exist yet
    } cases[] = {
        {"TalaMessages", "MessageHelpID"},
        {"TalaMessages", "HelpIndex"},
        {"TidxFonts", "Name"},
        {"TchrTrends", "ArchiveID"},
        {"TalaMessageClasses", "Sign1"},
        {"TalaMessageClasses", "Sign4"},
        {"TidxTexts", "L1031"},
        {"TidxTexts", "L1033"},
        {"TidxTexts", "ParamNames"},
        {"TidxTextFlags", "L1031"},
        {"TidxFontClasses", "L1033"},
        {"TchrArchives", "FileNameID"},
        {"TchrArchives", "MaxSamples"},
        {"TchrArchives", "NewFile"},
        {"TpdbItems", "UnitClassID"},
        {"TpdbItems", "ItemAccess"},
        {"TpdbStructMembers", "OrderNum"},
        {"TpdbUnits", "PhysicalMaxVal"},
        {"TidxControls", "FontClassID"},
        {"TcfgLanguages", "KBLayout"},
        {"TpdbUnitClasses", "Name"},
        {"TpdbDevices", "Name"},
        {"TcfgBinary", nullptr},
        {"TusrUsers", nullptr},
        {"TvbfFormulas", nullptr},
        {"TalaMessageOutput", nullptr},
        {"TrcpRecipe", nullptr},
        {"TpdbSimulation", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        const json* table = findNamed(tables, c.table);
        if (c.column == nullptr) {
            EXPECT_EQ(table, nullptr);
            continue;
        }
        ASSERT_NE(table, nullptr);
        EXPECT_NE(findNamed((*table)["columns"], c.column), nullptr) << c.column;
    }
    const json& trends = (*findNamed(tables, "TchrTrends"))["columns"];
    ASSERT_GE(trends.size(), 31u);
    EXPECT_EQ(trends[16]["name"], "Unit");
    EXPECT_EQ(findNamed(tables, "TidxFonts")->at("indexes").size(), 1u); // no "Name" index yet

    const json& groups = (*findNamed(tables, "TidxGroups"))["rows"];
    int systemRoots = 0;
    for (const json& row : groups) {
        systemRoots += row["Type"] == -100 && row["ParentID"] == 0 ? 1 : 0;
    }
    EXPECT_EQ(systemRoots, 1);
    for (const json& setting : dump["settings"]) {
        EXPECT_NE(setting["key"], "DBVersion");
    }
}

TEST_F(DescriptionTest, TemplateFixtureHasTheCurrentLayout) {
    const json dump = createAndDump(fixture("template-project.json"));
    const json& tables = dump["tables"];
    const json& trends = (*findNamed(tables, "TchrTrends"))["columns"];
    ASSERT_EQ(trends.size(), 32u);
    EXPECT_EQ(trends[16]["name"], "Unit");
    EXPECT_EQ(trends[16]["size"], 255);
    EXPECT_EQ(trends[31]["name"], "Name");
    EXPECT_EQ(trends[31]["size"], 50);
    EXPECT_EQ(trends[31]["required"], true);
    const json& texts = (*findNamed(tables, "TidxTexts"))["columns"];
    EXPECT_EQ(texts[4]["name"], "Description");
    EXPECT_EQ(texts[5]["default"], "\"\"");
    EXPECT_NE(findNamed(tables, "TcfgBinary"), nullptr);
    EXPECT_EQ(findNamed(findNamed(tables, "TusrUsers")->at("columns"), "Enabled"), nullptr);
}

TEST_F(DescriptionTest, LeftOutKeysTakeTheirDefaultsAndDumpWritesEveryKey) {
    const json dump = createAndDump(R"({"tables": [{"name": "T", "columns": [
        {"name": "Txt", "type": 10}, {"name": "Num", "type": 4},
        {"name": "Fix", "type": 18, "size": 8, "default": 0}]}]})",
                                    false);
    const json& columns = dump["tables"][0]["columns"];
    EXPECT_EQ(columns[0], json::parse(R"({"name": "Txt", "type": 10, "size": 255,
        "required": false, "allowZeroLength": false, "default": null, "position": 0,
        "autoNumber": false, "properties": {}})"));
    EXPECT_EQ(columns[1]["size"], 4); // what DAO reports for a Long
    EXPECT_EQ(columns[1]["position"], 1);
    EXPECT_EQ(columns[2]["default"], "0");
    EXPECT_EQ(dump["tables"][0]["indexes"], json::array());
    EXPECT_FALSE(dump["tables"][0].contains("rows"));
    EXPECT_EQ(dump["settings"], json::array());
}

TEST_F(DescriptionTest, ValuesAndSettingsKeepTheirTypes) {
    const json dump = createAndDump(R"({"tables": [{"name": "V",
        "columns": [{"name": "ID", "type": 4, "autoNumber": true}, {"name": "B", "type": 1},
                    {"name": "D", "type": 8}, {"name": "Bin", "type": 11},
                    {"name": "S", "type": 6}, {"name": "T", "type": 12, "allowZeroLength": true},
                    {"name": "I", "type": 3}],
        "indexes": [{"name": "PrimaryKey", "fields": ["ID"], "primary": true}],
        "rows": [{"ID": 7, "B": true, "D": "2024-02-29 23:59:58", "Bin": {"hex": "00ff0A"},
                  "S": 1.5, "T": "Übertemperatur \"Kessel\"", "I": -32768},
                 {"ID": 3, "B": false, "D": null, "Bin": null, "S": null, "T": "", "I": null}]}],
        "settings": [{"section": "Global", "key": "DBVersion", "type": "string", "value": "4.01.007"},
                     {"section": "Global", "key": "LCID", "type": "int32", "value": 1031},
                     {"section": "ServerComponents", "key": "KVPdb", "type": "int16", "value": 1},
                     {"section": "Global", "key": "DateCreated", "type": "date",
                      "value": "2001-05-06 07:08:09"}]})");
    const json& rows = dump["tables"][0]["rows"];
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0]["ID"], 3); // key order, not order of entry
    EXPECT_EQ(rows[0]["B"], false);
    EXPECT_EQ(rows[1], json::parse(R"({"ID": 7, "B": true, "D": "2024-02-29 23:59:58",
        "Bin": {"hex": "00ff0a"}, "S": 1.5, "T": "Übertemperatur \"Kessel\"", "I": -32768})"));
    EXPECT_EQ(dump["settings"].size(), 4u);
    EXPECT_EQ(dump["settings"][0]["key"], "DateCreated"); // by section, then key
    EXPECT_EQ(dump["settings"][0]["type"], "date");
    EXPECT_EQ(dump["settings"][3]["type"], "int16");

    // The settings table itself uses the Variant type numbers and is not a table
    // of the project.
    Database db = Database::open(path());
    auto types = db.connection().prepare("SELECT group_concat(Type) FROM (SELECT Type FROM "
                                         "kv_settings ORDER BY Section, Key)");
    ASSERT_TRUE(types.step());
    EXPECT_EQ(types.getText(0), "7,8,3,2");
    for (const json& table : dump["tables"]) {
        EXPECT_NE(table["name"].get<std::string>().rfind("kv_", 0), 0u);
    }
}

TEST_F(DescriptionTest, SettingsAtTheEdgesOfTheirTypesComeBackAsGiven) {
    const json settings = json::parse(R"([
        {"section": "Edges", "key": "Date", "type": "date", "value": "0001-01-01 00:00:00"},
        {"section": "Edges", "key": "Int16High", "type": "int16", "value": 32767},
        {"section": "Edges", "key": "Int16Low", "type": "int16", "value": -32768},
        {"section": "Edges", "key": "Int32High", "type": "int32", "value": 2147483647},
        {"section": "Edges", "key": "Int32Low", "type": "int32", "value": -2147483648},
        {"section": "Edges", "key": "Text", "type": "string", "value": "0042"}])");
    EXPECT_EQ(createAndDump(json{{"settings", settings}}.dump())["settings"], settings);
}

// A dump reads the settings as the settings store does: a row it would refuse
// is not written out as if it were sound.
TEST_F(DescriptionTest, DumpRefusesStoredSettingsThatDoNotFitTheirType) {
    const struct {
        const char* type;
        const char* value;
    } cases[] = {{"2", "40000"}, {"3", "'abc'"}, {"7", "'31.12.2020'"}, {"99", "1"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " " + c.value);
        std::filesystem::remove(path());
        createDatabaseFromJson(
            path(), R"({"settings": [{"section": "G", "key": "K", "type": "int16", "value": 1}]})");
        {
            Database db = Database::open(path());
            db.connection().exec(std::string("UPDATE kv_settings SET Type = ") + c.type +
                                 ", Value = " + c.value);
        }
        try {
            dumpDatabase(path(), false);
            ADD_FAILURE() << "dumped";
        } catch (const Error& error) {
            EXPECT_EQ(error.number(), runtimeErrors::typeMismatch) << error.what();
            EXPECT_NE(std::string(error.what()).find("'G/K'"), std::string::npos) << error.what();
        }
    }
}

TEST_F(DescriptionTest, RefusesFaultyDescriptionsAndLeavesNoFile) {
    const auto table = [](const std::string& columns, const std::string& more = "") {
        return R"({"tables": [{"name": "T", "columns": [)" + columns + "]" + more + "}]}";
    };
    const std::string id = R"({"name": "ID", "type": 4})";
    const struct {
        std::string description;
        const char* mention;
    } cases[] = {
        {"{", "not valid JSON"},
        // Beyond a double: refused, with the place, instead of ending the program.
        {table(id, R"(, "rows": [{"ID": 1E999}])"), "1E999 at byte offset 82 is out of range"},
        {R"({"tables": [], "extra": 1})", "\"extra\""},
        {table(R"({"name": "A", "type": 13})"), "unknown type 13"},
        {table(R"({"name": "A", "type": "10"})"), "unknown type"},
        {table(R"({"name": "A", "type": -4294967292})"), "unknown type"},
        {table(R"({"name": "A", "type": 4294967300})"), "unknown type"},
        {table(R"({"name": "A", "type": 4, "autonumber": true})"), "\"autonumber\""},
        {table(R"({"name": "A", "type": 10, "size": 300})"), "size"},
        {table(R"({"name": "A", "type": 10}, {"name": "a", "type": 4})"), "named twice"},
        {table(R"({"name": "A", "type": 10, "type": 4})"), "appears twice"},
        {table(R"({"name": "A", "type": 10, "autoNumber": true})"), "auto number"},
        {R"({"tables": [{"name": "T", "columns": [{"name": "A", "type": 4}]},
                        {"name": "t", "columns": [{"name": "A", "type": 4}]}]})",
         "'t' is named twice"},
        {R"({"tables": [{"name": "kv_columns", "columns": [{"name": "A", "type": 4}]}]})",
         "reserved"},
        {R"({"tables": [{"name": "T", "columns": []}]})", "no columns"},
        {table(id, R"(, "indexes": [{"name": "X", "fields": ["Nope"]}])"), "'Nope'"},
        {table(
             id,
             R"(, "indexes": [{"name": "X", "fields": ["ID"]}, {"name": "x", "fields": ["ID"]}])"),
         "named twice"},
        {table(id, R"(, "rows": [{"Nope": 1}])"), "row 1: unknown column 'Nope'"},
        {table(id, R"(, "rows": [{"ID": "1"}])"), "32-bit whole number"},
        {table(id, R"(, "rows": [{"ID": 2147483648}])"), "32-bit whole number"},
        {table(id, R"(, "rows": [{"ID": 1, "id": 2}])"), "named twice"},
        {table(id, R"(, "rows": [{"ID": )" + std::string(100000, '[') + std::string(100000, ']') +
                       "}]"),
         "found an array"},
        {table(R"({"name": "D", "type": 8})", R"(, "rows": [{"D": "2023-02-29 00:00:00"}])"),
         "YYYY-MM-DD"},
        {table(R"({"name": "B", "type": 11})", R"(, "rows": [{"B": {"hex": "0g"}}])"), "hex"},
        {table(R"({"name": "B", "type": 1})", R"(, "rows": [{"B": 1}])"), "true or false"},
        {R"({"settings": [{"section": "G", "key": "K", "type": "int64", "value": 1}]})",
         "unknown type int64"},
        {R"({"settings": [{"section": "G", "key": "K", "type": "int16", "value": 40000}]})",
         "16-bit"},
        {R"({"settings": [{"section": "G", "key": "K", "type": "int16", "value": -32769}]})",
         "16-bit"},
        {R"({"settings": [{"section": "G", "key": "K", "type": "int32", "value": 2147483648}]})",
         "32-bit"},
        {R"({"settings": [{"section": "G", "key": "K", "type": "int32",
                           "value": 18446744073709551615}]})",
         "32-bit"},
        {R"({"settings": [{"section": "G", "key": "K", "type": "INT16", "value": 1}]})",
         "unknown type INT16"},
        {R"({"settings": [{"section": "G", "key": "K", "type": "date",
                           "value": "2023-02-29 00:00:00"}]})",
         "YYYY-MM-DD"},
        {R"({"settings": [{"section": "G", "key": "K", "type": "string", "value": null}]})",
         "must not be null"},
        {R"({"settings": [{"section": "G", "key": "K", "type": "string", "value": "a"},
                          {"section": "g", "key": "k", "type": "string", "value": "b"}]})",
         "named twice"},
        // Checked only by the database itself: the row breaks a real constraint.
        {table(R"({"name": "A", "type": 10, "required": true})", R"(, "rows": [{"A": null}])"),
         "'T'"},
        {table(id, R"(, "indexes": [{"name": "U", "fields": ["ID"], "unique": true}],
                   "rows": [{"ID": 1}, {"ID": 1}])"),
         "'T'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        try {
            createDatabaseFromJson(path(), c.description);
            ADD_FAILURE() << "accepted";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.mention), std::string::npos) << e.what();
        }
        EXPECT_FALSE(std::filesystem::exists(path()));
    }
}

TEST_F(DescriptionTest, NeverOverwritesAnExistingFile) {
    writeFile(path(), "precious");
    EXPECT_THROW(createDatabaseFromJson(path(), R"({"tables": []})"), Error);
    EXPECT_EQ(readFile(path()), "precious");
}

} // namespace
} // namespace korvana::db::json
