#pragma once

#include "db/Sqlite.h"
#include "db/TableDef.h"
#include "db/json/Description.h"

#include <map>
#include <string>

namespace korvana::db::json {

// Adds rows to one table with the values given, auto numbers included (a
// description keeps the IDs that rows refer to each other by). Columns left out
// get their defaults. The rows go through the table's real constraints, so a
// row the table would refuse is refused here too.
class RowWriter {
  public:
    RowWriter(sqlite::Database& db, TableDef table) : db_(db), table_(std::move(table)) {}

    void insert(const RowValues& row);

  private:
    sqlite::Statement& statementFor(const std::vector<const FieldDef*>& fields);

    sqlite::Database& db_;
    TableDef table_;
    // Rows of a description mostly name the same columns: one statement each.
    std::map<std::string, sqlite::Statement> statements_;
};

} // namespace korvana::db::json
