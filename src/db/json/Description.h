#pragma once

#include "db/SettingsTable.h"
#include "db/TableDef.h"
#include "db/Value.h"

#include <string>
#include <utility>
#include <vector>

// A database described as data: the schema of its tables, their rows and the
// project settings. It is what the JSON description of a project database reads
// into and what a database is written from.
namespace korvana::db::json {

// One row: column names (as the description wrote them) with their values.
using RowValues = std::vector<std::pair<std::string, Value>>;

struct TableDescription {
    TableDef definition;
    std::vector<RowValues> rows;
};

struct Description {
    std::vector<TableDescription> tables;
    std::vector<SettingRow> settings; // as the settings table keeps them
};

} // namespace korvana::db::json
