#pragma once

#include "db/Sqlite.h"
#include "db/json/Description.h"

#include <vector>

namespace korvana::db::json {

// The project settings kept in the database's settings table, read and written
// as whole rows (section, key, type, value). The settings store proper lives
// above this layer; descriptions only need to carry the rows over.
class SettingsTable {
  public:
    explicit SettingsTable(sqlite::Database& db) : db_(db) {}

    // Adds or replaces each setting.
    void write(const std::vector<Setting>& settings);
    // All settings, by section and key. A row of an unknown type is refused.
    std::vector<Setting> read();

  private:
    sqlite::Database& db_;
};

} // namespace korvana::db::json
