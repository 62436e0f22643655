#pragma once

#include "db/Sqlite.h"
#include "db/TableDef.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvana::db {

// The engine's record of what SQLite's schema cannot say: per column the DAO
// type, size, Required, AllowZeroLength, default expression, auto number and
// OrdinalPosition; per field its named properties; per index its flags. The
// columns' physical order and the index fields come from SQLite itself, so the
// two can only disagree about membership, which `verify` checks.
class Catalogue {
  public:
    explicit Catalogue(sqlite::Database& db) : db_(db) {}

    // Creates the catalogue tables in a new database.
    static void create(sqlite::Database& db);
    // The first catalogue table the database lacks; nothing when it has them
    // all. Every database this engine made has them from its first commit, so
    // a database without them was made by something else. Reads only.
    static std::optional<std::string> missingTable(sqlite::Database& db);

    // Raises korvana::Error when the catalogue is missing or names tables,
    // columns or indexes the schema does not have (or the other way round).
    void verify() const;

    // Where the catalogue and SQLite's schema disagree about the one table
    // `table`, if they do; a table that is gone must have left no record.
    // Stricter than `verify`: the schema has no index the catalogue lacks, the
    // columns stand in the order of their positions, and every property
    // belongs to a recorded column. Every schema operation keeps all of this,
    // and debug builds check it when one ends; looking at one table keeps
    // that cheap however large the database is.
    std::optional<std::string> disagreementAbout(std::string_view table) const;

    // User tables in the stored spelling, sorted without regard to case.
    std::vector<std::string> tableNames() const;
    std::optional<std::string> storedTableName(std::string_view table) const;
    // Any schema object (table, index, view, trigger) of that name.
    bool schemaObjectExists(std::string_view name) const;

    // The definition with fields in column order. Raises errors::itemNotFound
    // for a missing table.
    TableDef load(std::string_view table) const;
    // Replaces everything recorded for `definition.name`.
    void save(const TableDef& definition);
    void remove(std::string_view table);

  private:
    sqlite::Database& db_;
};

} // namespace korvana::db
