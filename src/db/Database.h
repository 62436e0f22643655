#pragma once

#include "db/IndexDef.h"
#include "db/Property.h"
#include "db/Recordset.h"
#include "db/Sqlite.h"
#include "db/TableDef.h"
#include "db/Value.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvana::db {

class Catalogue;

// The rows of a SELECT run through `query`.
struct QueryResult {
    std::vector<std::string> columns;
    std::vector<std::vector<Value>> rows;
};

// A project database: SQLite tables with real constraints, plus a catalogue of
// what SQLite cannot hold (DAO types, default expressions, properties, column
// positions, index flags). Every schema operation changes the real schema and
// the catalogue together inside one savepoint, so a failing operation leaves
// nothing half-done and raises korvana::Error naming the table, field or index.
// Callers may wrap a run of operations in `transaction()`.
class Database {
  public:
    // Whether a commit waits until its data is on the disk. A scratch database
    // (the database check's working copy) is thrown away unread after a crash,
    // so waiting for the disk after each of its commits would buy nothing.
    enum class Durability { Flushed, Scratch };

    // Opens an existing project database shared, read-write. A file that is not
    // an SQLite database, a truncated file or a database without a consistent
    // catalogue is refused and left untouched.
    static Database open(const std::string& path, Durability durability = Durability::Flushed);
    // Makes a new, empty project database; refuses an existing file.
    static Database create(const std::string& path);

    Database(Database&&) noexcept;
    Database& operator=(Database&&) noexcept;
    ~Database();

    void close();
    bool isOpen() const { return connection_ != nullptr; }
    const std::string& path() const { return path_; }

    // Tables, without the engine's own.
    std::vector<std::string> tableNames() const;
    bool hasTable(std::string_view name) const;
    // Fails with errors::itemNotFound for a missing table.
    TableDef tableDef(std::string_view name) const;

    // Fails and changes nothing when the table exists.
    void appendTableDef(const TableDef& definition);
    void deleteTableDef(std::string_view table);

    void appendField(std::string_view table, const FieldDef& field);
    void renameField(std::string_view table, std::string_view oldName, std::string_view newName);
    void deleteField(std::string_view table, std::string_view field);
    // Deletes the fields `deleted` and appends `appended` in one change that
    // lays the table out anew once, where a field at a time would alter it for
    // each: for small tables with a column per item of a list, such as the
    // languages of a project. Refuses what deleteField and appendField refuse,
    // and an auto number among the appended fields. Stored rows hold Null in
    // the appended fields, as appendField leaves them.
    void changeFields(std::string_view table, const std::vector<std::string>& deleted,
                      const std::vector<FieldDef>& appended);
    void setRequired(std::string_view table, std::string_view field, bool required);
    void setAllowZeroLength(std::string_view table, std::string_view field, bool allow);
    // Nothing (or an empty expression) removes the default. Rows already stored
    // keep their values.
    void setDefaultValue(std::string_view table, std::string_view field,
                         std::optional<std::string> expression);
    void setOrdinalPosition(std::string_view table, std::string_view field, int position);

    // Replaces column `field` by a column of definition `replacement` (same
    // name) holding the values `copyStatement` computes: the new column is added
    // under the name field + "Temp", the statement fills it, the old column is
    // dropped and the new one renamed and placed. When the copy fails nothing is
    // changed, so the old values are never lost.
    void changeField(std::string_view table, const FieldDef& replacement,
                     std::string_view copyStatement);

    void appendProperty(std::string_view table, std::string_view field, const Property& property);
    Property property(std::string_view table, std::string_view field, std::string_view name) const;
    void setProperty(std::string_view table, std::string_view field, std::string_view name,
                     const Value& value);

    void appendIndex(std::string_view table, const IndexDef& index);
    void deleteIndex(std::string_view table, std::string_view index);
    void setIndexPrimary(std::string_view table, std::string_view index, bool primary);
    void setIndexUnique(std::string_view table, std::string_view index, bool unique);
    void setIndexRequired(std::string_view table, std::string_view index, bool required);

    // Runs one action statement (UPDATE, INSERT, DELETE) of the Jet dialect and
    // returns the number of rows it touched. A SELECT is refused.
    std::int64_t execute(std::string_view jetSql);
    // Runs one SELECT of the Jet dialect.
    QueryResult query(std::string_view jetSql);

    Recordset openRecordset(std::string_view table, RecordsetType type = RecordsetType::Table);

    // BEGIN IMMEDIATE ... COMMIT around a whole step; rolled back unless
    // committed.
    sqlite::Transaction transaction();

    // Compacts the closed database `source` into the new file `destination`
    // (which must not exist). On failure no destination is left behind.
    static void compact(const std::string& source, const std::string& destination);

    // The SQLite connection, for the settings store and for tests.
    sqlite::Database& connection() const;

  private:
    Database(std::string path, std::shared_ptr<sqlite::Database> connection);
    Catalogue catalogue() const;

    std::string path_;
    std::shared_ptr<sqlite::Database> connection_;
};

} // namespace korvana::db
