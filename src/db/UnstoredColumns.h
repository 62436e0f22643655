#pragma once

#include "db/Sqlite.h"

#include <string_view>

namespace korvana::db {

// Which columns some stored rows may not hold. SQLite keeps a row as it was
// written: a column appended later is missing from it, and such a row reads
// whatever default the table's definition gives that column today. Only when
// a column's default changes does that matter, and then finding those rows
// means reading the whole table; this record says where there can be none.
//
// The record is a table of the project file itself, so that a savepoint
// rolled back takes back what it recorded too. A file made before the record
// existed has no such table, and every column there may be missing from rows.
class UnstoredColumns {
  public:
    explicit UnstoredColumns(sqlite::Database& db) : db_(db) {}

    // Creates the empty record in a new database.
    static void create(sqlite::Database& db);

    bool mayBeMissing(std::string_view table, std::string_view column);
    // `column` was appended to a table that has rows, and they do not hold it.
    void appended(std::string_view table, std::string_view column);
    void renamed(std::string_view table, std::string_view oldName, std::string_view newName);
    // Every row now holds `column`.
    void filled(std::string_view table, std::string_view column);
    // Every row of `table` was written anew with all its columns.
    void rewritten(std::string_view table);

  private:
    bool kept();

    sqlite::Database& db_;
};

} // namespace korvana::db
