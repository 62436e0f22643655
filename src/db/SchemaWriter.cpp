#include "db/SchemaWriter.h"

#include "db/DbErrors.h"
#include "db/DefaultExpression.h"
#include "db/JetSchemaView.h"
#include "db/SqlNames.h"
#include "db/UnstoredColumns.h"
#include "platform/Error.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <optional>

namespace korvana::db {

namespace {

constexpr const char* rebuildTable = "kv_rebuild";

std::string declaredType(const FieldDef& field) {
    switch (field.type) {
    case DaoType::Boolean:
        return "BOOLEAN";
    case DaoType::Byte:
        return "TINYINT";
    case DaoType::Integer:
        return "SMALLINT";
    case DaoType::Long:
        return "INTEGER";
    case DaoType::Currency:
        return "CURRENCY";
    case DaoType::Single:
        return "FLOAT";
    case DaoType::Double:
        return "DOUBLE";
    case DaoType::DateTime:
        return "DATETIME";
    case DaoType::Text:
        return "VARCHAR(" + std::to_string(field.size) + ")";
    case DaoType::LongBinary:
        return "BLOB";
    case DaoType::Memo:
        return "TEXT";
    case DaoType::FixedText:
        return "CHAR(" + std::to_string(field.size) + ")";
    }
    return "BLOB";
}

// What the column's DEFAULT clause holds: SQLite gives it to rows written
// without the column and to rows stored before the column was appended.
std::optional<std::string> storedDefault(const FieldDef& field, std::string_view table) {
    auto literal = defaultLiteral(field, table);
    // Jet has no Null Booleans: a Boolean without a default is False.
    if (!literal && field.type == DaoType::Boolean) {
        literal = "0";
    }
    return literal;
}

std::string columnSqlWith(const FieldDef& field, const std::optional<std::string>& literal) {
    std::string sql = quoteIdentifier(field.name) + " ";
    if (field.autoNumber) {
        return sql + "INTEGER PRIMARY KEY AUTOINCREMENT";
    }
    sql += declaredType(field);
    if (literal) {
        sql += " DEFAULT " + *literal;
    }
    if (isTextType(field.type)) {
        sql += " COLLATE NOCASE";
    }
    return sql;
}

std::string columnSql(const FieldDef& field, std::string_view table) {
    return columnSqlWith(field, storedDefault(field, table));
}

// The CREATE TABLE statement of `definition` under the SQLite name `sqlName`,
// with `literal` as the default of field `changed` (if given).
std::string createTableSql(const TableDef& definition, std::string_view sqlName,
                           std::string_view changed = {},
                           const std::optional<std::string>& literal = std::nullopt) {
    std::string sql = "CREATE TABLE " + quoteIdentifier(sqlName) + " (";
    bool first = true;
    for (const auto& field : definition.fields) {
        if (!first) {
            sql += ", ";
        }
        first = false;
        sql += !changed.empty() && equalsIgnoreCase(field.name, changed)
                   ? columnSqlWith(field, literal)
                   : columnSql(field, definition.name);
    }
    return sql + ")";
}

// One column as SQLite reads rows with it, all as SQLite reports them.
struct StoredColumn {
    std::string name;
    std::string type;
    std::string notNull;
    std::string defaultValue; // "<none>" without one
    std::string keyPosition;
    bool operator==(const StoredColumn&) const = default;
};

// The columns of a table in their stored order.
std::vector<StoredColumn> storedLayout(sqlite::Database& db, std::string_view table) {
    auto query = db.prepare("SELECT name, type, \"notnull\", coalesce(dflt_value, '<none>'), pk"
                            " FROM pragma_table_xinfo(?1) ORDER BY cid");
    query.bind(1, table);
    std::vector<StoredColumn> columns;
    while (query.step()) {
        columns.push_back(StoredColumn{query.getText(0), query.getText(1), query.getText(2),
                                       query.getText(3), query.getText(4)});
    }
    return columns;
}

// Lets this connection write SQLite's schema table for as long as it lives.
class WritableSchema {
  public:
    explicit WritableSchema(sqlite::Database& db) : db_(db) {
        db_.exec("PRAGMA writable_schema = ON");
    }
    ~WritableSchema() {
        try {
            db_.exec("PRAGMA writable_schema = OFF");
        } catch (...) {
            // Only a broken connection refuses this; it is being abandoned.
        }
    }
    WritableSchema(const WritableSchema&) = delete;
    WritableSchema& operator=(const WritableSchema&) = delete;

  private:
    sqlite::Database& db_;
};

// A value that no writer of the engine ever stores in a column: a blob
// spelling "korvana: no value stored".
constexpr const char* unstoredValue = "x'6b6f7276616e613a206e6f2076616c75652073746f726564'";

struct Rule {
    std::string field;
    std::string condition; // over NEW.<field>
    std::string message;
};

// The rules over the row `row` ("NEW." in a trigger, empty over a table).
std::vector<Rule> rulesOf(const TableDef& definition, std::string_view row = "NEW.") {
    std::vector<Rule> rules;
    const std::string& table = definition.name;
    for (const auto& field : definition.fields) {
        const std::string column = std::string(row) + quoteIdentifier(field.name);
        const std::string where = "'" + table + "." + field.name + "'";
        if (field.autoNumber) {
            continue;
        }
        if (field.required) {
            rules.push_back({field.name, column + " IS NULL",
                             "Field " + where + " cannot contain a Null value (it is required)"});
        }
        if (isIntegerType(field.type)) {
            rules.push_back({field.name, "typeof(" + column + ") NOT IN ('integer', 'null')",
                             "Field " + where + " takes whole numbers only"});
        } else if (isNumericType(field.type)) {
            rules.push_back({field.name,
                             "typeof(" + column + ") NOT IN ('integer', 'real', 'null')",
                             "Field " + where + " takes numbers only"});
        }
        switch (field.type) {
        case DaoType::Byte:
            rules.push_back({field.name, column + " NOT BETWEEN 0 AND 255",
                             "Field " + where + " takes numbers from 0 to 255"});
            break;
        case DaoType::Integer:
            rules.push_back({field.name, column + " NOT BETWEEN -32768 AND 32767",
                             "Field " + where + " takes numbers from -32768 to 32767"});
            break;
        case DaoType::Long:
            rules.push_back({field.name, column + " NOT BETWEEN -2147483648 AND 2147483647",
                             "Field " + where + " takes 32-bit numbers"});
            break;
        default:
            break;
        }
        if (isTextType(field.type) && !field.allowZeroLength) {
            rules.push_back({field.name, column + " = ''",
                             "Field " + where + " cannot be a zero-length string"});
        }
        if (hasSize(field.type)) {
            rules.push_back({field.name, "length(" + column + ") > " + std::to_string(field.size),
                             "Field " + where + " holds at most " + std::to_string(field.size) +
                                 " characters"});
        }
    }
    for (const auto& index : definition.indexes) {
        if (!index.forbidsNull()) {
            continue;
        }
        for (const auto& field : index.fields) {
            const FieldDef* f = definition.findField(field);
            if (f && f->autoNumber) {
                continue;
            }
            rules.push_back({field, std::string(row) + quoteIdentifier(field) + " IS NULL",
                             "Index '" + index.name + "' of table '" + table +
                                 "' does not allow Null in field '" + field + "'"});
        }
    }
    return rules;
}

std::string columnList(const std::vector<std::string>& names) {
    std::string list;
    for (const auto& name : names) {
        if (!list.empty()) {
            list += ", ";
        }
        list += quoteIdentifier(name);
    }
    return list;
}

// The CREATE INDEX statement of `index` of `definition` on the SQLite table
// `sqlTable`; an index on the auto number alone is completed by " WHERE 0".
std::string indexSql(const TableDef& definition, const IndexDef& index, std::string_view sqlTable) {
    return std::string("CREATE ") + (index.enforcesUniqueness() ? "UNIQUE " : "") + "INDEX " +
           quoteIdentifier(indexSqlName(definition.name, index.name)) + " ON " +
           quoteIdentifier(sqlTable) + " (" + columnList(index.fields) + ")";
}

// Whether a column holds the same values, in the same order, under both
// definitions: the same affinity and, for texts, the same NOCASE collation.
bool sameKeyValues(const FieldDef& before, const FieldDef& after) {
    return before.type == after.type || (isTextType(before.type) && isTextType(after.type));
}

bool sameFieldList(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    return std::equal(
        a.begin(), a.end(), b.begin(), b.end(),
        [](const std::string& x, const std::string& y) { return equalsIgnoreCase(x, y); });
}

// The field of `current` whose values field `name` of a rebuilt table takes;
// none for a field computed otherwise.
const FieldDef* sourceOf(const TableDef& current, std::string_view name,
                         const std::optional<SchemaWriter::FieldSource>& source) {
    if (source && equalsIgnoreCase(name, source->field)) {
        return source->from.empty() ? nullptr : current.findField(source->from);
    }
    return current.findField(name);
}

bool computes(const std::optional<SchemaWriter::FieldSource>& source, std::string_view name) {
    return source && source->from.empty() && equalsIgnoreCase(name, source->field);
}

void bumpSchemaVersion(sqlite::Database& db) {
    std::int64_t version = 0;
    {
        auto query = db.prepare("PRAGMA schema_version");
        query.step();
        version = query.getInt(0);
    }
    // A new schema version makes every connection, this one included, read
    // the schema again.
    db.exec("PRAGMA schema_version = " + std::to_string(version + 1));
}

} // namespace

void SchemaWriter::sortFields(std::vector<FieldDef>& fields, std::string_view moved) {
    std::stable_sort(fields.begin(), fields.end(), [&](const FieldDef& a, const FieldDef& b) {
        const int pa = a.ordinalPosition.value_or(0);
        const int pb = b.ordinalPosition.value_or(0);
        if (pa != pb) {
            return pa < pb;
        }
        return !moved.empty() && equalsIgnoreCase(a.name, moved) &&
               !equalsIgnoreCase(b.name, moved);
    });
}

void SchemaWriter::createBareTable(const TableDef& definition, std::string_view sqlName) {
    db_.exec(createTableSql(definition, sqlName));
}

void SchemaWriter::createTable(const TableDef& definition) {
    createBareTable(definition, definition.name);
    for (const auto& index : definition.indexes) {
        createIndex(definition, index);
    }
    writeTriggers(definition);
}

bool SchemaWriter::duplicatesRowid(const TableDef& definition, const IndexDef& index) {
    const FieldDef* key = definition.autoNumberField();
    return key && index.fields.size() == 1 && equalsIgnoreCase(index.fields.front(), key->name);
}

void SchemaWriter::createIndex(const TableDef& definition, const IndexDef& index) {
    createIndexOn(definition, index, definition.name, true);
}

void SchemaWriter::createIndexOn(const TableDef& definition, const IndexDef& index,
                                 std::string_view sqlTable, bool checkValues) {
    const std::string table = quoteIdentifier(sqlTable);
    const std::string head = indexSql(definition, index, sqlTable);
    if (duplicatesRowid(definition, index)) {
        // The rowid already is this index, never Null and never twice. A
        // second b-tree would double the cost of every insert and of every
        // rebuild; the schema keeps the index by name, with its field, as an
        // index that holds no rows.
        db_.exec(head + " WHERE 0");
        return;
    }
    if (checkValues && index.forbidsNull()) {
        std::string condition;
        for (const auto& field : index.fields) {
            condition += (condition.empty() ? "" : " OR ") + quoteIdentifier(field) + " IS NULL";
        }
        auto query = db_.prepare("SELECT 1 FROM " + table + " WHERE " + condition + " LIMIT 1");
        if (query.step()) {
            throw Error("Index '" + index.name + "' of table '" + definition.name +
                            "' cannot be created: the table holds Null values in its fields",
                        errors::duplicateKey);
        }
    }
    try {
        db_.exec(head);
    } catch (const Error& error) {
        if (!index.enforcesUniqueness()) {
            throw;
        }
        throw Error("Index '" + index.name + "' of table '" + definition.name +
                        "' cannot be created: the table holds duplicate values (" + error.what() +
                        ")",
                    errors::duplicateKey);
    }
}

void SchemaWriter::dropIndex(std::string_view table, std::string_view index) {
    db_.exec("DROP INDEX " + quoteIdentifier(indexSqlName(table, index)));
}

void SchemaWriter::addColumn(const TableDef& after, const FieldDef& field) {
    const std::string table = quoteIdentifier(after.name);
    const bool hadRows = hasRows(after.name);
    db_.exec("ALTER TABLE " + table + " ADD COLUMN " + columnSql(field, after.name));
    // SQLite lets stored rows read the new column's default; Jet leaves them Null
    // (Booleans False), and the upgrade steps rely on telling old rows apart.
    auto literal = defaultLiteral(field, after.name);
    if (hadRows) {
        const bool booleanFalse = literal && field.type == DaoType::Boolean && *literal == "0";
        if (literal && !booleanFalse) {
            const std::string value = field.type == DaoType::Boolean ? "0" : "NULL";
            db_.exec("UPDATE " + table + " SET " + quoteIdentifier(field.name) + " = " + value);
            UnstoredColumns(db_).rewritten(after.name);
        } else {
            // They read Null (a Boolean: False) as they are.
            UnstoredColumns(db_).appended(after.name, field.name);
        }
    }
    createFieldTriggers(after, field.name);
}

void SchemaWriter::renameColumn(const TableDef& after, std::string_view oldName,
                                std::string_view newName) {
    dropFieldTriggers(after.name, oldName);
    db_.exec("ALTER TABLE " + quoteIdentifier(after.name) + " RENAME COLUMN " +
             quoteIdentifier(oldName) + " TO " + quoteIdentifier(newName));
    UnstoredColumns(db_).renamed(after.name, oldName, newName);
    createFieldTriggers(after, newName);
}

void SchemaWriter::dropColumn(const TableDef& after, std::string_view field) {
    dropFieldTriggers(after.name, field);
    db_.exec("ALTER TABLE " + quoteIdentifier(after.name) + " DROP COLUMN " +
             quoteIdentifier(field));
}

// The copy is the whole cost of a rebuild, so everything else is arranged
// around it: the rules' triggers are dropped first and written last, and the
// rows go in rowid order into a table without secondary indexes (appending,
// never splitting pages). An index whose entries the copy leaves as they were
// moves over to the copy as it is; any other is built afterwards in one
// sorted pass. The values of indexed fields are copied unchanged and satisfied
// the same indexes before, so they are not checked again.
void SchemaWriter::rebuild(const TableDef& current, const TableDef& target,
                           const std::optional<FieldSource>& source) {
    const auto sequence = autoNumberCounter(current.name);
    dropTriggers(current.name);
    // Index names are unique in the whole schema: the auto number's index,
    // made before the copy, takes its name over now; the others go with the
    // old table. Pages freed here are copied to the journal when they are
    // used again, so the copy itself goes to fresh pages.
    createBareTable(target, rebuildTable);
    for (const auto& index : target.indexes) {
        if (duplicatesRowid(target, index)) {
            dropIndex(current.name, index.name);
            createIndexOn(target, index, rebuildTable, false);
        }
    }

    std::vector<std::string> into;
    std::vector<std::string> from;
    if (!target.autoNumberField()) {
        // Keep record identities as they were.
        into.emplace_back("rowid");
        from.emplace_back("rowid");
    }
    for (const auto& field : target.fields) {
        if (computes(source, field.name)) {
            into.push_back(quoteIdentifier(field.name));
            from.push_back("(" + source->expression + ")");
        } else if (const FieldDef* old = sourceOf(current, field.name, source)) {
            into.push_back(quoteIdentifier(field.name));
            from.push_back(quoteIdentifier(old->name));
        }
    }
    auto join = [](const std::vector<std::string>& parts) {
        std::string joined;
        for (const auto& part : parts) {
            joined += (joined.empty() ? "" : ", ") + part;
        }
        return joined;
    };
    if (!into.empty()) {
        auto copy = db_.prepare("INSERT INTO " + quoteIdentifier(rebuildTable) + " (" + join(into) +
                                ") SELECT " + join(from) + " FROM " +
                                quoteIdentifier(current.name) + " ORDER BY rowid");
        if (source) {
            bindJetParameters(copy, source->parameters);
        }
        copy.run();
    }
    if (source && source->from.empty()) {
        checkRules(target, source->field, rebuildTable);
    }
    std::vector<const IndexDef*> rebuilt;
    std::vector<const IndexDef*> moved;
    for (const auto& index : target.indexes) {
        if (!duplicatesRowid(target, index)) {
            (keepsEntries(current, target, index, source) ? moved : rebuilt).push_back(&index);
        }
    }
    moveIndexes(target, moved);
    db_.exec("DROP TABLE " + quoteIdentifier(current.name));
    db_.exec("ALTER TABLE " + quoteIdentifier(rebuildTable) + " RENAME TO " +
             quoteIdentifier(target.name));
    for (const IndexDef* index : rebuilt) {
        createIndexOn(target, *index, target.name, false);
    }
    writeTriggers(target);
    UnstoredColumns(db_).rewritten(target.name);
    restoreAutoNumberCounter(target, sequence);
}

std::optional<std::int64_t> SchemaWriter::autoNumberCounter(std::string_view table) {
    if (!db_.tableExists("sqlite_sequence")) {
        return std::nullopt;
    }
    auto query = db_.prepare("SELECT seq FROM sqlite_sequence WHERE name = ?1");
    query.bind(1, table);
    return query.step() ? std::optional(query.getInt(0)) : std::nullopt;
}

void SchemaWriter::restoreAutoNumberCounter(const TableDef& target,
                                            std::optional<std::int64_t> counter) {
    if (!counter || !target.autoNumberField()) {
        return;
    }
    auto update = db_.prepare("UPDATE sqlite_sequence SET seq = max(seq, ?2) WHERE name = ?1");
    update.bind(1, target.name);
    update.bind(2, *counter);
    update.run();
    if (db_.changes() == 0) {
        auto insert = db_.prepare("INSERT INTO sqlite_sequence (name, seq) VALUES (?1, ?2)");
        insert.bind(1, target.name);
        insert.bind(2, *counter);
        insert.run();
    }
}

// An index holds a key of its field values and the rowid per row. The copy
// keeps the rowids and the values, so where the index covers the same fields
// with the same affinity and collation, and SQLite holds it exactly as the
// engine writes it, its entries already are those of the copy.
bool SchemaWriter::keepsEntries(const TableDef& current, const TableDef& target,
                                const IndexDef& index, const std::optional<FieldSource>& source) {
    const FieldDef* key = target.autoNumberField();
    const FieldDef* oldKey = current.autoNumberField();
    const bool keepsRowids = key ? oldKey && equalsIgnoreCase(key->name, oldKey->name) : !oldKey;
    const IndexDef* before = current.findIndex(index.name);
    if (!keepsRowids || !before || before->enforcesUniqueness() != index.enforcesUniqueness() ||
        !sameFieldList(before->fields, index.fields)) {
        return false;
    }
    for (const auto& name : index.fields) {
        const FieldDef* old = sourceOf(current, name, source);
        const FieldDef* now = target.findField(name);
        if (!old || !now || !sameKeyValues(*old, *now)) {
            return false;
        }
    }
    auto query = db_.prepare("SELECT sql FROM sqlite_master WHERE type = 'index' AND name = ?1");
    query.bind(1, indexSqlName(current.name, index.name));
    return query.step() && query.getText(0) == indexSql(current, *before, current.name);
}

void SchemaWriter::checkRules(const TableDef& definition, std::string_view field,
                              std::string_view sqlTable) {
    for (const auto& rule : rulesOf(definition, "")) {
        if (!equalsIgnoreCase(rule.field, field)) {
            continue;
        }
        auto broken = db_.prepare("SELECT 1 FROM " + quoteIdentifier(sqlTable) + " WHERE " +
                                  rule.condition + " LIMIT 1");
        if (broken.step()) {
            throw Error(rule.message, errors::databaseError);
        }
    }
}

// Hands the b-trees of `indexes` over to the copy, so that dropping the old
// table leaves them and no index is sorted again.
void SchemaWriter::moveIndexes(const TableDef& target,
                               const std::vector<const IndexDef*>& indexes) {
    if (indexes.empty()) {
        return;
    }
    WritableSchema writable(db_);
    // SQLite reads its schema in rowid order, and an index must come after
    // its table: each entry is written anew, behind the copy's.
    auto move = db_.prepare("INSERT INTO sqlite_master (type, name, tbl_name, rootpage, sql)"
                            " SELECT 'index', name, ?1, rootpage, ?2 FROM sqlite_master"
                            " WHERE type = 'index' AND name = ?3");
    auto forget = db_.prepare(
        "DELETE FROM sqlite_master WHERE type = 'index' AND name = ?1 AND tbl_name <> ?2");
    for (const IndexDef* index : indexes) {
        const std::string name = indexSqlName(target.name, index->name);
        move.reset();
        move.bind(1, std::string_view(rebuildTable));
        move.bind(2, indexSql(target, *index, rebuildTable));
        move.bind(3, name);
        move.run();
        forget.reset();
        forget.bind(1, name);
        forget.bind(2, std::string_view(rebuildTable));
        forget.run();
        if (db_.changes() != 1) {
            throw Error("Index '" + index->name + "' of table '" + target.name + "' was not found",
                        errors::itemNotFound);
        }
    }
    bumpSchemaVersion(db_);
}

void SchemaWriter::changeDefault(const TableDef& current, const TableDef& target,
                                 std::string_view field) {
    const FieldDef& before = current.field(field);
    const FieldDef& after = target.field(field);
    // Only a statement the engine wrote itself is rewritten: then the new one
    // differs from it in that one default and in nothing else.
    {
        auto query =
            db_.prepare("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?1");
        query.bind(1, current.name);
        if (!query.step() || query.getText(0) != createTableSql(current, current.name)) {
            throw Error("Table '" + current.name + "' has a definition of its own",
                        errors::invalidArgument);
        }
    }
    UnstoredColumns unstored(db_);
    if (unstored.mayBeMissing(target.name, after.name) && hasRows(target.name)) {
        // Rows stored before the column was appended hold no value of it and
        // read whatever the definition says. Pointed at a value nobody stores,
        // they show themselves and are given, once, the value they read so far.
        rewriteDefault(target, after.name, std::string(unstoredValue));
        dropFieldTriggers(target.name, after.name);
        db_.exec("UPDATE " + quoteIdentifier(target.name) + " SET " + quoteIdentifier(after.name) +
                 " = " + storedDefault(before, target.name).value_or("NULL") + " WHERE " +
                 quoteIdentifier(after.name) + " IS " + unstoredValue);
        createFieldTriggers(target, after.name);
        unstored.filled(target.name, after.name);
    }
    rewriteDefault(target, after.name, storedDefault(after, target.name));
}

// SQLite keeps a column's default only in the table's CREATE statement, and
// changing that statement in place is its own documented way to change what
// leaves the stored rows alone. The new statement describes the same columns,
// which is checked on SQLite's reading of it before anything goes on.
void SchemaWriter::rewriteDefault(const TableDef& definition, std::string_view field,
                                  const std::optional<std::string>& literal) {
    std::vector<StoredColumn> expected = storedLayout(db_, definition.name);
    for (auto& column : expected) {
        if (equalsIgnoreCase(column.name, field)) {
            column.defaultValue = literal.value_or("<none>");
        }
    }
    {
        WritableSchema writable(db_);
        auto update =
            db_.prepare("UPDATE sqlite_master SET sql = ?1 WHERE type = 'table' AND name = ?2");
        update.bind(1, createTableSql(definition, definition.name, field, literal));
        update.bind(2, definition.name);
        update.run();
        if (db_.changes() != 1) {
            throw Error("The definition of table '" + definition.name + "' was not found",
                        errors::itemNotFound);
        }
        bumpSchemaVersion(db_);
    }
    if (storedLayout(db_, definition.name) != expected) {
        throw Error("The default of field '" + definition.name + "." + std::string(field) +
                        "' could not be changed in place",
                    errors::invalidArgument);
    }
}

void SchemaWriter::writeTriggers(const TableDef& definition) {
    dropTriggers(definition.name);
    for (const auto& field : definition.fields) {
        createFieldTriggers(definition, field.name);
    }
}

void SchemaWriter::writeFieldTriggers(const TableDef& definition, std::string_view field) {
    dropFieldTriggers(definition.name, field);
    createFieldTriggers(definition, field);
}

// Each field has its own triggers, so that a change to one field never has to
// touch the schema entries of the others.
void SchemaWriter::createFieldTriggers(const TableDef& definition, std::string_view field) {
    std::string body;
    for (const auto& rule : rulesOf(definition)) {
        if (equalsIgnoreCase(rule.field, field)) {
            body += " SELECT RAISE(ABORT, " + quoteLiteral(rule.message) + ") WHERE " +
                    rule.condition + ";";
        }
    }
    if (body.empty()) {
        return;
    }
    const std::string table = quoteIdentifier(definition.name);
    db_.exec("CREATE TRIGGER " + quoteIdentifier(insertTriggerName(definition.name, field)) +
             " BEFORE INSERT ON " + table + " FOR EACH ROW BEGIN" + body + " END");
    // An update is checked for the fields it assigns, so rows stored before a
    // rule was given can still be changed in their other fields.
    db_.exec("CREATE TRIGGER " + quoteIdentifier(updateTriggerName(definition.name, field)) +
             " BEFORE UPDATE OF " + quoteIdentifier(field) + " ON " + table +
             " FOR EACH ROW BEGIN" + body + " END");
}

void SchemaWriter::dropFieldTriggers(std::string_view table, std::string_view field) {
    db_.exec("DROP TRIGGER IF EXISTS " + quoteIdentifier(insertTriggerName(table, field)));
    db_.exec("DROP TRIGGER IF EXISTS " + quoteIdentifier(updateTriggerName(table, field)));
}

void SchemaWriter::dropTriggers(std::string_view table) {
    std::vector<std::string> names;
    auto query =
        db_.prepare("SELECT name FROM sqlite_master WHERE type = 'trigger'"
                    " AND tbl_name = ?1 COLLATE NOCASE AND name LIKE 'kv\\_%' ESCAPE '\\'");
    query.bind(1, table);
    while (query.step()) {
        names.push_back(query.getText(0));
    }
    for (const auto& name : names) {
        db_.exec("DROP TRIGGER " + quoteIdentifier(name));
    }
}

bool SchemaWriter::hasRows(std::string_view table) {
    auto query = db_.prepare("SELECT 1 FROM " + quoteIdentifier(table) + " LIMIT 1");
    return query.step();
}

} // namespace korvana::db
