#include "CheckTestBed.h"
#include "db/json/DatabaseJson.h"
#include "dbupgrade/CheckProjectDatabase.h"
#include "dbupgrade/VersionLadder.h"

#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

namespace korvana::dbupgrade {
namespace {

using nlohmann::json;

std::string shown(const json& value) {
    return value.is_null() ? std::string("none") : value.dump();
}

// The schema of a dump by table name: its columns in column order, its
// indexes by name. Rows are left out of the dump.
std::map<std::string, json> tablesOf(const std::string& file) {
    const json dump = json::parse(db::json::dumpDatabase(file, false));
    std::map<std::string, json> tables;
    for (const auto& table : dump.at("tables")) {
        tables[table.at("name").get<std::string>()] = table;
    }
    return tables;
}

// Where one table of the upgraded project differs from the template's table.
// Column positions are compared as the columns' order only: the template
// numbers its columns 0, 1, 2, ..., while a project keeps the positions the
// steps gave its columns, and Jet leaves the other columns' positions alone
// when one is placed, so that two columns may share one (TpdbItems'
// "UnitClassIDItemDependent" and "StructID" both stand at 11).
std::vector<std::string> differences(const json& upgraded, const json& expected) {
    std::vector<std::string> found;

    std::vector<std::string> upgradedOrder;
    std::vector<std::string> expectedOrder;
    std::map<std::string, json> upgradedColumns;
    for (const auto& column : upgraded.at("columns")) {
        upgradedOrder.push_back(column.at("name"));
        upgradedColumns[column.at("name")] = column;
    }
    for (const auto& column : expected.at("columns")) {
        expectedOrder.push_back(column.at("name"));
        const std::string name = column.at("name");
        const auto here = upgradedColumns.find(name);
        if (here == upgradedColumns.end()) {
            found.push_back("column '" + name + "' is missing");
            continue;
        }
        for (const char* key :
             {"type", "size", "required", "allowZeroLength", "default", "autoNumber"}) {
            if (here->second.at(key) != column.at(key)) {
                found.push_back("column '" + name + "': " + key + " " +
                                shown(here->second.at(key)) + ", the template has " +
                                shown(column.at(key)));
            }
        }
        // Property order means nothing to a field, and a parsed object has none.
        if (here->second.at("properties") != column.at("properties")) {
            found.push_back("column '" + name + "': properties " +
                            here->second.at("properties").dump() + ", the template has " +
                            column.at("properties").dump());
        }
        upgradedColumns.erase(here);
    }
    for (const auto& [name, column] : upgradedColumns) {
        found.push_back("column '" + name + "' is not in the template");
    }
    if (upgradedOrder != expectedOrder) {
        std::string order;
        for (const auto& name : upgradedOrder) {
            order += (order.empty() ? "" : ", ") + name;
        }
        found.push_back("columns in the order " + order + ", unlike the template");
    }

    std::map<std::string, json> upgradedIndexes;
    for (const auto& index : upgraded.at("indexes")) {
        upgradedIndexes[index.at("name")] = index;
    }
    for (const auto& index : expected.at("indexes")) {
        const std::string name = index.at("name");
        const auto here = upgradedIndexes.find(name);
        if (here == upgradedIndexes.end()) {
            found.push_back("index '" + name + "' is missing");
            continue;
        }
        for (const char* key : {"fields", "primary", "unique", "required"}) {
            if (here->second.at(key) != index.at(key)) {
                found.push_back("index '" + name + "': " + key + " " + shown(here->second.at(key)) +
                                ", the template has " + shown(index.at(key)));
            }
        }
        upgradedIndexes.erase(here);
    }
    for (const auto& [name, index] : upgradedIndexes) {
        found.push_back("index '" + name + "' is not in the template");
    }
    return found;
}

class LadderSchema : public ::testing::Test, protected test::CheckTestBed {};

// The check climbs every rung of the real ladder from a project as an old
// release left it; the schema it ends with is the one a project made from the
// current template starts with.
TEST_F(LadderSchema, UpgradedLegacyProjectHasTheTemplatesSchema) {
    db::json::createDatabaseFromJson(projectFile.string(),
                                     test::fixtureText("legacy-project.json"));
    const auto result = CheckProjectDatabase(environment(versionLadder()), "Plant");
    ASSERT_EQ(result.outcome, CheckOutcome::Checked) << result.reason;
    EXPECT_EQ(result.stepsRun.size(), versionLadder().size());
    EXPECT_EQ(setting("DBVersion"), currentDbVersion);
    // Every operation of every step applies to the legacy project: none is
    // skipped, so none is logged.
    for (const auto& line : log.lines) {
        ADD_FAILURE() << "logged: " << line;
    }

    const auto upgraded = tablesOf(projectFile.string());
    const auto expected = tablesOf(templateFile.string());
    ASSERT_FALSE(expected.empty());
    std::set<std::string> names;
    for (const auto& [name, table] : upgraded) {
        names.insert(name);
    }
    for (const auto& [name, table] : expected) {
        names.insert(name);
    }
    for (const auto& name : names) {
        const auto here = upgraded.find(name);
        const auto there = expected.find(name);
        if (here == upgraded.end()) {
            ADD_FAILURE() << "table '" << name << "' is missing";
        } else if (there == expected.end()) {
            ADD_FAILURE() << "table '" << name << "' is not in the template";
        } else {
            std::string lines;
            for (const auto& line : differences(here->second, there->second)) {
                lines += "\n  " + line;
            }
            EXPECT_TRUE(lines.empty()) << "table '" << name << "' differs:" << lines;
        }
    }
}

} // namespace
} // namespace korvana::dbupgrade
