#pragma once

#include "db/TableDef.h"
#include "db/Value.h"

#include <string>
#include <utility>
#include <vector>

// A database described as data: the schema of its tables, their rows and the
// project settings. It is what the JSON description of a project database reads
// into and what a database is written from.
namespace korvana::db::json {

// The settings value types, numbered as the settings table stores them.
enum class SettingType { String = 8, Int32 = 3, Int16 = 2, Date = 7 };

struct Setting {
    std::string section;
    std::string key;
    SettingType type = SettingType::String;
    Value value; // std::string, std::int64_t or DateTime after the type
};

// One row: column names (as the description wrote them) with their values.
using RowValues = std::vector<std::pair<std::string, Value>>;

struct TableDescription {
    TableDef definition;
    std::vector<RowValues> rows;
};

struct Description {
    std::vector<TableDescription> tables;
    std::vector<Setting> settings;
};

} // namespace korvana::db::json
