#pragma once

#include "db/Sqlite.h"
#include "db/TableDef.h"
#include "db/jet/JetSql.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvana::db {

// Writes table definitions into SQLite's schema: tables whose columns carry the
// types, auto number, defaults and NOCASE collation; real (unique) indexes; and
// per field an insert and an update trigger that enforce Required, AllowZeroLength, Text sizes,
// number ranges and index Null rules. The rules live in triggers rather than in CHECK or NOT NULL
// because a rule given to a table with rows holds for rows written afterwards, not for the stored
// ones. The caller provides the savepoint and keeps the catalogue in step.
class SchemaWriter {
  public:
    explicit SchemaWriter(sqlite::Database& db) : db_(db) {}

    // Orders fields by OrdinalPosition, keeping the present order among equal
    // positions, except that `moved` goes first among its equals: it is the
    // field just placed there.
    static void sortFields(std::vector<FieldDef>& fields, std::string_view moved = {});

    // Table, indexes and triggers of a new table.
    void createTable(const TableDef& definition);
    void createIndex(const TableDef& definition, const IndexDef& index);
    // True for an index on the auto number alone: SQLite keeps that column as
    // the table's rowid, which is unique and ordered already.
    static bool duplicatesRowid(const TableDef& definition, const IndexDef& index);
    void dropIndex(std::string_view table, std::string_view index);

    // Appends `field` (already part of `after`) in place. Rows already stored
    // keep Null (a Boolean: False); only rows written later get the default.
    void addColumn(const TableDef& after, const FieldDef& field);
    void renameColumn(const TableDef& after, std::string_view oldName, std::string_view newName);
    void dropColumn(const TableDef& after, std::string_view field);

    // A field of the new layout filled otherwise than from the field of the
    // same name: from the field `from`, or else with the values `expression`
    // (SQLite, over the old table's columns, with its bound `parameters`)
    // computes, which must then keep the field's rules.
    struct FieldSource {
        std::string_view field;
        std::string_view from;
        std::string expression;
        std::vector<jet::SqlValue> parameters;
    };

    // Copies `current` into a new table laid out as `target` (fields in
    // column order) and puts it in its place, keeping rows, the auto number
    // counter, indexes and rules. Each field of `target` takes the values of
    // the field of the same name, or of its `source`; fields unknown to
    // `current` start out Null.
    void rebuild(const TableDef& current, const TableDef& target,
                 const std::optional<FieldSource>& source = std::nullopt);

    // Does what rebuild does without a source, for a small table: its rows are
    // held in a temporary table while the table is dropped and made anew
    // under its own name. Copying the rows twice costs less there than the
    // rename a rebuild ends with, for which SQLite checks and reads the whole
    // schema again (hundreds of rule triggers in a project database). No
    // auto number may be added.
    void remake(const TableDef& current, const TableDef& target);

    // Gives field `field` its default of `target` (it has the one of
    // `current`), which only rows written later get. Stored rows keep their
    // values, those stored before the column was appended included, and the
    // table is not copied. Raises korvana::Error, having changed nothing the
    // caller's savepoint cannot undo, when SQLite cannot take the change in
    // place; the caller rebuilds then.
    void changeDefault(const TableDef& current, const TableDef& target, std::string_view field);

    // All rules of the table, or those of one field.
    void writeTriggers(const TableDef& definition);
    void writeFieldTriggers(const TableDef& definition, std::string_view field);
    void dropTriggers(std::string_view table);

    bool hasRows(std::string_view table);

  private:
    void createBareTable(const TableDef& definition, std::string_view sqlName);
    // Creates `index` of `definition` on the SQLite table `sqlTable` (the
    // table itself, or the copy a rebuild fills). `checkValues` looks for Null
    // and duplicate keys first, to name the index in the error.
    void createIndexOn(const TableDef& definition, const IndexDef& index, std::string_view sqlTable,
                       bool checkValues);
    bool keepsEntries(const TableDef& current, const TableDef& target, const IndexDef& index,
                      const std::optional<FieldSource>& source);
    // Raises the error of the first rule of `field` that a row of the SQLite
    // table `sqlTable` breaks.
    void checkRules(const TableDef& definition, std::string_view field, std::string_view sqlTable);
    void moveIndexes(const TableDef& target, const std::vector<const IndexDef*>& indexes);
    void rewriteDefault(const TableDef& definition, std::string_view field,
                        const std::optional<std::string>& literal);
    void createFieldTriggers(const TableDef& definition, std::string_view field);
    // The auto number counter SQLite keeps for `table`, and putting it back
    // into the table made anew, which must not hand out a number again.
    std::optional<std::int64_t> autoNumberCounter(std::string_view table);
    void restoreAutoNumberCounter(const TableDef& target, std::optional<std::int64_t> counter);
    void dropFieldTriggers(std::string_view table, std::string_view field);

    sqlite::Database& db_;
};

} // namespace korvana::db
