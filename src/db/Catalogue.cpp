#include "db/Catalogue.h"

#include "db/DbErrors.h"
#include "db/SqlNames.h"
#include "db/ValueBinding.h"
#include "platform/Error.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <cstdint>
#include <map>

namespace korvana::db {

namespace {

constexpr const char* catalogueSchema[] = {
    "CREATE TABLE kv_columns ("
    " TableName TEXT NOT NULL COLLATE NOCASE,"
    " ColumnName TEXT NOT NULL COLLATE NOCASE,"
    " Position INTEGER NOT NULL,"
    " Type INTEGER NOT NULL,"
    " Size INTEGER NOT NULL,"
    " Required INTEGER NOT NULL,"
    " AllowZeroLength INTEGER NOT NULL,"
    " DefaultValue TEXT,"
    " AutoNumber INTEGER NOT NULL,"
    " PRIMARY KEY (TableName, ColumnName))",
    "CREATE TABLE kv_properties ("
    " TableName TEXT NOT NULL COLLATE NOCASE,"
    " ColumnName TEXT NOT NULL COLLATE NOCASE,"
    " Name TEXT NOT NULL COLLATE NOCASE,"
    " Type INTEGER NOT NULL,"
    " Value,"
    " Sequence INTEGER NOT NULL,"
    " PRIMARY KEY (TableName, ColumnName, Name))",
    "CREATE TABLE kv_indexes ("
    " TableName TEXT NOT NULL COLLATE NOCASE,"
    " IndexName TEXT NOT NULL COLLATE NOCASE,"
    " IsPrimary INTEGER NOT NULL,"
    " IsUnique INTEGER NOT NULL,"
    " IsRequired INTEGER NOT NULL,"
    " PRIMARY KEY (TableName, IndexName))",
};

constexpr const char* catalogueTables[] = {"kv_columns", "kv_properties", "kv_indexes"};

[[noreturn]] void disagree(const std::string& what) {
    throw Error("The catalogue of the database disagrees with its tables: " + what,
                errors::notADatabase);
}

// The columns of `table`, by `query` (columnsQuery), which a check of every
// table prepares once: preparing it costs more than running it.
constexpr const char* columnsQuery = "SELECT name FROM pragma_table_info(?1) ORDER BY cid";

std::vector<std::string> physicalColumns(sqlite::Statement& query, const std::string& table) {
    query.reset();
    query.bind(1, table);
    std::vector<std::string> names;
    while (query.step()) {
        names.push_back(query.getText(0));
    }
    return names;
}

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const auto& n) { return equalsIgnoreCase(n, name); });
}

// The first column of `table` that the catalogue (`recorded`) or SQLite
// (`physical`) has and the other lacks.
std::optional<std::string> columnsDisagree(const std::string& table,
                                           const std::vector<std::string>& recorded,
                                           const std::vector<std::string>& physical) {
    for (const auto& column : physical) {
        if (!contains(recorded, column)) {
            return "column '" + table + "." + column + "' is not recorded";
        }
    }
    for (const auto& column : recorded) {
        if (!contains(physical, column)) {
            return "recorded column '" + table + "." + column + "' does not exist";
        }
    }
    return std::nullopt;
}

constexpr const char* indexLookup =
    "SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ?1 AND tbl_name = ?2";

} // namespace

void Catalogue::create(sqlite::Database& db) {
    for (const char* statement : catalogueSchema) {
        db.exec(statement);
    }
}

std::optional<std::string> Catalogue::missingTable(sqlite::Database& db) {
    for (const char* table : catalogueTables) {
        if (!db.tableExists(table)) {
            return table;
        }
    }
    return std::nullopt;
}

void Catalogue::verify() const {
    if (const auto missing = missingTable(db_)) {
        throw Error("'" + db_.path() + "' is not a project database: its catalogue table '" +
                        *missing + "' is missing",
                    errors::notADatabase);
    }
    std::map<std::string, std::vector<std::string>> recorded; // lower-case table -> columns
    {
        auto query = db_.prepare("SELECT TableName, ColumnName FROM kv_columns");
        while (query.step()) {
            recorded[toLowerAscii(query.getText(0))].push_back(query.getText(1));
        }
    }
    const auto tables = tableNames();
    auto columns = db_.prepare(columnsQuery);
    for (const auto& table : tables) {
        const auto found = recorded.find(toLowerAscii(table));
        if (found == recorded.end()) {
            disagree("table '" + table + "' is not recorded");
        }
        if (const auto why =
                columnsDisagree(table, found->second, physicalColumns(columns, table))) {
            disagree(*why);
        }
        recorded.erase(found);
    }
    if (!recorded.empty()) {
        disagree("recorded table '" + recorded.begin()->first + "' does not exist");
    }
    auto indexes = db_.prepare("SELECT TableName, IndexName FROM kv_indexes");
    auto lookup = db_.prepare(indexLookup);
    while (indexes.step()) {
        const auto table = indexes.getText(0);
        const auto index = indexes.getText(1);
        lookup.reset();
        lookup.bind(1, indexSqlName(table, index));
        lookup.bind(2, table);
        if (!lookup.step()) {
            disagree("recorded index '" + index + "' of table '" + table + "' does not exist");
        }
    }
}

std::optional<std::string> Catalogue::disagreementAbout(std::string_view table) const {
    const auto stored = storedTableName(table);
    if (!stored) {
        for (const char* sql : {"SELECT 1 FROM kv_columns WHERE TableName = ?1",
                                "SELECT 1 FROM kv_properties WHERE TableName = ?1",
                                "SELECT 1 FROM kv_indexes WHERE TableName = ?1"}) {
            auto query = db_.prepare(sql);
            query.bind(1, table);
            if (query.step()) {
                return "recorded table '" + std::string(table) + "' does not exist";
            }
        }
        return std::nullopt;
    }

    std::vector<std::string> recorded;
    std::map<std::string, std::int64_t> positions; // lower-case column -> position
    {
        auto query =
            db_.prepare("SELECT ColumnName, Position FROM kv_columns WHERE TableName = ?1");
        query.bind(1, *stored);
        while (query.step()) {
            recorded.push_back(query.getText(0));
            positions[toLowerAscii(recorded.back())] = query.getInt(1);
        }
    }
    auto columns = db_.prepare(columnsQuery);
    const auto physical = physicalColumns(columns, *stored);
    if (auto why = columnsDisagree(*stored, recorded, physical)) {
        return why;
    }
    for (std::size_t i = 1; i < physical.size(); ++i) {
        if (positions[toLowerAscii(physical[i])] < positions[toLowerAscii(physical[i - 1])]) {
            return "column '" + *stored + "." + physical[i] + "' stands after '" + physical[i - 1] +
                   "', which has a greater position";
        }
    }
    {
        auto query = db_.prepare("SELECT ColumnName FROM kv_properties WHERE TableName = ?1");
        query.bind(1, *stored);
        while (query.step()) {
            if (!contains(recorded, query.getText(0))) {
                return "a property of '" + *stored + "." + query.getText(0) +
                       "' belongs to no column";
            }
        }
    }

    std::vector<std::string> recordedIndexes; // as SQLite names them
    {
        auto query = db_.prepare("SELECT IndexName FROM kv_indexes WHERE TableName = ?1");
        query.bind(1, *stored);
        auto lookup = db_.prepare(indexLookup);
        while (query.step()) {
            const auto index = query.getText(0);
            recordedIndexes.push_back(indexSqlName(*stored, index));
            lookup.reset();
            lookup.bind(1, recordedIndexes.back());
            lookup.bind(2, *stored);
            if (!lookup.step()) {
                return "recorded index '" + index + "' of table '" + *stored + "' does not exist";
            }
        }
    }
    // SQLite's own indexes (of UNIQUE constraints) have no statement.
    auto indexes = db_.prepare("SELECT name FROM sqlite_master WHERE type = 'index'"
                               " AND tbl_name = ?1 AND sql IS NOT NULL");
    indexes.bind(1, *stored);
    while (indexes.step()) {
        if (!contains(recordedIndexes, indexes.getText(0))) {
            return "index '" + indexes.getText(0) + "' of table '" + *stored + "' is not recorded";
        }
    }
    return std::nullopt;
}

std::vector<std::string> Catalogue::tableNames() const {
    auto query = db_.prepare("SELECT name FROM sqlite_master WHERE type = 'table'");
    std::vector<std::string> names;
    while (query.step()) {
        auto name = query.getText(0);
        if (!isInternalTableName(name)) {
            names.push_back(std::move(name));
        }
    }
    std::sort(names.begin(), names.end(),
              [](const auto& a, const auto& b) { return toLowerAscii(a) < toLowerAscii(b); });
    return names;
}

std::optional<std::string> Catalogue::storedTableName(std::string_view table) const {
    if (isInternalTableName(table)) {
        return std::nullopt;
    }
    auto query = db_.prepare(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE");
    query.bind(1, table);
    if (!query.step()) {
        return std::nullopt;
    }
    return query.getText(0);
}

bool Catalogue::schemaObjectExists(std::string_view name) const {
    auto query = db_.prepare("SELECT 1 FROM sqlite_master WHERE name = ?1 COLLATE NOCASE");
    query.bind(1, name);
    return query.step();
}

TableDef Catalogue::load(std::string_view table) const {
    const auto stored = storedTableName(table);
    if (!stored) {
        throw Error("Table '" + std::string(table) + "' not found", errors::itemNotFound);
    }
    TableDef definition(*stored);
    auto columns =
        db_.prepare("SELECT c.name, k.Position, k.Type, k.Size, k.Required, k.AllowZeroLength,"
                    " k.DefaultValue, k.AutoNumber FROM pragma_table_info(?1) AS c"
                    " LEFT JOIN kv_columns AS k ON k.TableName = ?1 AND k.ColumnName = c.name"
                    " ORDER BY c.cid");
    columns.bind(1, *stored);
    while (columns.step()) {
        FieldDef field;
        field.name = columns.getText(0);
        const auto type = daoTypeFromNumber(static_cast<int>(columns.getInt(2)));
        if (columns.isNull(1) || !type) {
            disagree("column '" + *stored + "." + field.name + "' is not recorded");
        }
        field.ordinalPosition = static_cast<int>(columns.getInt(1));
        field.type = *type;
        field.size = static_cast<int>(columns.getInt(3));
        field.required = columns.getInt(4) != 0;
        field.allowZeroLength = columns.getInt(5) != 0;
        if (!columns.isNull(6)) {
            field.defaultValue = columns.getText(6);
        }
        field.autoNumber = columns.getInt(7) != 0;
        definition.fields.push_back(std::move(field));
    }
    auto properties = db_.prepare("SELECT ColumnName, Name, Type, Value FROM kv_properties"
                                  " WHERE TableName = ?1 ORDER BY Sequence");
    properties.bind(1, *stored);
    while (properties.step()) {
        FieldDef* field = definition.findField(properties.getText(0));
        const auto type = daoTypeFromNumber(static_cast<int>(properties.getInt(2)));
        if (!field || !type) {
            disagree("a property of '" + *stored + "." + properties.getText(0) +
                     "' belongs to no column");
        }
        field->properties.push_back(
            Property{properties.getText(1), *type, readValue(properties, 3, *type)});
    }
    auto indexes = db_.prepare("SELECT IndexName, IsPrimary, IsUnique, IsRequired FROM kv_indexes"
                               " WHERE TableName = ?1 ORDER BY IndexName");
    indexes.bind(1, *stored);
    auto indexFields = db_.prepare("SELECT name FROM pragma_index_info(?1) ORDER BY seqno");
    while (indexes.step()) {
        IndexDef index;
        index.name = indexes.getText(0);
        index.primary = indexes.getInt(1) != 0;
        index.unique = indexes.getInt(2) != 0;
        index.required = indexes.getInt(3) != 0;
        indexFields.reset();
        indexFields.bind(1, indexSqlName(*stored, index.name));
        while (indexFields.step()) {
            index.fields.push_back(indexFields.getText(0));
        }
        if (index.fields.empty()) {
            disagree("recorded index '" + index.name + "' of table '" + *stored +
                     "' does not exist");
        }
        definition.indexes.push_back(std::move(index));
    }
    return definition;
}

void Catalogue::save(const TableDef& definition) {
    remove(definition.name);
    auto column = db_.prepare("INSERT INTO kv_columns (TableName, ColumnName, Position, Type,"
                              " Size, Required, AllowZeroLength, DefaultValue, AutoNumber)"
                              " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
    auto property = db_.prepare("INSERT INTO kv_properties (TableName, ColumnName, Name, Type,"
                                " Value, Sequence) VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
    for (const auto& field : definition.fields) {
        column.reset();
        column.bind(1, definition.name);
        column.bind(2, field.name);
        column.bind(3, std::int64_t{field.ordinalPosition.value_or(0)});
        column.bind(4, std::int64_t{daoTypeNumber(field.type)});
        column.bind(5, std::int64_t{field.size});
        column.bind(6, std::int64_t{field.required});
        column.bind(7, std::int64_t{field.allowZeroLength});
        if (field.defaultValue) {
            column.bind(8, std::string_view(*field.defaultValue));
        } else {
            column.bindNull(8);
        }
        column.bind(9, std::int64_t{field.autoNumber});
        column.run();
        std::int64_t sequence = 0;
        for (const auto& p : field.properties) {
            property.reset();
            property.bind(1, definition.name);
            property.bind(2, field.name);
            property.bind(3, p.name);
            property.bind(4, std::int64_t{daoTypeNumber(p.type)});
            bindValue(property, 5, p.value);
            property.bind(6, sequence++);
            property.run();
        }
    }
    auto index = db_.prepare("INSERT INTO kv_indexes (TableName, IndexName, IsPrimary, IsUnique,"
                             " IsRequired) VALUES (?1, ?2, ?3, ?4, ?5)");
    for (const auto& i : definition.indexes) {
        index.reset();
        index.bind(1, definition.name);
        index.bind(2, i.name);
        index.bind(3, std::int64_t{i.primary});
        index.bind(4, std::int64_t{i.unique});
        index.bind(5, std::int64_t{i.required});
        index.run();
    }
}

void Catalogue::remove(std::string_view table) {
    for (const char* sql : {"DELETE FROM kv_columns WHERE TableName = ?1",
                            "DELETE FROM kv_properties WHERE TableName = ?1",
                            "DELETE FROM kv_indexes WHERE TableName = ?1"}) {
        auto statement = db_.prepare(sql);
        statement.bind(1, table);
        statement.run();
    }
}

} // namespace korvana::db
