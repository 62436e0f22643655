#pragma once

#include "db/Database.h"

#include <nlohmann/json.hpp>

namespace korvana::db::json {

// Writes a database as a JSON description that reads back to the same
// database: every key of every column and index is written, columns in column
// order, tables and indexes by name, rows (when asked for) in key order.
class DescriptionWriter {
  public:
    explicit DescriptionWriter(Database& db) : db_(db) {}

    nlohmann::ordered_json describe(bool withRows);

  private:
    nlohmann::ordered_json describeTable(const TableDef& table, bool withRows);
    nlohmann::ordered_json describeRows(const TableDef& table);
    nlohmann::ordered_json describeSettings();

    Database& db_;
};

} // namespace korvana::db::json
